#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/class_dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "app/images.h"
#include "app/main_frame.h"
#include "console/category_form_view.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/modal_runner.h"
#include "platform/ui/qt_cp932.h"

namespace {

constexpr const char* kOperators[] = {"=n1", "!n1",     ">=n1",    ">n1",     "<=n1",
                                      "<n1", "[n1,n2]", "(n1,n2]", "[n1,n2)", "(n1,n2)"};
// The captions name the buttons for the tests and the players too, in Japanese whatever is shown.
constexpr const char* kButtons[] = {ZBQ_SHOWN("ｸﾘｱ"),  ZBQ_SHOWN("追加"), ZBQ_SHOWN("上書き"),
                                    ZBQ_SHOWN("上へ"), ZBQ_SHOWN("下へ"), ZBQ_SHOWN("削除"),
                                    ZBQ_SHOWN("登録"), ZBQ_SHOWN("ｷｬﾝｾﾙ")};
constexpr std::size_t kRegister = 6;
constexpr int kButtonY[] = {24, 48, 72, 101, 125, 149};
constexpr std::size_t kTypedName = 64;

QString shown(std::string_view cp932) {
    return zbq::ui::fromCp932(cp932);
}

// The text a user typed, as CP932 bytes within `limit`; the field goes back to `held` when the
// text is longer, holds a character CP932 lacks or a line break (a paste of several lines).
std::string typed(QLineEdit& edit, std::string_view held, std::size_t limit) {
    const std::optional<std::string> text = zbq::ui::toCp932(edit.text());
    if (text && text->size() <= limit && FitsClassLine(*text)) return *text;
    const int cursor = edit.cursorPosition();
    edit.setText(shown(held));
    edit.setCursorPosition(std::min(cursor, static_cast<int>(edit.text().size())));
    return std::string(held);
}

QTreeWidget* makeList(QWidget* parent, const char* column) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHeaderLabels({zbq::ui::shown(column)});
    list->setUniformRowHeights(true);
    return list;
}

// The rows are changed in place, never made anew: the list is filled again on every selection
// change, and a row replaced between the two clicks of a double click would lose the second.
void fillList(QTreeWidget& list, const std::vector<QString>& texts, const std::vector<bool>& marked,
              std::int32_t selected) {
    const int count = static_cast<int>(texts.size());
    while (list.topLevelItemCount() > count)
        delete list.takeTopLevelItem(list.topLevelItemCount() - 1);
    while (list.topLevelItemCount() < count)
        new QTreeWidgetItem(&list);
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* row = list.topLevelItem(i);
        if (row->text(0) != texts[static_cast<std::size_t>(i)])
            row->setText(0, texts[static_cast<std::size_t>(i)]);
        if (!marked.empty())
            row->setIcon(0, zbq::zbqImage(zbq::kClassMarks, marked[static_cast<std::size_t>(i)]));
        row->setSelected(i == selected);
    }
    if (selected >= 0 && selected < count) {
        list.setCurrentItem(list.topLevelItem(selected));
        list.scrollToItem(list.topLevelItem(selected));
    }
}

std::int32_t selectedRowOf(const QTreeWidget& list) {
    const QList<QTreeWidgetItem*> rows = list.selectedItems();
    return rows.isEmpty() ? -1 : list.indexOfTopLevelItem(rows.front());
}

std::vector<QPushButton*> makeButtons(QDialog* dialog) {
    std::vector<QPushButton*> buttons;
    for (const char* caption : kButtons) {
        auto* button = new QPushButton(zbq::ui::shown(caption), dialog);
        button->setAutoDefault(false);
        buttons.push_back(button);
    }
    // Enter registers, wherever the focus is; a field's pending input is recorded by OnOK.
    buttons[kRegister]->setDefault(true);
    return buttons;
}

