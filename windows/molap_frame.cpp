// The aggregation window: its build on two workers, the cancel on close and the window's frame.
#include "windows/molap_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>
#include <system_error>

#include "app/macro_port.h"
#include "app/main_frame.h"
#include "console/molap_steps.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/fixed_grid.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/prompts.h"
#include "platform/ui/qt_cp932.h"
#include "windows/molap_filter_dialog.h"
#include "windows/molap_format.h"

namespace zbq::windows {

namespace {

std::function<void(std::int32_t)>& workerHook() {
    static std::function<void(std::int32_t)> hook;
    return hook;
}
std::int32_t failingStage = 0;
// The window whose build the engine's one result belongs to. A window replaced by a newer one
// goes only after the newer one has built, and must leave that result alone.
const CMOLAPFrm* resultOwner = nullptr;

// clang-format off
constexpr const char* kTooLarge = ZBQ_SHOWN("集計表の縦または横が10,000行を超えています。表示に時間がかかりますが実行しますか？");
// clang-format on
constexpr std::int32_t kMaxCells = 10000;  // rows or columns from which the user is asked
constexpr int kExtraRowTwips = 80;
constexpr int kExtraColumnTwips = 200;

// The box shows a text of ours (ZBQ_SHOWN at the callers) in the language in force.
void tell(QWidget* parent, const char* utf8) {
    ui::prompts().message(parent, QString::fromUtf8(utf8), QString::fromUtf8(CKWApp::kCaption),
                          ui::Icon::Exclamation);
}

// "item:unit" pairs joined by TABs, as the settings steps take them.
}  // namespace

void CMOLAPFrm::setWorkerHookForTest(std::function<void(std::int32_t)> hook) {
    workerHook() = std::move(hook);
}
void CMOLAPFrm::setFailingStageForTest(std::int32_t stage) {
    failingStage = stage;
}

CMOLAPFrm::CMOLAPFrm(CKWApp& app, const MolapParams& params, QWidget* parent)
    : QWidget(parent, Qt::Window), app_(app), view_(app.Search()) {
    SetParams(params);
    setWindowTitle(ui::shown("多次元集計"));
    grid_ = new ui::FixedGrid(this);
    grid_->setModel(&view_);
    // Room around the text, once for the window's life: rows 80 twips higher and columns 200
    // twips wider than the grid's own.
    grid_->setSectionTwips(grid_->rowHeightTwips() + kExtraRowTwips,
                           grid_->columnWidthTwips() + kExtraColumnTwips);
    grid_->hide();
    connectGrid();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grid_);
}

CMOLAPFrm::~CMOLAPFrm() {
    // A window destroyed in the middle of a build: its worker is stopped before the engine's
    // tables go, and the build left on the stack touches nothing of this window.
    if (worker_.joinable()) {
        app_.Search().MolapCancelFlag().cancel();
        worker_.join();
    }
    if (busy_) {
        app_.SetAddingData(wasBusy_);
        app_.Search().MolapCancelFlag().reset();
    }
    grid_->setModel(nullptr);
    if (resultOwner != this) return;
    resultOwner = nullptr;
    KW_search& engine = app_.Search();
    engine.ResetMolapX();
    engine.ResetMolapY();
    engine.ResetMolapZ();
    engine.KWMolapClose();
}

QWidget* CMOLAPFrm::Make(CKWApp& app, const MolapParams& params) {
    return new CMOLAPFrm(app, params);
}

void CMOLAPFrm::SetParams(const MolapParams& params) {
    params_ = molapParamsCopy(params);
}

std::int32_t CMOLAPFrm::ExecuteMolap() {
    if (busy_ || app_.IsAddingData()) return -1;
    setWindowTitle(ui::shown("多次元集計"));
    view_.clear();
    resultOwner = this;
    app_.Search().KWMolapClose();
    QPointer<CMOLAPFrm> self(this);
    const std::int32_t result = BuildMolapTable();
    if (!self) return -1;
    if (closeRequested_) {
        closeRequested_ = false;
        closeNow();
    }
    return result;
}

