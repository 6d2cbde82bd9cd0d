#include "windows/result_grid.h"

#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <utility>

#include "app/images.h"
#include "platform/ui/qt_cp932.h"

namespace zbq::windows {
namespace {

QString qt(const std::string& cp932) {
    return ui::fromCp932(cp932);
}

int scrollCodeOf(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            return kLineBack;
        case QAbstractSlider::SliderSingleStepAdd:
            return kLineForward;
        case QAbstractSlider::SliderPageStepSub:
            return kPageBack;
        case QAbstractSlider::SliderPageStepAdd:
            return kPageForward;
        default:
            return -1;
    }
}

}  // namespace

std::int32_t virtualKeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Tab:
            return kVkTab;
        case Qt::Key_PageUp:
            return kVkPageUp;
        case Qt::Key_PageDown:
            return kVkPageDown;
        case Qt::Key_End:
            return kVkEnd;
        case Qt::Key_Home:
            return kVkHome;
        case Qt::Key_Left:
            return kVkLeft;
        case Qt::Key_Up:
            return kVkUp;
        case Qt::Key_Right:
            return kVkRight;
        case Qt::Key_Down:
            return kVkDown;
        default:
            return 0;
    }
}

// --- ResultGrid ---

ResultGrid::ResultGrid(GridOwner& owner, GridConfig config, QWidget* parent)
    : QWidget(parent),
      owner_(owner),
      config_(config),
      columnHeader_(new GridColumnHeader(*this)),
      rowHeader_(new GridRowHeader(*this)),
      list_(new GridList(*this)) {
    geometry().setRowHeight(fontMetrics().height() + 2);
    setFocusProxy(list_);
}

void ResultGrid::resizeEvent(QResizeEvent*) {
    const int w = width(), h = height(), W = config_.rowHeaderWidth, H = config_.headerHeight;
    columnHeader_->setGeometry(0, 0, w, H);
    rowHeader_->setGeometry(0, H, W, std::max(h - H, 0));
    list_->setGeometry(W, H, std::max(w - W, 0), std::max(h - H, 0));
}

void ResultGrid::refresh() {
    list_->syncScrollBars();
    columnHeader_->update();
    rowHeader_->update();
    list_->viewport()->update();
}

std::int32_t ResultGrid::rowReached(int y) {
    GridController& g = geometry();
    const int step = GridController::kAutoScrollStep;
    std::int32_t row;
    if (y < 0) {
        g.ScrollByPixels(-step);
        row = g.topRow();
    } else if (y >= g.viewportHeight()) {
        g.ScrollByPixels(step);
        row = g.lastVisibleRow();
    } else {
        row = g.RowAtY(y);
        if (row < 0) row = g.lastVisibleRow();  // below the last row of a short table
    }
    return std::min(row, owner_.dataRowCount() - 1);
}

int ResultGrid::textWidth(std::string_view cp932) const {
    return fontMetrics().horizontalAdvance(ui::fromCp932(cp932));
}

// --- Column header ---

GridColumnHeader::GridColumnHeader(ResultGrid& grid) : QWidget(&grid), grid_(grid) {
    setMouseTracking(true);
}

void GridColumnHeader::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const GridController& g = grid_.geometry();
    const int W = g.config().rowHeaderWidth;
    p.fillRect(rect(), palette().button());
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(0, 0, W - 1, height() - 1);
    if (const std::string corner = grid_.owner().cornerText(); !corner.empty()) {
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(QRect(GridController::kTextInset, 0, W - GridController::kTextInset, height()),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, qt(corner));
    }
    p.setClipRect(W, 0, width() - W, height());
    for (int c = std::max(g.ColumnAtX(0), 0); c < g.columnCount(); ++c) {
        const int left = W + g.columnLeft(c) - g.xOffset();
        if (left > width()) break;
        const QRect cell(left, 0, g.columnWidth(c), height() - 1);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(cell);
        p.setPen(palette().color(QPalette::ButtonText));
        const QIcon image = zbqImage(kItemImages, grid_.owner().columnImage(c));
        if (!image.isNull()) {
            image.paint(&p, QRect(QPoint(left + kImageLeft, kImageTop), zbqImageSize(kItemImages)));
            p.drawText(cell.adjusted(kImageTitleLeft, 2, 0, 0),
                       Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                       qt(grid_.owner().columnTitle(c)));
            continue;
        }
        const Qt::Alignment align = g.config().centredTitles ? Qt::AlignHCenter : Qt::AlignLeft;
        p.drawText(
            g.config().centredTitles ? cell : cell.adjusted(GridController::kTextInset, 2, 0, 0),
            align | Qt::AlignVCenter | Qt::TextSingleLine, qt(grid_.owner().columnTitle(c)));
    }
}

