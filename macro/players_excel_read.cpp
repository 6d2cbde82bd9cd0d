// Players of the Excel read dialog's commands and of AddData. DispExcelDialog opens the dialog
// in add mode without a modal loop, owned by the item-selection tab and known to the main frame
// as its player dialog; the following steps drive it by index through its hooks, and a hook
// that fails closes it before the run stops. ExcelReadCancel and ExcelAddExecute close it; after
// ExcelReadExecute it stays to be driven on.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QGuiApplication>
#include <QScreen>

#include <filesystem>

#include "app/excel_read_dlg.h"
#include "app/excel_read_output.h"
#include "app/main_frame.h"
#include "app/step_text.h"
#include "console/cons_sheet.h"
#include "console/item_sel_page.h"
#include "macro/cmacro.h"
#include "macro/players.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/modal_runner.h"

namespace {

// clang-format off
constexpr const char* kStop = ZBQ_SHOWN("マクロの実行を中止します。");
constexpr const char* kNoAdd = ZBQ_SHOWN("データ追加はできません。ZBQファイルから起動してください。\nマクロの実行を中止します。");
// clang-format on

CExcelReadDlg* dialogOf(CMacro& macro) {
    return qobject_cast<CExcelReadDlg*>(
        macro.App().windows().playerDialog(PlayerDialog::ExcelRead));
}

void closeDialog(CMacro& macro) {
    if (CExcelReadDlg* dialog = dialogOf(macro)) delete dialog;
}

std::int32_t stop(CMacro& macro, const std::string& message) {
    closeDialog(macro);
    macro.App().ShowError(message);
    return 0;
}

std::vector<int> indexesOf(const StepFields& fields) {
    std::vector<int> rows;
    for (std::size_t i = 1; i < fields.size(); ++i)
        rows.push_back(ReadStepInt(fields[i]));
    return rows;
}

// A hook on a list of indexes; its failure closes the dialog with `message` (UTF-8).
std::int32_t playRows(CMacro& macro, const StepFields& fields,
                      int (CExcelReadDlg::*hook)(const std::vector<int>&), const char* message) {
    CExcelReadDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    if (!(dialog->*hook)(indexesOf(fields))) return stop(macro, message);
    return 1;
}

// The type choice an item of the loaded definition needs; -1 for a code or multiple-answer one.
int choiceFor(std::int32_t itemType) {
    for (int choice = 0; choice < zbq::app::kTypeChoices; ++choice)
        if (zbq::app::itemTypeOf(choice) == itemType) return choice;
    return -1;
}

bool isWorkbook(const std::string& path) {
    std::string tail = path.size() >= 4 ? path.substr(path.size() - 4) : path;
    for (char& c : tail)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".xls" || tail == "xlsx";
}

}  // namespace

std::int32_t PlayDispExcelDialog(CMacro& macro, StepFields& fields) {
    if (!macro.MacroErrorNoFile(fields[1])) return 0;
    CKWApp& app = macro.App();
    if (app.GetLoadMode() == 1) {
        app.ShowError(kNoAdd);
        return 0;
    }
    auto* console = qobject_cast<CConsSheet*>(app.windows().console());
    CItemSelPage* page = console ? console->ItemSelPage() : nullptr;
    if (!page) return macro.MacroErrorNoWindow(nullptr);
    closeDialog(macro);  // the page never holds two

    std::vector<std::string> files;
    for (std::size_t i = 1; i < fields.size(); ++i)
        files.push_back(zbq::cp932::pathFromStored(fields[i]));
    auto* dialog = new CExcelReadDlg(app, files, true, page);
    dialog->setWindowFlag(Qt::Window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, dialog, &QObject::deleteLater);
    if (auto* frame = qobject_cast<CMainFrame*>(app.windows().mainWindow()))
        frame->SetPlayerDialog(PlayerDialog::ExcelRead, dialog);
    zbq::ui::showOwned(dialog);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize size = screen->size();
        dialog->move((size.width() - dialog->width()) / 2, size.height() / 2 + 30);
    }
    if (dialog->model().result() == 0) return stop(macro, kStop);
    return 1;
}

std::int32_t PlayExcelSheetDelete(CMacro& macro, StepFields& fields) {
    return playRows(macro, fields, &CExcelReadDlg::DeleteSheets,
                    ZBQ_SHOWN("削除するシートがありません。\nマクロの実行を中止します。"));
}

