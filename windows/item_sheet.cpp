#include "windows/item_sheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

#include <sstream>

#include "app/ckw_app.h"
#include "app/images.h"
#include "app/main_frame.h"
#include "console/image_button.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/shown_bytes.h"
#include "windows/summary_percent_dialog.h"
#include "windows/summary_text.h"
#include "windows/value_list_view.h"

namespace zbq::windows {

namespace {

QString qt(const std::string& cp932) {
    return QString::fromStdString(cp932::toUtf8(cp932));
}

// Every button of both pages takes the focus when it is clicked, as push buttons do: the search
// field that loses it records its text before the button's own step.
constexpr Qt::FocusPolicy kButtonFocus = Qt::StrongFocus;

QPushButton* button(QWidget* parent, const char* text, const char* tip, const char* name) {
    auto* b = new QPushButton(ui::shown(text), parent);
    b->setToolTip(ui::shown(tip));
    b->setObjectName(name);
    b->setFocusPolicy(kButtonFocus);
    return b;
}

// The pages' picture buttons. A click gives them the focus, so that a field the user leaves for
// one records its own step before the button's.
CImageButton* imageButton(QWidget* parent, int image, const char* text, const char* tip,
                          const char* name) {
    auto* b = new CImageButton(parent);
    b->setText(ui::shown(text));
    b->setToolTip(ui::shown(tip));
    b->setObjectName(name);
    b->setFocusPolicy(Qt::StrongFocus);
    const QSize size = zbqImageSize(image);
    b->SetBitmap(zbqImage(image), size.width(), size.height());
    return b;
}

// The value-list page's buttons put their picture at x 2 and their caption at x 20.
CImageButton* captionedImageButton(QWidget* parent, int image, const char* text, const char* tip,
                                   const char* name) {
    constexpr int kImageX = 2;
    constexpr int kCaptionX = 20;
    CImageButton* b = imageButton(parent, image, text, tip, name);
    b->SetImagePos(kImageX, -1);
    b->SetTextPos(kCaptionX, -1);
    b->setMinimumWidth(kCaptionX + b->fontMetrics().horizontalAdvance(b->text()) + kCaptionX / 2);
    return b;
}

const char* orderName(ValueOrder order) {
    switch (order) {
        case ValueOrder::CountUp:
            return "count up";
        case ValueOrder::CountDown:
            return "count down";
        case ValueOrder::Reverse:
            return "reverse";
        case ValueOrder::Natural:
            break;
    }
    return "natural";
}

}  // namespace

CItemSheet::CItemSheet(CKWApp& app, CMainFrame& frame, std::int32_t item, QWidget* parent)
    : QWidget(parent),
      app_(app),
      frame_(frame),
      model_(std::make_unique<ValueListModel>(app, item)),
      page_(std::make_unique<ValueListPage>(app, *model_)) {
    setObjectName("itemSheet");
    setWindowTitle(qt(app.GetItemName(item)));
    tabs_ = new QTabWidget(this);
    tabs_->addTab(buildSummaryPage(), ui::shown("概要"));
    tabs_->addTab(buildValueListPage(), ui::shown("値一覧"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tabs_);
    ShowPage(kValueListPage);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (programTab_) return;
        model_->record(index == kSummaryPage ? "OpenSummaryTab" : "OpenValListTab");
    });
    page_->showCell = [this](std::int32_t row, std::int32_t column) {
        view_->ScrollToRow(row);
        view_->ScrollToColumn(column);
        view_->refresh();
    };
    writeSummary();
    updateValuePage();
}

// The engine's flags of the item are dropped by the frame when this window leaves its registry.
CItemSheet::~CItemSheet() = default;

// --- Pages ---