// Both dialogs' layout: OK and Cancel along the bottom, the list, a column of buttons.
void placeCommon(QWidget& dialog, QTreeWidget& list, const std::vector<QPushButton*>& buttons) {
    const int w = dialog.width(), h = dialog.height();
    buttons[6]->setGeometry(w - 306, h - 29, 92, 19);
    buttons[7]->setGeometry(w - 204, h - 29, 92, 19);
    list.setGeometry(10, 58, w - 122, h - 97);
    list.header()->resizeSection(0, std::max(0, w - 50));
    for (int i = 0; i < 6; ++i)
        buttons[static_cast<std::size_t>(i)]->setGeometry(w - 102, kButtonY[i], 92, 19);
}

QPushButton* buttonOf(const std::vector<QPushButton*>& buttons, const char* caption) {
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (std::string_view(kButtons[i]) == caption) return buttons[i];
    return nullptr;
}

// The class list's selection and double click, the six list buttons, OK and Cancel: wired
// alike in both dialogs. `act` runs an editor action and shows its outcome.
template <typename Dialog, typename Editor, typename Act>
void wireList(Dialog& dialog, Editor& editor, QTreeWidget& list,
              const std::vector<QPushButton*>& buttons, const bool& updating, Act act) {
    QObject::connect(&list, &QTreeWidget::itemSelectionChanged, &dialog,
                     [&dialog, &editor, &list, &updating] {
                         if (updating) return;
                         editor.selectRow(selectedRowOf(list));
                         dialog.sync();
                     });
    QObject::connect(&list, &QTreeWidget::itemDoubleClicked, &dialog,
                     [act] { act(&Editor::OnDblclkList); });
    void (Editor::*actions[])() = {&Editor::OnClear, &Editor::OnAdd,  &Editor::OnOverwrite,
                                   &Editor::OnUp,    &Editor::OnDown, &Editor::OnDelete};
    for (std::size_t i = 0; i < 6; ++i) {
        auto action = actions[i];
        QObject::connect(buttons[i], &QPushButton::clicked, &dialog,
                         [act, action] { act(action); });
    }
    QObject::connect(buttons[6], &QPushButton::clicked, &dialog, [&dialog] { dialog.OnOK(); });
    QObject::connect(buttons[7], &QPushButton::clicked, &dialog, [&dialog] { dialog.OnCancel(); });
}

}  // namespace

// --- Small classes ---

CMinorCategoryDlg::CMinorCategoryDlg(CKWApp& app, const std::vector<SmallClassDefinition>& target,
                                     Commit commit, QWidget* parent)
    : QDialog(parent),
      editor_(app, target),
      commit_(std::move(commit)),
      name_(new QLineEdit(this)),
      operator_(new QComboBox(this)),
      term1_(new QComboBox(this)),
      term2_(new QLineEdit(this)),
      list_(makeList(this, ZBQ_SHOWN("小分類項目　定義一覧"))),
      buttons_(makeButtons(this)) {
    setWindowTitle(zbq::ui::shown("小分類編集"));
    editor_.setOwner(this);
    setMinimumSize(522, 237);
    const char* labels[] = {ZBQ_SHOWN("名称"), ZBQ_SHOWN("条件"), ZBQ_SHOWN("n1 の値"),
                            ZBQ_SHOWN("n2 の値")};
    for (int i = 0; i < 4; ++i)
        (new QLabel(zbq::ui::shown(labels[i]), this))->setGeometry(10 + i * 100, 6, 96, 16);
    for (const char* caption : kOperators)
        operator_->addItem(QString::fromLatin1(caption));
    term1_->setEditable(true);
    term1_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string& word : editor_.termChoices())
        term1_->addItem(shown(word));
    // The n1 combo box is its line edit's focus proxy: the focus comes and goes at the combo box,
    // which hands the events on to the edit past any filter of the edit's own.
    for (QWidget* field : {static_cast<QWidget*>(name_), static_cast<QWidget*>(term1_),
                           static_cast<QWidget*>(term2_)})
        field->installEventFilter(this);

    connect(name_, &QLineEdit::textEdited, this, [this] {
        editor_.setName(typed(*name_, editor_.name(), kTypedName));
        sync();
    });
    connect(operator_, &QComboBox::activated, this, [this](int index) {
        editor_.selectOperator(index);
        sync();
    });
    connect(term1_->lineEdit(), &QLineEdit::textEdited, this, [this] {
        editor_.setTerm1(typed(*term1_->lineEdit(), editor_.term1(), kClassValueHeld));
        sync();
    });
    connect(term1_, &QComboBox::activated, this, [this](int index) {
        editor_.setTerm1(editor_.termChoices()[static_cast<std::size_t>(index)]);
        sync();
    });
    connect(term2_, &QLineEdit::textEdited, this, [this] {
        editor_.setTerm2(typed(*term2_, editor_.term2(), kClassValueHeld));
        sync();
    });
    wireList(*this, editor_, *list_, buttons_, updating_, [this](auto action) { act(action); });
    resize(522, 237);
    sync();
}

