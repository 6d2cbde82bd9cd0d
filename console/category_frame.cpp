#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include "console/category_frame.h"

#include "console/category_class_dialogs.h"
#include "console/category_file.h"
#include "console/category_form_view.h"
#include "console/category_list_view.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/language.h"
#include "platform/ui/prompts.h"

namespace {

CategoryClassDialogs* g_classDialogs = nullptr;

constexpr const char* kFilter = ZBQ_SHOWN("ｶﾃｺﾞﾘﾌｧｲﾙ (*.ctg)");

// The index of the definition that had `index` in `before`, by name in `after`.
std::int32_t followByName(std::int32_t index, const std::vector<CategoryDefinition>& before,
                          const CategorySet& after) {
    if (index < 0 || index >= static_cast<std::int32_t>(before.size())) return index;
    return after.IndexOf(before[static_cast<std::size_t>(index)].name);
}

// A path as a step holds it: CP932, or "???" (asked for again when the step plays) when the
// recording indicator says so or the macro file cannot hold the path.
std::string recordedPath(const CKWApp& app, const std::string& path) {
    const std::optional<std::string> stored = zbq::cp932::pathToStored(path);
    return app.macro().isVariable() || !stored ? std::string("???") : *stored;
}

}  // namespace

CategoryClassDialogs* categoryClassDialogs() {
    return g_classDialogs;
}

CategoryClassDialogs* setCategoryClassDialogs(CategoryClassDialogs* dialogs) {
    CategoryClassDialogs* previous = g_classDialogs;
    g_classDialogs = dialogs;
    return previous;
}

COlapFrm::COlapFrm(CKWApp& app, QWidget* parent)
    : QSplitter(Qt::Vertical, parent),
      app_(app),
      set_(std::make_unique<CategorySet>(app.GetCategoryList())),
      list_(new COlapListView(*this)),
      editor_(new COlapFormView(*this)) {
    setObjectName(QStringLiteral("categoryFrame"));
    addWidget(list_);
    addWidget(editor_);
    setSizes({kListHeight, 400});
    setStretchFactor(1, 1);
    handOut();
}

COlapFrm::~COlapFrm() = default;

void COlapFrm::AttachCategorySet() {
    set_ = std::make_unique<CategorySet>(app_.GetCategoryList());
    handOut();
}

void COlapFrm::ResetCategorySet() {
    set_.reset();
    set_ = std::make_unique<CategorySet>(app_.GetCategoryList());
    handOut();
}

void COlapFrm::handOut() {
    list_->FillList();
    editor_->SetCategorySet(set_.get());
}

void COlapFrm::PublishSet() {
    const std::vector<CategoryDefinition> before = app_.GetCategoryList();
    CrossSettings settings = app_.GetCrossSettings();
    settings.xCategory = followByName(settings.xCategory, before, *set_);
    settings.yCategory = followByName(settings.yCategory, before, *set_);
    app_.SetCategoryList(set_->definitions());
    app_.SetCrossSettings(settings);
}

bool COlapFrm::ImportCategory(const std::string& path, bool resetPages) {
    app_.Record(StepBuilder("ImportCategory").text(recordedPath(app_, path)));
    CategoryFile::Imported imported = CategoryFile::Import(path);
    if (!imported.definition) {
        QString shown = QString::fromStdString(imported.message);
        if (imported.pattern) {
            const QString file = QString::fromStdString(path);
            shown = zbq::ui::shown(imported.pattern);
            shown = imported.line > 0 ? shown.arg(file, QString::number(imported.line))
                                      : shown.arg(file);
        }
        app_.ShowError(shown.toStdString());
        return false;
    }
    set_->Put(*imported.definition);
    list_->FillList();
    editor_->LoadCategory(set_->GetCount() - 1);
    if (resetPages) app_.ResetOlapPages();
    return true;
}

bool COlapFrm::ExportCategory(std::int32_t row, const std::string& path) {
    const CategoryDefinition* definition = set_->GetAt(row);
    if (!definition) return false;
    const std::string failure = CategoryFile::Export(path, *definition);
    if (!failure.empty()) {
        app_.ShowError(failure);
        return false;
    }
    app_.Record(StepBuilder("ExportCategory").number(row).text(recordedPath(app_, path)));
    return true;
}

std::optional<std::string> COlapFrm::ChooseImportFile() const {
    return chooseFile(zbq::ui::ChooserKind::OpenFile);
}

std::optional<std::string> COlapFrm::ChooseExportFile() const {
    std::optional<std::string> path = chooseFile(zbq::ui::ChooserKind::SaveFile);
    if (!path) return path;
    // The dialog's default extension: a name typed without one gets ".ctg".
    const std::size_t slash = path->find_last_of('/');
    if (path->find('.', slash == std::string::npos ? 0 : slash) == std::string::npos)
        *path += ".ctg";
    return path;
}

std::optional<std::string> COlapFrm::chooseFile(zbq::ui::ChooserKind kind) const {
    zbq::ui::Chooser chooser;
    chooser.kind = kind;
    chooser.start = QStringLiteral("*.ctg");
    chooser.filter = zbq::ui::shown(kFilter);
    const std::optional<QString> chosen =
        zbq::ui::prompts().choose(app_.windows().mainWindow(), chooser);
    if (!chosen || chosen->isEmpty()) return std::nullopt;
    return chosen->toStdString();
}