QWidget* CItemSheet::buildSummaryPage() {
    auto* pageWidget = new QWidget(this);
    auto* layout = new QVBoxLayout(pageWidget);
    percentButton_ =
        imageButton(pageWidget, kPercentRankImage, "", ZBQ_SHOWN("％順位値算出"), "percentRank");
    percentButton_->setFixedSize(24, 20);
    connect(percentButton_, &QPushButton::clicked, this, [this] { OnPercentRank(); });
    layout->addWidget(percentButton_, 0, Qt::AlignLeft);
    summary_ = new QTextEdit(pageWidget);
    summary_->setObjectName("summaryText");
    summary_->setReadOnly(true);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(9);
    summary_->setFont(font);
    // The labels' tabs line the values up in columns of eight characters, as the system's own
    // text control sets its tab stops; in either language.
    summary_->setTabStopDistance(8 * QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')));
    summary_->setLineWrapMode(QTextEdit::NoWrap);
    layout->addWidget(summary_);
    return pageWidget;
}

QWidget* CItemSheet::buildValueListPage() {
    auto* pageWidget = new QWidget(this);
    auto* layout = new QVBoxLayout(pageWidget);
    auto* top = new QHBoxLayout;
    struct Nav {
        const char* text;
        const char* tip;
        const char* name;
        void (ValueListPage::*action)();
    };
    for (const Nav& n :
         {Nav{"|<", ZBQ_SHOWN("該当する元データの先頭"), "toTopHit", &ValueListPage::ToTopHitData},
          Nav{"<", ZBQ_SHOWN("該当する元データで１つ前方"), "toPrevHit",
              &ValueListPage::ToPrevHitData},
          Nav{">", ZBQ_SHOWN("該当する元データで１つ後方"), "toNextHit",
              &ValueListPage::ToNextHitData},
          Nav{">|", ZBQ_SHOWN("該当する元データの最後"), "toEndHit",
              &ValueListPage::ToEndHitData}}) {
        QPushButton* b = button(pageWidget, n.text, n.tip, n.name);
        connect(b, &QPushButton::clicked, this, [this, a = n.action] { ((*page_).*a)(); });
        top->addWidget(b);
    }
    top->addWidget(new QLabel(ui::shown("選択数"), pageWidget));
    selectedCount_ = new QLabel(pageWidget);
    selectedCount_->setObjectName("selectedCount");
    selectedCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top->addWidget(selectedCount_);
    top->addWidget(new QLabel(ui::shown("全数"), pageWidget));
    totalCount_ = new QLabel(pageWidget);
    totalCount_->setObjectName("totalCount");
    totalCount_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    top->addWidget(totalCount_);
    top->addStretch();
    QPushButton* create =
        captionedImageButton(pageWidget, kNewSetImage, ZBQ_SHOWN("新集合作成"),
                             ZBQ_SHOWN("表示中の値選択リストから集合を絞り込みます"), "createSet");
    connect(create, &QPushButton::clicked, this, [this] {
        const QPointer<CItemSheet> self(this);
        page_->CreateSet();
        if (self) updateValuePage();
    });
    top->addWidget(create);
    graphButton_ =
        captionedImageButton(pageWidget, kGraphImage, ZBQ_SHOWN("ｸﾞﾗﾌ"),
                             ZBQ_SHOWN("表示中の値選択リストからグラフを表示します"), "graph");
    graphButton_->setEnabled(app_.GetGraphOutput() != 0);
    connect(graphButton_, &QPushButton::clicked, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        page_->DispGraph();
        QApplication::restoreOverrideCursor();
    });
    top->addWidget(graphButton_);
    layout->addLayout(top);

    view_ = new ValueListView(*model_, *page_, pageWidget);
    view_->changed = [this] { updateValuePage(); };
    layout->addWidget(view_, 1);

    auto* bottom = new QHBoxLayout;
    for (const Nav& n :
         {Nav{"|<", ZBQ_SHOWN("該当する値で最初"), "toTopValue", &ValueListPage::ToTopItemData},
          Nav{"<", ZBQ_SHOWN("該当する値で１つ前方"), "toPrevValue",
              &ValueListPage::ToPrevItemData},
          Nav{">", ZBQ_SHOWN("該当する値で１つ後方"), "toNextValue",
              &ValueListPage::ToNextItemData},
          Nav{">|", ZBQ_SHOWN("該当する値で最後"), "toEndValue", &ValueListPage::ToEndItemData}}) {
        QPushButton* b = button(pageWidget, n.text, n.tip, n.name);
        connect(b, &QPushButton::clicked, this, [this, a = n.action] {
            ((*page_).*a)();
            updateValuePage();
        });
        bottom->addWidget(b);
    }
    textSearch_ = new QCheckBox(ui::shown("文字列", "value search"), pageWidget);
    textSearch_->setObjectName("textSearch");
    textSearch_->setToolTip(ui::shown("文字列で検索する場合、チェックします"));
    textSearch_->setVisible(page_->textSearchShown());
    connect(textSearch_, &QCheckBox::clicked, this, [this] { page_->ChechStr(); });
    bottom->addWidget(textSearch_);
    search_ = new QComboBox(pageWidget);
    search_->setObjectName("searchField");
    search_->setEditable(true);
    search_->setInsertPolicy(QComboBox::NoInsert);
    search_->setToolTip(ui::shown("検索式を検索・入力"));
    // The combo box is its line edit's focus proxy: the focus events arrive at the combo box and
    // reach the edit past any filter of the edit's own.
    search_->installEventFilter(this);
    connect(search_, &QComboBox::editTextChanged, this, [this](const QString& text) {
        const std::optional<std::string> bytes = cp932::fromUtf8(text.toStdString());
        // A text the field cannot hold (too long, or not CP932) leaves it as it was.
        if (!bytes || !page_->setSearchText(*bytes)) {
            const QSignalBlocker block(search_);
            search_->setEditText(qt(page_->searchText()));
        }
    });
    bottom->addWidget(search_, 1);
    layout->addLayout(bottom);
    return pageWidget;
}