void GridColumnHeader::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    GridController& g = grid_.geometry();
    const int x = event->position().toPoint().x();
    const int divider = g.DividerAt(x);
    if (divider >= 0) {
        drag_ = Drag::Resize;
        column_ = divider;
        width_ = g.columnWidth(divider);
        return;
    }
    if (x <= g.config().rowHeaderWidth) {
        grid_.owner().selectAll();
        grid_.refresh();
        return;
    }
    const int column = g.ColumnAtX(x - g.config().rowHeaderWidth);
    if (column < 0) return;
    drag_ = Drag::Columns;
    anchorColumn_ = column_ = column;
    grid_.owner().dragSelection({column, 0}, {column, grid_.owner().dataRowCount() - 1});
    grid_.refresh();
}

void GridColumnHeader::mouseMoveEvent(QMouseEvent* event) {
    GridController& g = grid_.geometry();
    const int x = event->position().toPoint().x();
    const int W = g.config().rowHeaderWidth;
    if (drag_ == Drag::None) {
        setCursor(g.DividerAt(x) >= 0 ? Qt::SizeHorCursor : Qt::ArrowCursor);
        return;
    }
    if (drag_ == Drag::Resize) {
        // The drag's width as it goes; only fitting respects the minimum.
        width_ = std::clamp(x - (W + g.columnLeft(column_) - g.xOffset()), 0,
                            GridController::kWidestColumn);
        g.setColumnWidth(column_, width_);
        grid_.refresh();
        return;
    }
    const int listX = x - W;
    if (listX < 0)
        g.setXOffset(static_cast<std::int64_t>(g.xOffset()) - GridController::kAutoScrollStep);
    else if (listX > g.viewportWidth())
        g.setXOffset(static_cast<std::int64_t>(g.xOffset()) + GridController::kAutoScrollStep);
    const int at = std::clamp(listX, GridController::kAutoScrollStep,
                              std::max(g.viewportWidth() - GridController::kAutoScrollStep, 0));
    column_ = g.ColumnAtX(listX < 0 || listX > g.viewportWidth() ? at : listX);
    grid_.owner().dragSelection({anchorColumn_, 0}, {column_, grid_.owner().dataRowCount() - 1});
    grid_.refresh();
}

void GridColumnHeader::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const Drag drag = std::exchange(drag_, Drag::None);
    if (drag == Drag::Columns) grid_.owner().selectColumns(anchorColumn_, column_);
    if (drag == Drag::Resize) grid_.owner().columnResized(column_, width_);
    grid_.refresh();
}

void GridColumnHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    GridController& g = grid_.geometry();
    const int x = event->position().toPoint().x();
    const int divider = g.DividerAt(x);
    if (divider >= 0) {
        grid_.owner().fitColumn(divider);
    } else if (x > g.config().rowHeaderWidth && x - g.config().rowHeaderWidth < g.contentWidth()) {
        grid_.owner().titleDoubleClicked(g.ColumnAtX(x - g.config().rowHeaderWidth));
    }
    grid_.refresh();
}

void GridColumnHeader::contextMenuEvent(QContextMenuEvent* event) {
    const GridController& g = grid_.geometry();
    const int x = event->pos().x();
    const int column =
        x < g.config().rowHeaderWidth ? -1 : g.ColumnAtX(x - g.config().rowHeaderWidth);
    grid_.owner().contextMenu(GridRole::ColumnHeader, column, event->globalPos());
}

