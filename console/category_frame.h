// COlapFrm: the OLAP page's category frame, split in two: the category list (COlapListView,
// 80 pixels high) over the category editor (COlapFormView). It owns the page's CategorySet,
// a copy of the application's list made by AttachCategorySet and made anew by
// ResetCategorySet, and keeps the application's list equal to it after every change
// (PublishSet, through the list's FillList).
//
// The import and export that the list's menu, the editor's button and the players share live
// here: they take the path as an argument, record their steps (an import before it reads, an
// export after it wrote) and tell the user of a failure, which changes neither the set nor any
// file. User-interface thread only.
#pragma once

#include <QSplitter>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "console/category_set.h"
#include "platform/ui/prompts.h"

class CKWApp;
class COlapFormView;
class COlapListView;

class COlapFrm : public QSplitter {
    Q_OBJECT

public:
    static constexpr int kListHeight = 80;

    explicit COlapFrm(CKWApp& app, QWidget* parent = nullptr);
    ~COlapFrm() override;

    void AttachCategorySet();
    void ResetCategorySet();

    CategorySet* set() const { return set_.get(); }
    COlapListView* list() const { return list_; }
    COlapFormView* editor() const { return editor_; }
    CKWApp& app() const { return app_; }

    // Reads the file into the set by name, refills the list and shows the set's last definition
    // in the editor; the list's import also resets the OLAP pages' category choices. Records
    // ImportCategory first. False (the user told) when the file could not be read.
    bool ImportCategory(const std::string& path, bool resetPages);
    // Writes definition `row` to the file and records ExportCategory; false (the user told, no
    // file changed) when there is no such row or the file could not be written.
    bool ExportCategory(std::int32_t row, const std::string& path);
    // Hands the set to the application; the cross-tab settings' category indexes follow their
    // definitions by name (-1 when one is gone).
    void PublishSet();

    // The file choosers for .ctg files; nullopt when cancelled.
    std::optional<std::string> ChooseImportFile() const;
    std::optional<std::string> ChooseExportFile() const;

private:
    void handOut();
    std::optional<std::string> chooseFile(zbq::ui::ChooserKind kind) const;

    CKWApp& app_;
    std::unique_ptr<CategorySet> set_;
    COlapListView* list_;
    COlapFormView* editor_;
};