bool CItemSheet::eventFilter(QObject* watched, QEvent* event) {
    const bool focus = event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut;
    // The history dropping down keeps the user in the field: the focus moves while it is open
    // and comes back as it closes.
    if (search_ && watched == search_ && focus &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
        !QApplication::activePopupWidget()) {
        if (event->type() == QEvent::FocusIn) page_->searchFocusIn();
        if (event->type() == QEvent::FocusOut) page_->searchFocusOut();
    }
    return QWidget::eventFilter(watched, event);
}

void CItemSheet::ShowPage(int index) {
    programTab_ = true;
    tabs_->setCurrentIndex(index);
    programTab_ = false;
}

// --- Refresh ---

void CItemSheet::writeSummary() {
    summaryText_ = SummaryText(app_, GetItemNo(), ui::shownBytes, &shownSummary_);
    summary_->setPlainText(qt(shownSummary_));
}

void CItemSheet::updateValuePage() {
    page_->UpdateCounts();
    selectedCount_->setText(qt(page_->selectedCountText()));
    totalCount_->setText(qt(page_->totalCountText()));
    textSearch_->setChecked(page_->textSearch());
    syncHistory();
    view_->refresh();
}

void CItemSheet::syncHistory() {
    const std::vector<std::string>& history = page_->history();
    if (search_->count() == static_cast<int>(history.size())) return;
    const QSignalBlocker block(search_);
    const QString text = search_->currentText();
    search_->clear();
    for (const std::string& entry : history)
        search_->addItem(qt(entry));
    search_->setEditText(text);
}

void CItemSheet::Refresh() {
    model_->refresh();
    writeSummary();
    updateValuePage();
}

void CItemSheet::Rebuild() {
    model_->rebind();
    ResetOptions();
}

void CItemSheet::ResetOptions() {
    model_->ResetOptions();
    page_->ResetPage();
    view_->fitAllColumns();
    const QSize list = view_->fittedSize();
    const QSize size(list.width(), list.height() + 180);
    if (!isMaximized() && !isMinimized()) {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        setGeometry(screen.width() / 2 - size.width() / 2, screen.height() / 2 - size.height() / 2,
                    size.width(), size.height());
    }
    graphButton_->setEnabled(app_.GetGraphOutput() != 0);
    writeSummary();
    updateValuePage();
}

// --- Summary ---