std::int32_t CMOLAPFrm::BuildMolapTable() {
    QPointer<CMOLAPFrm> self(this);
    KW_search& engine = app_.Search();
    grid_->hide();
    move(pos());
    resize(300, 150);
    if (app_.KWgetDataCount() <= 0) {
        setStatus(std::string(24, ' '));
        engine.KWMolapClose();
        return -1;
    }

    busy_ = true;
    wasBusy_ = app_.IsAddingData();
    app_.SetAddingData(1);
    const auto finish = [&](std::int32_t code) {
        if (self) {
            busy_ = false;
            app_.SetAddingData(wasBusy_);
            // No request carries over to the next build.
            engine.MolapCancelFlag().reset();
            if (code != 0) setStatus({});
        }
        return code;
    };
    setStatus(cp932::literal(ZBQ_SHOWN("集計しています....")));
    engine.MolapCancelFlag().reset();
    app_.StartTimer();

    MolapLayout layout = molapLayoutFrame(app_, params_);
    engine.ResetMolapX();
    engine.ResetMolapY();
    engine.ResetMolapZ();
    if (engine.SetMolapX(params_.xItems, params_.xDateUnits) != 0 ||
        engine.SetMolapY(params_.yItems, params_.yDateUnits) != 0 ||
        engine.SetMolapZ(params_.zItems, params_.zUnits) != 0) {
        tell(this, ZBQ_SHOWN("集計に失敗しました。処理を中止します。[1]"));
        return finish(-1);
    }

    const MolapParams p = params_;
    std::int32_t code = runWorker(
        1,
        [&engine, p] {
            return engine.KWexecuteMolap(p.xItems, p.yItems, p.zItems, p.zKinds, p.xTotalMode,
                                         p.yTotalMode);
        },
        nullptr);
    if (!self) return -1;
    if (code == 1 || closeRequested_) {
        engine.KWMolapClose();
        return finish(-1);
    }
    if (code < 0) {
        tell(this, ZBQ_SHOWN("集計に失敗しました。処理を中止します。[1]"));
        return finish(-1);
    }
    const double ms = app_.GetElapsedMs();

    const std::int32_t xc = engine.GetMolapXCount(), yc = engine.GetMolapYCount();
    const std::int32_t columns = layout.nY() + (xc == 0 ? 1 : xc) * layout.nZ();
    const std::int32_t rows = (yc == 0 ? 1 : yc) + 1 + layout.nX();
    if (rows >= kMaxCells || columns >= kMaxCells) {
        const ui::Answer answer = ui::prompts().message(this, QString::fromUtf8(kTooLarge),
                                                        QString::fromUtf8(CKWApp::kCaption),
                                                        ui::Icon::Question, ui::Buttons::YesNo);
        if (!self) return -1;
        if (answer != ui::Answer::Yes || closeRequested_) {
            engine.KWMolapClose();
            const std::int32_t r = finish(-1);
            setStatus(cp932::literal(ZBQ_SHOWN("処理を中止しました。")));
            return r;
        }
    }
    app_.LogOperation(logText(), app_.KWgetDataCount(), ms);

    setStatus(cp932::literal(ZBQ_SHOWN("表を作成しています....")));
    std::atomic<std::int32_t> progress{0};
    code = runWorker(
        2,
        [&engine, &layout, &progress] {
            kw::MolapCancel& cancel = engine.MolapCancelFlag();
            return buildMolapLayout(engine, layout, &progress, [&cancel] { return cancel.poll(); });
        },
        &progress);
    if (code != 0) {
        // A window destroyed meanwhile still has its build's end told, without an owner.
        engine.KWMolapClose();
        finish(-1);
        tell(self ? this : nullptr,
             code == -2 ? ZBQ_SHOWN("集計できませんでした。処理を中止します。")
                        : ZBQ_SHOWN("集計に作成に失敗しました。処理を中止します。[2]"));
        return -1;
    }
    if (!self) return -1;
    if (closeRequested_) {
        engine.KWMolapClose();
        return finish(-1);
    }

    view_.install(std::move(layout));
    installGrid();
    fitFrame();
    recordBurst();
    setStatus({});
    return finish(0);
}