QPushButton* CMinorCategoryDlg::button(const char* caption) const {
    return buttonOf(buttons_, caption);
}

void CMinorCategoryDlg::act(void (SmallClassEditor::*action)()) {
    (editor_.*action)();
    sync();
    switch (editor_.focusRequest()) {
        case SmallClassEditor::Field::Name:
            name_->setFocus();
            break;
        case SmallClassEditor::Field::Operator:
            operator_->setFocus();
            break;
        case SmallClassEditor::Field::Term1:
            term1_->setFocus();
            break;
        case SmallClassEditor::Field::Term2:
            term2_->setFocus();
            break;
        case SmallClassEditor::Field::None:
            break;
    }
}

void CMinorCategoryDlg::sync() {
    updating_ = true;
    if (name_->text() != shown(editor_.name())) name_->setText(shown(editor_.name()));
    operator_->setCurrentIndex(editor_.op());
    if (term1_->currentText() != shown(editor_.term1()))
        term1_->setEditText(shown(editor_.term1()));
    if (term2_->text() != shown(editor_.term2())) term2_->setText(shown(editor_.term2()));
    term2_->setEnabled(editor_.term2Enabled());
    std::vector<QString> texts;
    for (const std::string& text : editor_.rowTexts())
        texts.push_back(shown(text));
    fillList(*list_, texts, {}, editor_.selectedRow());
    buttons_[1]->setEnabled(editor_.addEnabled());
    buttons_[2]->setEnabled(editor_.overwriteEnabled());
    for (std::size_t i : {3u, 4u, 5u})
        buttons_[i]->setEnabled(editor_.rowActionsEnabled());
    updating_ = false;
}

void CMinorCategoryDlg::OnOK() {
    const std::vector<SmallClassDefinition> rows = editor_.OnOK();
    if (commit_) commit_(rows);
    accept();
}

void CMinorCategoryDlg::OnCancel() {
    editor_.OnCancel();
    QDialog::reject();
}

bool CMinorCategoryDlg::eventFilter(QObject* watched, QEvent* event) {
    using Field = SmallClassEditor::Field;
    const Field field = watched == name_    ? Field::Name
                        : watched == term1_ ? Field::Term1
                        : watched == term2_ ? Field::Term2
                                            : Field::None;
    const bool focus = event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut;
    // The n1 list dropping down keeps the user in the field: the focus moves while it is open
    // and comes back as it closes.
    if (field != Field::None && focus &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
        !QApplication::activePopupWidget()) {
        if (event->type() == QEvent::FocusIn)
            editor_.focusIn(field);
        else
            editor_.focusOut(field);
    }
    return QDialog::eventFilter(watched, event);
}

void CMinorCategoryDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int fieldWidth = std::max(40, (width() - 122 - 10) / 4 - 4);
    QWidget* fields[] = {name_, operator_, term1_, term2_};
    for (int i = 0; i < 4; ++i)
        fields[i]->setGeometry(10 + i * (fieldWidth + 4), 24, fieldWidth, 22);
    placeCommon(*this, *list_, buttons_);
}

// --- Middle and large classes ---

