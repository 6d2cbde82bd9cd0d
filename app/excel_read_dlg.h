// CExcelReadDlg: the Excel import dialog over ExcelReadModel (excel_read_model.h): the sheet
// list with 削除, 上に移動, 下に移動 and 項目設定, the title, the item list with 次行, 削除 and
// 編集 (the item dialog), OK, ｷｬﾝｾﾙ and the progress line. The lists' selections are the
// model's; buttons follow them; Delete in a list deletes its selected rows, a double click on an
// item edits it. While OK reads, every control is disabled and the wait cursor shows.
//
// The hooks are the model's, with the lists shown afresh after each; a macro opens the dialog
// modeless and drives it through them, the program runs it modally (zbq::ui::runModal). OK that
// the model refuses keeps the dialog open; a failed one ends it as cancelled. GUI thread only.
#pragma once

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "app/excel_read_list.h"
#include "app/excel_read_model.h"

class CKWApp;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class CExcelReadDlg : public QDialog {
    Q_OBJECT

public:
    CExcelReadDlg(CKWApp& app, const std::vector<std::string>& files, bool addMode,
                  QWidget* parent = nullptr);
    ~CExcelReadDlg() override;

    zbq::app::ExcelReadModel& model() { return model_; }
    const zbq::app::ExcelReadModel& model() const { return model_; }
    QTreeWidget* sheetList() const { return sheets_; }
    QTreeWidget* itemList() const { return items_; }
    QLineEdit* titleEdit() const { return title_; }
    QLineEdit* progressLine() const { return progress_; }
    QPushButton* button(int id) const;  // by the dialog's control ids (1102, 1074, 1106, 1 ...)

    // The buttons.
    void OnDeleteSheet();
    void OnSheetUp();
    void OnSheetDown();
    void OnReadItems();
    void OnReadNext();
    void OnDeleteItem();
    void OnEditItem();
    void accept() override;

    // The macro hooks; results as the model's.
    int DeleteSheets(const std::vector<int>& rows);
    int MoveSheetsUp(const std::vector<int>& rows);
    int MoveSheetsDown(const std::vector<int>& rows);
    int ReadColumnInfo(int row);
    int ReadColumnInfoNext();
    int DeleteColumns(const std::vector<int>& rows);
    int UpdateColumnInfo(int row, std::string name, std::string caption);
    // OK's processing without ending the dialog: the result flag. How it ended: lastOutcome().
    int Execute();
    zbq::app::ExcelReadModel::Outcome lastOutcome() const { return last_; }
    void Cancel() { reject(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refresh();
    // refresh(), then `result`: what every hook returns.
    int refreshed(int result);
    void takeSelections();
    void setControlsEnabled(bool enabled);

    zbq::app::ExcelReadModel model_;
    QLineEdit* progress_;
    QLineEdit* title_;
    QTreeWidget* sheets_;
    QTreeWidget* items_;
    zbq::app::ButtonTable buttons_;
    bool refreshing_ = false;
    zbq::app::ExcelReadModel::Outcome last_ = zbq::app::ExcelReadModel::Outcome::Stay;
};

// Runs the dialog on the workbooks: the written file's path after OK (the definition for a new
// data set, the text data when adding), nullopt when it was cancelled or failed.
std::optional<std::string> runExcelReadDialog(CKWApp& app, const std::vector<std::string>& files,
                                              bool addMode);