// --- Row header ---

GridRowHeader::GridRowHeader(ResultGrid& grid)
    : QWidget(&grid), grid_(grid), drag_(this, [this](QPoint at) { extendTo(at); }) {}

void GridRowHeader::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const GridController& g = grid_.geometry();
    p.fillRect(rect(), palette().button());
    const std::int32_t rows = grid_.owner().listRowCount();
    for (std::int32_t i = 0; i <= g.rowsPerPage(); ++i) {
        const std::int32_t row = g.topRow() + i;
        if (row >= rows) break;
        const QRect cell(0, i * g.rowHeight(), width() - 1, g.rowHeight());
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(cell);
        p.setPen(palette().color(QPalette::ButtonText));
        const bool left = grid_.owner().rowLabelsLeft();
        p.drawText(left ? cell.adjusted(GridController::kTextInset, 0, 0, 0) : cell,
                   (left ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter) | Qt::TextSingleLine,
                   qt(grid_.owner().rowLabel(row)));
    }
}

void GridRowHeader::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const std::int32_t row = grid_.geometry().RowAtY(event->position().toPoint().y());
    if (row < 0 || row >= grid_.owner().dataRowCount()) return;
    const std::int32_t last = grid_.geometry().columnCount() - 1;
    anchorRow_ = row;
    drag_.begin(event->position().toPoint());
    grid_.owner().dragSelection({0, row}, {last, row});
    grid_.refresh();
}

void GridRowHeader::extendTo(QPoint point) {
    if (!drag_.active()) return;
    const std::int32_t row = grid_.rowReached(point.y());
    endRow_ = row;
    grid_.owner().dragSelection({0, anchorRow_}, {grid_.geometry().columnCount() - 1, row});
    grid_.refresh();
}

void GridRowHeader::mouseMoveEvent(QMouseEvent* event) {
    drag_.moveTo(event->position().toPoint());
    extendTo(event->position().toPoint());
}

void GridRowHeader::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !drag_.end()) return;
    grid_.owner().selectRows(anchorRow_, endRow_ < 0 ? anchorRow_ : endRow_);
    endRow_ = -1;
    grid_.refresh();
}

void GridRowHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    const std::int32_t row = grid_.geometry().RowAtY(event->position().toPoint().y());
    if (row >= 0) grid_.owner().rowDoubleClicked(row);
}

void GridRowHeader::contextMenuEvent(QContextMenuEvent* event) {
    grid_.owner().contextMenu(GridRole::RowHeader, -1, event->globalPos());
}

// --- List ---

GridList::GridList(ResultGrid& grid)
    : QAbstractScrollArea(&grid), grid_(grid), drag_(this, [this](QPoint at) { extendTo(at); }) {
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The paint fills the whole viewport itself; Qt need not clear it first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    verticalScrollBar()->installEventFilter(this);
    horizontalScrollBar()->installEventFilter(this);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { onAction(true, action); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { onAction(false, action); });
    // The thumb is recorded once, where it was let go.
    connect(verticalScrollBar(), &QAbstractSlider::sliderReleased, this, [this] {
        grid_.owner().scrollRequest(true, kThumb, verticalScrollBar()->sliderPosition());
        grid_.refresh();
    });
    connect(horizontalScrollBar(), &QAbstractSlider::sliderReleased, this, [this] {
        grid_.owner().scrollRequest(false, kThumb, horizontalScrollBar()->sliderPosition());
        grid_.refresh();
    });
}

void GridList::onAction(bool vertical, int action) {
    if (syncing_) return;
    QScrollBar* bar = vertical ? verticalScrollBar() : horizontalScrollBar();
    GridController& g = grid_.geometry();
    const int code = scrollCodeOf(action);
    if (code >= 0) {
        grid_.owner().scrollRequest(vertical, code, 0);
    } else if (action == QAbstractSlider::SliderMove) {
        // Tracking the thumb shows the rows as it goes; the release records.
        if (vertical)
            g.setTopRow(bar->sliderPosition());
        else
            g.setXOffset(bar->sliderPosition());
    }
    bar->setSliderPosition(vertical ? g.topRow() : g.xOffset());
    grid_.refresh();
}