std::int32_t CMOLAPFrm::runWorker(std::int32_t stage, const std::function<std::int32_t()>& work,
                                  const std::atomic<std::int32_t>* progress) {
    QPointer<CMOLAPFrm> self(this);
    kw::MolapCancel& cancel = app_.Search().MolapCancelFlag();
    QEventLoop loop;
    auto code = std::make_shared<std::atomic<std::int32_t>>(kNotStarted);
    try {
        if (failingStage == stage)
            throw std::system_error(
                std::make_error_code(std::errc::resource_unavailable_try_again));
        worker_ = std::thread([&loop, &cancel, work, code, stage] {
            kw::MolapCancel::Running running(cancel);
            std::int32_t result = -1;
            try {
                if (workerHook()) workerHook()(stage);
                result = work();
            } catch (...) {
                result = -1;
            }
            code->store(result);
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
    } catch (const std::system_error&) {
        return kNotStarted;
    }
    QTimer timer;
    std::int32_t shown = 0;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (!progress || !self) return;
        const std::int32_t now = progress->load();
        if (now > shown) {
            shown = now;
            char text[64];
            std::snprintf(text, sizeof text, "%s %d%%",
                          cp932::literal("表を作成しています....").c_str(), now);
            setStatus(text, ui::shown("表を作成しています....") + QStringLiteral(" %1%").arg(now));
        }
    });
    timer.start(100);
    loop.exec();
    timer.stop();
    // A window destroyed inside the loop has joined its worker already.
    if (!self) return code->load();
    if (worker_.joinable()) worker_.join();
    return code->load();
}

void CMOLAPFrm::setStatus(std::string text, std::optional<QString> shown) {
    shownStatus_ = shown ? *shown : ui::shownCp932(text);
    status_ = std::move(text);
    update();
}

void CMOLAPFrm::requestCancel() {
    if (!busy_ || closeRequested_) return;
    closeRequested_ = true;
    // Returns once a running worker has taken the request; with none running the request stays
    // for the next stage's first poll, and the build stops at its next step.
    app_.Search().MolapCancelFlag().cancel();
}

void CMOLAPFrm::closeNow() {
    auto* frame = qobject_cast<CMainFrame*>(app_.windows().mainWindow());
    if (frame && frame->molapWindow() == this) {
        frame->CloseMolapWindow();
        return;
    }
    hide();
    deleteLater();
}

void CMOLAPFrm::closeEvent(QCloseEvent* event) {
    // A window the frame took off its registry first is one the program closes itself.
    const bool own = app_.windows().molapWindow() == this;
    if (own && !closeRequested_ && !app_.IsSuppressed(Suppress::CloseOne) &&
        !app_.IsSuppressed(Suppress::CloseAll))
        app_.Record(StepBuilder("MolapClose"));
    event->ignore();
    if (busy_) {
        requestCancel();
        return;
    }
    // Gone from the frame's registry before the close returns: the next step of a run, or the
    // next command, finds no aggregation window. The window itself is deleted later.
    closeNow();
}

void CMOLAPFrm::hideEvent(QHideEvent* event) {
    // The frame closing its windows hides this one before deleting it.
    if (!event->spontaneous()) requestCancel();
    QWidget::hideEvent(event);
}

void CMOLAPFrm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        const Qt::WindowStates state = windowState();
        const char* step = (state & Qt::WindowMinimized)   ? "MolapMin"
                           : (state & Qt::WindowMaximized) ? "MolapMax"
                                                           : "MolapRestore";
        // The program's own changes (its commands, the window list, the frame) are not the
        // user's; the commands and the list record their own steps.
        if (event->spontaneous() && step != lastState_ && !app_.IsSuppressed(Suppress::States))
            app_.Record(StepBuilder(step));
        lastState_ = step;
    }
    QWidget::changeEvent(event);
}

void CMOLAPFrm::paintEvent(QPaintEvent*) {
    // Every build ends with the status emptied but for the refused huge table, whose
    // "処理を中止しました。" stands once the build is over.
    if (status_.empty()) return;
    QPainter painter(this);
    painter.drawText(QPoint(0, fontMetrics().ascent()), shownStatus_);
}

void CMOLAPFrm::installGrid() {
    const MolapLayout& l = view_.layout();
    std::vector<QRect> spans;
    spans.reserve(l.spans.size());
    for (const MolapSpan& s : l.spans)
        spans.emplace_back(s.column, s.row, s.columns, s.rows);
    grid_->setFixed(l.fixedRows(), l.fixedColumns());
    grid_->setCellSpans(spans);
    // The first body cell is current, with no cell highlighted.
    grid_->setHighlight(-1, -1);
    if (view_.currentRow() >= 0)
        grid_->setCurrentIndex(view_.index(view_.currentRow(), view_.currentColumn()));
    grid_->show();
}

