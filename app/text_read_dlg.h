// CTextReadDlg: the text import dialog over TextReadModel (text_read_model.h): the file list
// with 削除, 上に移動, 下に移動 and 項目設定, the title, the item list with 削除 and 編集 (the
// item dialog), OK and ｷｬﾝｾﾙ. Buttons follow the lists' selections; Delete in a list deletes
// its selected rows, a double click on an item edits it. OK that the model refuses keeps the
// dialog open. Runs through zbq::ui::runModal. GUI thread only.
#pragma once

#include <QDialog>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/excel_read_list.h"
#include "app/text_read_model.h"

class CKWApp;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class CTextReadDlg : public QDialog {
    Q_OBJECT

public:
    CTextReadDlg(CKWApp& app, const std::vector<std::string>& files, QWidget* parent = nullptr);
    ~CTextReadDlg() override;

    zbq::app::TextReadModel& model() { return model_; }
    QTreeWidget* fileList() const { return files_; }
    QTreeWidget* itemList() const { return items_; }
    QLineEdit* titleEdit() const { return title_; }
    QPushButton* button(int id) const;  // by the dialog's control ids (1107, 1074, 1105, 1 ...)

    void OnDeleteFiles();
    void OnFileUp();
    void OnFileDown();
    void OnReadItems();
    void OnDeleteItems();
    void OnEditItems();
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillFiles(const std::vector<int>& selected);
    void fillItems();
    void updateButtons();

    zbq::app::TextReadModel model_;
    QLineEdit* title_;
    QTreeWidget* files_;
    QTreeWidget* items_;
    zbq::app::ButtonTable buttons_;
};

// Runs the dialog on the files: the written definition file's path after OK, nullopt when it
// was cancelled or failed.
std::optional<std::string> runTextReadDialog(CKWApp& app, const std::vector<std::string>& files);