std::int32_t PlayExcelSheetUp(CMacro& macro, StepFields& fields) {
    return playRows(macro, fields, &CExcelReadDlg::MoveSheetsUp,
                    ZBQ_SHOWN("移動するシートがありません。\nマクロの実行を中止します。"));
}

std::int32_t PlayExcelSheetDown(CMacro& macro, StepFields& fields) {
    return playRows(macro, fields, &CExcelReadDlg::MoveSheetsDown,
                    ZBQ_SHOWN("移動するシートがありません。\nマクロの実行を中止します。"));
}

std::int32_t PlayColumnInfoDelete(CMacro& macro, StepFields& fields) {
    return playRows(macro, fields, &CExcelReadDlg::DeleteColumns,
                    ZBQ_SHOWN("削除する項目がありません。\nマクロの実行を中止します。"));
}

std::int32_t PlayColumnInfoRead(CMacro& macro, StepFields& fields) {
    CExcelReadDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    if (!dialog->ReadColumnInfo(ReadStepInt(fields[1])))
        return stop(
            macro, ZBQ_SHOWN("項目情報を読み込むシートがありません。\nマクロの実行を中止します。"));
    return 1;
}

std::int32_t PlayColumnInfoReadNext(CMacro& macro, StepFields&) {
    CExcelReadDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    if (!dialog->ReadColumnInfoNext()) return stop(macro, kStop);
    return 1;
}

std::int32_t PlayColumnInfoUpdate(CMacro& macro, StepFields& fields) {
    CExcelReadDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    if (!dialog->UpdateColumnInfo(ReadStepInt(fields[1]), fields[2], fields[3]))
        return stop(macro, ZBQ_SHOWN("編集する項目がありません。\nマクロの実行を中止します。"));
    return 1;
}

std::int32_t PlayExcelReadExecute(CMacro& macro, StepFields&) {
    CExcelReadDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    if (!dialog->Execute()) return stop(macro, kStop);
    return 1;
}

std::int32_t PlayExcelReadCancel(CMacro& macro, StepFields&) {
    CExcelReadDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    closeDialog(macro);
    return 1;
}

std::int32_t PlayExcelAddExecute(CMacro& macro, StepFields&) {
    CExcelReadDlg* dialog = dialogOf(macro);
    if (!dialog) return macro.MacroErrorNoWindow(nullptr);
    if (!dialog->Execute() || dialog->model().outputPath().empty()) return stop(macro, kStop);
    const std::string path = dialog->model().takeOutputPath();
    closeDialog(macro);
    macro.App().AddDataFromFile(path);
    return 1;
}

// A workbook is read as the dialog would be driven: every worksheet, the header in the first
// used row, the items from the first sheet typed as the loaded items are. A text file is added
// as the definition reads its own text data (separator, heading line, columns) and stays.
std::int32_t PlayAddData(CMacro& macro, StepFields& fields) {
    if (!macro.MacroErrorNoFile(fields[1])) return 0;
    CKWApp& app = macro.App();
    if (app.GetLoadMode() == 1) {
        app.ShowError(kNoAdd);
        return 0;
    }
    const std::string path = zbq::cp932::pathFromStored(fields[1]);
    // Both roads show that they are reading from the start, the workbook's while it is read.
    app.SetStatusText(zbq::cp932::literal(ZBQ_SHOWN("読込み中")));
    app.StartProgress();
    if (!isWorkbook(path)) {
        app.SetAddFilePath(path);
        app.AddExcelData();
        app.SetAddFilePath("");
        return 1;
    }
    const auto notAdded = [&app] {
        app.StopProgress();
        app.SetStatusText("");
        return 1;
    };
    zbq::app::ExcelReadModel model(app, {path}, true);
    if (model.result() == 0 || model.sheets().empty()) return notAdded();
    if (!model.ReadColumnInfo(0)) return notAdded();
    const CStructDef& def = app.GetStructDef();
    for (std::size_t i = 0; i < model.items().size() && i < def.items.size(); ++i) {
        const int choice = choiceFor(def.items[i].type);
        if (choice >= 0)
            model.UpdateColumnInfo(static_cast<int>(i), model.items()[i].name,
                                   zbq::app::typeCaptions()[choice]);
    }
    if (model.OnOK() != zbq::app::ExcelReadModel::Outcome::Accepted) return notAdded();
    app.AddDataFromFile(model.takeOutputPath());
    return 1;
}