void CMOLAPFrm::connectGrid() {
    connect(&view_, &CMOLAPView::currentCellChanged, grid_, &ui::FixedGrid::setHighlight);
    connect(grid_, &ui::FixedGrid::cellDoubleClicked, this, [this](int row, int column) {
        view_.SelectCell(row, column);
        DrillThrough(true);
    });
    connect(grid_, &ui::FixedGrid::cellReleased, this,
            [this](int row, int column) { view_.SelectCell(row, column); });
    connect(grid_, &ui::FixedGrid::cellRightPressed, this, [this](int row, int column, QPoint at) {
        view_.SelectCell(row, column);
        if (QMenu* menu = contextMenu()) menu->popup(at);
    });
    connect(grid_, &ui::FixedGrid::menuKeyPressed, this, [this](int, int) {
        if (QMenu* menu = contextMenu()) menu->popup(grid_->mapToGlobal(QPoint(0, 0)));
    });
}

QMenu* CMOLAPFrm::contextMenu() {
    if (busy_ || !view_.installed()) return nullptr;
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addAction(ui::shown("ドリルスルー"), this, [this] { DrillThrough(); });
    if (ui::englishShown()) {
        // Only the English layout offers these two; the steps they record play in either.
        menu->addAction(QStringLiteral("Copy"), this, [this] { Copy(); });
        menu->addAction(QStringLiteral("Write to CSV"), this, [this] { OnOutToCsv(); });
    }
    QAction* excel =
        menu->addAction(ui::shown("Excelに書出し"), this, [this] { ExportMolapToExcel(); });
    excel->setEnabled(!app_.GetExcelPath().empty());
    menu->addAction(ui::shown("フィルタ"), this, [this] { OnFilter(); });
    QAction* release =
        menu->addAction(ui::shown("フィルタ解除"), this, [this] { FilterRelease(); });
    release->setEnabled(view_.filterActive());
    return menu;
}

std::int32_t CMOLAPFrm::OnFilter() {
    if (busy_ || app_.IsAddingData() || !view_.installed()) return 0;
    CFilterDlg dialog(app_, view_.conditions(), this);
    if (ui::runModal(dialog) != QDialog::Accepted) return 0;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::int32_t applied = Filter(dialog.conditions());
    QApplication::restoreOverrideCursor();
    return applied;
}

void CMOLAPFrm::fitFrame() {
    // The whole table in twips, in pixels at the screen's dots per inch with room for the
    // grid's border; the window grows to it up to 800 x 500, and keeps room for the scroll bar
    // that a table larger than that shows.
    const MolapLayout& l = view_.layout();
    const std::int64_t widthTwips =
        static_cast<std::int64_t>(l.columns()) * grid_->columnWidthTwips();
    const std::int64_t heightTwips = static_cast<std::int64_t>(l.rows()) * grid_->rowHeightTwips();
    const QSize decoration = frameGeometry().size() - size();
    std::int64_t w =
        std::min<std::int64_t>(decoration.width() + logicalDpiX() * widthTwips / 1440 + 12, 800);
    std::int64_t h = decoration.height() + logicalDpiY() * heightTwips / 1440 + 10;
    if (h > 500) {
        h = 500;
        if (w != 800) w += 15;
    } else if (w == 800) {
        h += 17;
    }
    resize(static_cast<int>(w) - decoration.width(), static_cast<int>(h) - decoration.height());
}

MixedText CMOLAPFrm::logText() const {
    MixedText text;
    const auto axis = [this, &text](const char* head, const std::vector<std::int32_t>& items) {
        if (items.empty()) return;
        text.plain(head);
        for (std::size_t i = 0; i < items.size(); ++i)
            text.plain((i ? "," : "") + app_.GetItemName(items[i]));
        text.plain("]");
    };
    text.word(cp932::literal(ZBQ_SHOWN("多次元集計"))).plain(" ");
    axis("[X:", params_.xItems);
    axis("[Y:", params_.yItems);
    text.plain("[Z:");
    if (params_.zItems.empty()) text.word(molapKindCaption(0));
    for (std::size_t i = 0; i < params_.zItems.size(); ++i)
        text.plain((i ? "," : "") + app_.GetItemName(params_.zItems[i]) + "(")
            .word(molapKindCaption(params_.zKinds[i]))
            .plain(")");
    return text.plain("]");
}

void CMOLAPFrm::recordBurst() const {
    if (rebuildQuietly_) return;
    // The settings page's own steps, so that a replay sets the page as the build was given it.
    RecordMolapSettings(app_, params_);
}

}  // namespace zbq::windows