const GridList::TextRun& GridList::textRun(QPainter& p, std::string_view cp932) {
    if (!runsReady_ || runsFont_ != font()) {
        runsReady_ = true;
        runsFont_ = font();
        runs_.clear();
        clearKept();
        ascii_ = AsciiGlyphs{};
        ascii_.raw = QRawFont::fromFont(runsFont_);
        ascii_.usable = ascii_.raw.isValid();
        for (int c = 32; c < 127 && ascii_.usable; ++c) {
            const QList<quint32> glyphs = ascii_.raw.glyphIndexesForString(QString(QChar(c)));
            if (glyphs.size() != 1) {
                ascii_.usable = false;
                break;
            }
            ascii_.index[static_cast<std::size_t>(c)] = glyphs[0];
            ascii_.advance[static_cast<std::size_t>(c)] =
                ascii_.raw.advancesForGlyphIndexes(glyphs).value(0).x();
        }
        asciiRun_.run.setRawFont(ascii_.raw);
        cjk_ = QRawFont::fromFont(runsFont_, QFontDatabase::Japanese);
    }
    // ASCII texts (numbers, dates, codes) are laid out from the table into reused arrays: the
    // run points at them, so nothing is allocated, kept or looked up for them.
    const bool plain = ascii_.usable && std::all_of(cp932.begin(), cp932.end(),
                                                    [](char c) { return c >= 32 && c < 127; });
    if (plain) {
        asciiIndexes_.resize(cp932.size());
        asciiPositions_.resize(cp932.size());
        qreal x = 0;
        for (std::size_t i = 0; i < cp932.size(); ++i) {
            const auto c = static_cast<std::size_t>(cp932[i]);
            asciiIndexes_[i] = ascii_.index[c];
            asciiPositions_[i] = QPointF(x, 0);
            x += ascii_.advance[c];
        }
        asciiRun_.run.setRawData(asciiIndexes_.data(), asciiPositions_.data(),
                                 static_cast<int>(cp932.size()));
        asciiRun_.width = static_cast<int>(std::ceil(x));
        asciiRun_.glyphs = true;
        return asciiRun_;
    }
    if (const auto found = runs_.find(cp932); found != runs_.end()) return found->second;
    if (runs_.size() >= kMaxRuns) runs_.clear();
    TextRun& made = runs_[std::string(cp932)];
    const QString shown = ui::fromCp932(cp932);
    if (cjk_.isValid()) {
        const QList<quint32> glyphs = cjk_.glyphIndexesForString(shown);
        if (std::find(glyphs.begin(), glyphs.end(), 0u) == glyphs.end()) {
            const QList<QPointF> advances = cjk_.advancesForGlyphIndexes(glyphs);
            QList<QPointF> positions;
            positions.reserve(advances.size());
            qreal x = 0;
            QRectF ink;
            for (qsizetype i = 0; i < advances.size(); ++i) {
                positions.push_back(QPointF(x, 0));
                ink |= cjk_.boundingRect(glyphs[i]).translated(x, 0);
                x += advances[i].x();
            }
            // Outlines as the font gives them; hinting and antialiasing reach a pixel or so
            // beyond, two leave room to spare.
            if (!ink.isEmpty()) made.ink = ink.toAlignedRect().adjusted(-2, -2, 2, 2);
            made.width = static_cast<int>(std::ceil(x));
            made.run.setRawFont(cjk_);
            made.run.setGlyphIndexes(glyphs);
            made.run.setPositions(positions);
            made.glyphs = true;
            return made;
        }
    }
    made.text = shown;
    made.width = p.fontMetrics().horizontalAdvance(shown);
    return made;
}