void CItemSheet::WritePercentRank(double percent) {
    std::string shownBlock;
    summaryText_ += PercentRankText(app_, GetItemNo(), percent, ui::shownBytes, &shownBlock);
    shownSummary_ += shownBlock;
    summary_->setPlainText(qt(shownSummary_));
}

void CItemSheet::OnPercentRank() {
    CPercentRankDlg dialog(app_, this);
    if (ui::runModal(dialog) != QDialog::Accepted) return;
    WritePercentRank(dialog.percent());
    StepBuilder step("Item_PercentValue");
    step.number(GetItemNo());
    // The percentage goes out as a bare field, as its recorder has always written it.
    const std::string value =
        app_.macro().isVariable() ? std::string("???") : PercentStepText(dialog.percent());
    app_.Record(StepBuilder(step.str() + "," + value));
}

bool CItemSheet::setSearchText(const std::string& cp932) {
    if (!page_->setSearchText(cp932)) return false;
    const QSignalBlocker block(search_);
    search_->setEditText(qt(cp932));
    return true;
}

void CItemSheet::toggleTextSearch() {
    page_->toggleTextSearch();
    textSearch_->setChecked(page_->textSearch());
}

// --- Window ---

void CItemSheet::closeEvent(QCloseEvent* event) {
    if (!app_.IsSuppressed(Suppress::CloseOne) && !app_.IsSuppressed(Suppress::CloseAll))
        model_->record("Item_Close");
    event->accept();
    frame_.RemoveItemSheet(GetItemNo());
}

void CItemSheet::changeEvent(QEvent* event) {
    // Only the desktop's changes are the user's: the window list's commands and the players
    // change the state from the program and record their own steps.
    if (event->type() == QEvent::WindowStateChange && event->spontaneous()) {
        const auto* change = static_cast<QWindowStateChangeEvent*>(event);
        const Qt::WindowStates before = change->oldState(), now = windowState();
        if ((now & Qt::WindowMinimized) && !(before & Qt::WindowMinimized))
            model_->record("Item_Min");
        else if ((now & Qt::WindowMaximized) && !(before & Qt::WindowMaximized))
            model_->record("Item_Max");
        else if (!(now & (Qt::WindowMinimized | Qt::WindowMaximized)) &&
                 (before & (Qt::WindowMinimized | Qt::WindowMaximized)))
            model_->record("Item_Restore");
    }
    QWidget::changeEvent(event);
}

void CItemSheet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) ResetOptions();
}

// --- Snapshot ---

std::string CItemSheet::snapshot() const {
    std::ostringstream out;
    const ValueListModel& m = *model_;
    const auto u8 = [](const std::string& s) { return cp932::toUtf8(s); };
    out << "item window " << GetItemNo() << ": tab " << tabs_->currentIndex() << " state "
        << (isMinimized()   ? "minimized"
            : isMaximized() ? "maximized"
                            : "normal")
        << "\n";
    std::istringstream lines(u8(summaryText_));
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out << "  summary: " << line << "\n";
    }
    out << "  options: comma " << m.comma() << " decimals " << m.decimals() << " percent "
        << m.percentDigits() << " order " << orderName(m.order()) << "\n";
    out << "  selection " << m.GetSelStart().column << "," << m.GetSelStart().row << " "
        << m.GetSelEnd().column << "," << m.GetSelEnd().row << " top " << view_->topRow() << "\n";
    std::int32_t unmarked = 0;
    std::string first;
    for (std::int32_t row = 0; row < m.rowCount(); ++row) {
        if (m.IsValueChecked(row)) continue;
        if (++unmarked <= 20) first += " \"" + u8(m.cellText(row, m.valueColumn())) + "\"";
    }
    out << "  unmarked " << unmarked << ":" << first << "\n";
    out << "  counts " << page_->selectedCountText() << " / " << page_->totalCountText() << "\n";
    out << "  search \"" << u8(page_->searchText()) << "\" text search " << page_->textSearch()
        << " history";
    for (const std::string& entry : page_->history())
        out << " \"" << u8(entry) << "\"";
    out << "\n";
    return out.str();
}

}  // namespace zbq::windows