CCategoryListDlg::CCategoryListDlg(CKWApp& app, ClassListEditor::Level level,
                                   const std::vector<ClassGrouping>& target,
                                   std::vector<std::string> choices, Commit commit, QWidget* parent)
    : QDialog(parent),
      editor_(app, level, target, std::move(choices)),
      commit_(std::move(commit)),
      label_(new QLabel(this)),
      name_(new QLineEdit(this)),
      member_(new QComboBox(this)),
      list_(makeList(this, ZBQ_SHOWN("中分類/大分類　定義一覧"))),
      buttons_(makeButtons(this)) {
    setWindowTitle(zbq::ui::shown(editor_.title()));
    label_->setText(zbq::ui::shown(editor_.label()));
    editor_.setOwner(this);
    setMinimumSize(492, 237);
    (new QLabel(zbq::ui::shown("名称"), this))->setGeometry(10, 6, 96, 16);
    (new QLabel(QStringLiteral("="), this))->setObjectName(QStringLiteral("equals"));
    // The last entry is the program's "未定義のデータです", read in the language in force; the
    // editor keeps its Japanese, which a row chosen with it stores.
    const std::vector<std::string>& members = editor_.members();
    for (std::size_t i = 0; i < members.size(); ++i)
        member_->addItem(i + 1 == members.size() ? zbq::ui::shown(ClassListEditor::kUndefined)
                                                 : shown(members[i]));
    name_->installEventFilter(this);

    connect(name_, &QLineEdit::textEdited, this,
            [this] { editor_.setName(typed(*name_, editor_.name(), kTypedName)); });
    connect(member_, &QComboBox::activated, this, [this](int index) {
        editor_.selectMember(index);
        sync();
    });
    wireList(*this, editor_, *list_, buttons_, updating_, [this](auto action) { act(action); });
    resize(492, 237);
    sync();
}

QPushButton* CCategoryListDlg::button(const char* caption) const {
    return buttonOf(buttons_, caption);
}

void CCategoryListDlg::act(void (ClassListEditor::*action)()) {
    (editor_.*action)();
    sync();
    if (editor_.focusRequest() == ClassListEditor::Field::Name) name_->setFocus();
    if (editor_.focusRequest() == ClassListEditor::Field::Member) member_->setFocus();
}

void CCategoryListDlg::sync() {
    updating_ = true;
    if (name_->text() != shown(editor_.name())) name_->setText(shown(editor_.name()));
    member_->setCurrentIndex(editor_.memberIndex());
    std::vector<QString> texts;
    std::vector<bool> marked;
    for (const ClassListEditor::Row& row : editor_.rows()) {
        texts.push_back(shown(row.text));
        marked.push_back(!row.known);
    }
    fillList(*list_, texts, marked, editor_.selectedRow());
    for (std::size_t i : {2u, 3u, 4u, 5u})
        buttons_[i]->setEnabled(editor_.rowActionsEnabled());
    updating_ = false;
}

void CCategoryListDlg::OnOK() {
    const std::vector<ClassGrouping> rows = editor_.OnOK();
    if (commit_) commit_(rows);
    accept();
}

void CCategoryListDlg::OnCancel() {
    editor_.OnCancel();
    QDialog::reject();
}

bool CCategoryListDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == name_ && event->type() == QEvent::FocusIn)
        editor_.focusIn(ClassListEditor::Field::Name);
    if (watched == name_ && event->type() == QEvent::FocusOut)
        editor_.focusOut(ClassListEditor::Field::Name);
    return QDialog::eventFilter(watched, event);
}

void CCategoryListDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    const int fieldWidth = std::max(40, (width() - 122 - 40) / 2);
    name_->setGeometry(10, 24, fieldWidth, 22);
    if (auto* equals = findChild<QLabel*>(QStringLiteral("equals")))
        equals->setGeometry(14 + fieldWidth, 27, 12, 16);
    member_->setGeometry(30 + fieldWidth, 24, fieldWidth, 22);
    label_->setGeometry(10, 44, width() - 122, 14);
    placeCommon(*this, *list_, buttons_);
}

// --- Opening ---

namespace {

template <typename Row>
auto writeInto(std::vector<Row>& target) {
    return [&target](const std::vector<Row>& rows) { target = rows; };
}

}  // namespace