GridList::Placement GridList::place(const TextRun& t, const QRect& box, bool right, int baseline) {
    const int inset = GridController::kTextInset;
    Placement at;
    at.left = right ? box.right() + 1 - inset - t.width : box.left() + inset;
    // Only a text wider than its cell needs the clip; the rest is drawn as it is.
    at.clip = t.width > box.width() - 2 * inset;
    if (!t.ink.isEmpty()) {
        QRect ink = t.ink.translated(at.left - box.left(), baseline);
        if (at.clip) ink &= QRect(inset, 0, box.width() - 2 * inset, box.height());
        if (QRect(0, 0, box.width(), box.height()).contains(ink)) at.ink = ink;
    }
    return at;
}

void GridList::paintText(QPainter& p, const TextRun& t, const QRect& box, const Placement& at,
                         int baseline) {
    const int inset = GridController::kTextInset;
    if (at.clip) p.setClipRect(box.adjusted(inset, 0, -inset, 0));
    if (t.glyphs)
        p.drawGlyphRun(QPointF(at.left, box.top() + baseline), t.run);
    else
        p.drawText(at.left, box.top() + baseline, t.text);
    if (at.clip) p.setClipping(false);
}

void GridList::drawCellText(QPainter& p, const PaintTarget& target, const QRect& box,
                            std::string_view cp932, bool right, int baseline,
                            std::optional<quint64> ground, quint64 pen) {
    const TextRun& t = textRun(p, cp932);
    const Placement at = place(t, box, right, baseline);
    if (!target.image || !ground || at.ink.isEmpty()) return paintText(p, t, box, at, baseline);
    bool fresh = false;
    KeptCell& cell = keptCell(cp932, {box.width(), box.height(), right, pen, *ground}, &fresh);
    if (!cell.pixels.isNull()) {
        p.drawImage(box.topLeft() + cell.at, cell.pixels);
        return;
    }
    paintText(p, t, box, at, baseline);
    // The first time a text is only noted; the second, its pixels are taken as just drawn,
    // over the ground alone (the grid lines come after the cells), wherever the paint reached.
    if (fresh) return;
    const QRect from = at.ink.translated(box.topLeft() + target.offset);
    if (!target.image->rect().contains(from)) return;
    if (!target.clip.isEmpty() && !QRegion(from).subtracted(target.clip).isEmpty()) return;
    cell.pixels = target.image->copy(from);
    cell.at = at.ink.topLeft();
    keptBytes_ += static_cast<std::size_t>(cell.pixels.sizeInBytes());
    dropKept(1);
}

std::size_t GridList::KeptHash::operator()(const KeptKey& key) const {
    std::size_t h = std::hash<std::string_view>{}(key.text);
    const auto mix = [&h](std::uint64_t v) {
        h ^= std::hash<std::uint64_t>{}(v) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2);
    };
    mix(static_cast<std::uint64_t>(key.look.width) << 32 |
        static_cast<std::uint32_t>(key.look.height) << 1 | (key.look.right ? 1u : 0u));
    mix(key.look.pen);
    mix(key.look.ground);
    return h;
}

GridList::KeptCell& GridList::keptCell(std::string_view text, const CellLook& look, bool* fresh) {
    *fresh = false;
    if (const auto found = keptIndex_.find(KeptKey{text, look}); found != keptIndex_.end()) {
        kept_.splice(kept_.begin(), kept_, found->second);
        return kept_.front();
    }
    *fresh = true;
    kept_.push_front(KeptCell{std::string(text), look, {}, {}});
    keptIndex_.emplace(KeptKey{kept_.front().text, look}, kept_.begin());
    dropKept(1);
    return kept_.front();
}

void GridList::dropKept(std::size_t keep) {
    while (kept_.size() > keep && (kept_.size() > kMaxKeptCells || keptBytes_ > kMaxKeptBytes)) {
        const KeptCell& last = kept_.back();
        keptBytes_ -= static_cast<std::size_t>(last.pixels.sizeInBytes());
        keptIndex_.erase(KeptKey{last.text, last.look});
        kept_.pop_back();
    }
}

void GridList::clearKept() {
    keptIndex_.clear();
    kept_.clear();
    keptBytes_ = 0;
}

std::size_t GridList::keptCells() const {
    return static_cast<std::size_t>(std::count_if(
        kept_.begin(), kept_.end(), [](const KeptCell& cell) { return !cell.pixels.isNull(); }));
}

GridList::PaintTarget GridList::paintTarget(const QPainter& p) const {
    PaintTarget target;
    QPaintEngine* engine = p.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return target;
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image) return target;
    const auto* image = static_cast<const QImage*>(device);
    if (image->format() != QImage::Format_RGB32 &&
        image->format() != QImage::Format_ARGB32_Premultiplied)
        return target;
    // A scaled painter (a high-density screen) draws glyphs at positions a copy would not
    // reproduce; only whole-pixel shifts keep the pixels.
    const QTransform t = p.deviceTransform();
    if (t.type() > QTransform::TxTranslate || t.dx() != std::round(t.dx()) ||
        t.dy() != std::round(t.dy()))
        return target;
    target.image = image;
    target.offset = QPoint(static_cast<int>(t.dx()), static_cast<int>(t.dy()));
    target.clip = engine->systemClip();
    return target;
}

void GridList::syncScrollBars() {
    const GridController& g = grid_.geometry();
    syncing_ = true;
    verticalScrollBar()->setRange(0, g.maxTopRow());
    verticalScrollBar()->setPageStep(g.rowsPerPage());
    verticalScrollBar()->setValue(g.topRow());
    horizontalScrollBar()->setRange(0, g.maxXOffset());
    horizontalScrollBar()->setPageStep(std::max(g.viewportWidth(), 1));
    horizontalScrollBar()->setSingleStep(20);
    horizontalScrollBar()->setValue(g.xOffset());
    syncing_ = false;
}

void GridList::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    grid_.geometry().setViewport(viewport()->width(), viewport()->height());
    grid_.refresh();
}

void GridList::paintEvent(QPaintEvent*) {
    QPainter p(viewport());
    const GridController& g = grid_.geometry();
    const GridOwner& owner = grid_.owner();
    const QRect area = viewport()->rect();
    p.fillRect(area, palette().base());
    const std::int32_t rows =
        std::min<std::int64_t>(owner.listRowCount() - g.topRow(), g.rowsPerPage() + 1);
    const int first = std::max(g.ColumnAtX(0), 0);
    int last = first;
    while (last + 1 < g.columnCount() && g.columnLeft(last + 1) - g.xOffset() <= area.width())
        ++last;
    const QColor text = palette().color(QPalette::Text);
    const QColor selectedText = palette().color(QPalette::HighlightedText);
    // Kept texts need a ground of one opaque colour under them and an image to copy from.
    const PaintTarget target = paintTarget(p);
    if (target.image && target.image->format() != keptFormat_) {
        clearKept();
        keptFormat_ = target.image->format();
    }
    const auto groundOf = [](const QBrush& brush) -> std::optional<quint64> {
        if (brush.style() != Qt::SolidPattern || brush.color().alpha() != 255) return std::nullopt;
        return brush.color().rgba64();
    };
    const std::optional<quint64> baseGround = groundOf(palette().base());
    const std::optional<quint64> selectedGround = groundOf(palette().highlight());
    const QFontMetrics metrics = fontMetrics();
    const int baseline = (g.rowHeight() - metrics.height()) / 2 + metrics.ascent() + 1;
    std::string cell;
    QColor pen = p.pen().color();
    for (std::int32_t i = 0; i < rows; ++i) {
        const std::int32_t row = g.topRow() + i;
        const int top = i * g.rowHeight();
        const std::optional<QColor> own = owner.rowTextColour(row);
        int left = g.columnLeft(first) - g.xOffset();
        for (int c = first; c <= last; left += g.columnWidth(c), ++c) {
            const QRect box(left, top, g.columnWidth(c), g.rowHeight());
            const bool selected = owner.isSelected(c, row);
            if (selected) p.fillRect(box, palette().highlight());
            if (!owner.cellText(row, c, &cell) || cell.empty()) continue;
            // A pen change makes the engine set up its pen anew; most cells keep the last one.
            if (const QColor& colour = own ? *own : selected ? selectedText : text; colour != pen) {
                pen = colour;
                p.setPen(pen);
            }
            if (owner.centredCell(cell))
                p.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, qt(cell));
            else
                drawCellText(p, target, box, cell, owner.cellRightAligned(row, c), baseline,
                             selected ? selectedGround : baseGround, pen.rgba64());
        }
    }
    // The grid lines, once for the whole view, as one-pixel fills: the same pixels as stroked
    // lines, which cost about a tenth of a screen's paint.
    const QColor line = palette().color(QPalette::Midlight);
    const int bottom = std::max(rows, 0) * g.rowHeight();
    for (int i = 1; i <= rows; ++i)
        p.fillRect(0, i * g.rowHeight() - 1, area.width(), 1, line);
    for (int c = first, x = g.columnLeft(first) - g.xOffset(); c <= last; ++c) {
        x += g.columnWidth(c);
        p.fillRect(x - 1, 0, 1, bottom + 1, line);
    }
}