bool RunSmallClassDialog(CKWApp& app, std::vector<SmallClassDefinition>& classes, QWidget* parent) {
    CMinorCategoryDlg dialog(app, classes, writeInto(classes), parent);
    return zbq::ui::runModal(dialog) == QDialog::Accepted;
}

bool RunClassListDialog(CKWApp& app, std::vector<ClassGrouping>& rows,
                        std::vector<std::string> choices, ClassListEditor::Level level,
                        QWidget* parent) {
    CCategoryListDlg dialog(app, level, rows, std::move(choices), writeInto(rows), parent);
    return zbq::ui::runModal(dialog) == QDialog::Accepted;
}

// The dialog's n1 list is the application's reserved words, which the editor passes too.
void ClassDialogsForEditor::EditSmallClasses(QWidget* parent,
                                             std::vector<SmallClassDefinition>& classes,
                                             const std::vector<std::string>&) {
    RunSmallClassDialog(app_, classes, parent);
}

void ClassDialogsForEditor::EditClassRows(QWidget* parent, std::vector<ClassGrouping>& rows,
                                          const std::vector<std::string>& choices,
                                          std::int32_t level) {
    RunClassListDialog(app_, rows, choices,
                       level == 1 ? ClassListEditor::Level::Middle : ClassListEditor::Level::Large,
                       parent);
}

CMinorCategoryDlg* OpenSmallClassDialogForPlayer(CKWApp& app, CMainFrame& frame,
                                                 std::vector<SmallClassDefinition>& classes,
                                                 std::function<void()> refresh) {
    auto* dialog = new CMinorCategoryDlg(app, classes, writeInto(classes), &frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setRefresh(std::move(refresh));
    frame.SetPlayerDialog(PlayerDialog::SmallClass, dialog);
    zbq::ui::showOwned(dialog);
    return dialog;
}

CCategoryListDlg* OpenClassListDialogForPlayer(CKWApp& app, CMainFrame& frame,
                                               std::vector<ClassGrouping>& rows,
                                               std::vector<std::string> choices,
                                               ClassListEditor::Level level,
                                               std::function<void()> refresh) {
    auto* dialog =
        new CCategoryListDlg(app, level, rows, std::move(choices), writeInto(rows), &frame);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setRefresh(std::move(refresh));
    const bool middle = level == ClassListEditor::Level::Middle;
    frame.SetPlayerDialog(middle ? PlayerDialog::LargeClass : PlayerDialog::MiddleClass, nullptr);
    frame.SetPlayerDialog(middle ? PlayerDialog::MiddleClass : PlayerDialog::LargeClass, dialog);
    zbq::ui::showOwned(dialog);
    return dialog;
}

QDialog* OpenClassDialogOnEditor(CKWApp& app, CMainFrame& frame, COlapFormView& editor,
                                 ClassLevel level) {
    CategoryDefinition& d = editor.model().definition();
    auto refresh = [&editor] { editor.RefreshTree(); };
    if (level == ClassLevel::Small)
        return OpenSmallClassDialogForPlayer(app, frame, d.smallClasses, refresh);
    const bool middle = level == ClassLevel::Middle;
    return OpenClassListDialogForPlayer(
        app, frame, middle ? d.middleClasses : d.largeClasses, editor.model().memberChoices(level),
        middle ? ClassListEditor::Level::Middle : ClassListEditor::Level::Large, refresh);
}

void PlayCloseSmallClassDialog(CMainFrame& frame, CMinorCategoryDlg& dialog, bool ok) {
    if (ok)
        dialog.OnOK();
    else
        dialog.OnCancel();
    frame.SetPlayerDialog(PlayerDialog::SmallClass, nullptr);
    dialog.runRefresh();
    dialog.close();
}

void PlayCloseClassListDialog(CMainFrame& frame, CCategoryListDlg& dialog, bool ok) {
    if (ok)
        dialog.OnOK();
    else
        dialog.OnCancel();
    frame.SetPlayerDialog(PlayerDialog::MiddleClass, nullptr);
    frame.SetPlayerDialog(PlayerDialog::LargeClass, nullptr);
    dialog.runRefresh();
    dialog.close();
}