void GridList::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus();
    const QPoint point = event->position().toPoint();
    const auto cell = grid_.geometry().CellAt(point.x(), point.y());
    if (!cell || cell->row >= grid_.owner().dataRowCount()) return;
    anchor_ = *cell;
    drag_.begin(point);
    grid_.owner().dragSelection(anchor_, anchor_);
    grid_.refresh();
}

void GridList::extendTo(QPoint point) {
    if (!drag_.active()) return;
    GridController& g = grid_.geometry();
    const int step = GridController::kAutoScrollStep;
    const std::int32_t row = grid_.rowReached(point.y());
    int x = point.x();
    if (x < 0) {
        g.setXOffset(static_cast<std::int64_t>(g.xOffset()) - step);
        x = 0;
    } else if (x >= g.viewportWidth()) {
        g.setXOffset(static_cast<std::int64_t>(g.xOffset()) + step);
        x = std::max(g.viewportWidth() - step, 0);
    }
    const Cell end{g.ColumnAtX(x), row};
    grid_.owner().dragSelection(anchor_, end);
    end_ = end;
    grid_.refresh();
}

void GridList::mouseMoveEvent(QMouseEvent* event) {
    drag_.moveTo(event->position().toPoint());
    extendTo(event->position().toPoint());
}

void GridList::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !drag_.end()) return;
    grid_.owner().selectCells(anchor_, end_.row < 0 ? anchor_ : end_);
    end_ = Cell{};
    grid_.refresh();
}

void GridList::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const auto cell = grid_.geometry().CellAt(point.x(), point.y());
    if (cell) grid_.owner().cellDoubleClicked(cell->row, cell->column);
}

void GridList::wheelEvent(QWheelEvent* event) {
    turnWheel(*event);
}

void GridList::turnWheel(QWheelEvent& event) {
    event.accept();
    // A sideways turn has no vertical delta: it neither scrolls the rows nor records a step.
    const int delta = event.angleDelta().y();
    if (delta == 0) return;
    grid_.owner().wheel(delta);
    grid_.refresh();
}

bool GridList::eventFilter(QObject* watched, QEvent* event) {
    // A turn over a scroll bar is the list's turn, with the list's step, not a move of the bar.
    if (event->type() == QEvent::Wheel &&
        (watched == verticalScrollBar() || watched == horizontalScrollBar())) {
        turnWheel(*static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void GridList::keyPressEvent(QKeyEvent* event) {
    const std::int32_t vk = virtualKeyOf(event->key());
    if (vk == 0) return QAbstractScrollArea::keyPressEvent(event);
    grid_.owner().key(vk);
    grid_.refresh();
}

void GridList::contextMenuEvent(QContextMenuEvent* event) {
    const GridController& g = grid_.geometry();
    grid_.owner().contextMenu(GridRole::List, g.ColumnAtX(event->pos().x()), event->globalPos());
}

}  // namespace zbq::windows
