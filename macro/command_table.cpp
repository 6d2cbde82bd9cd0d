// The command table: one row per macro command, in dispatch order. The names are the vocabulary
// of macro files and stand exactly as files hold them, misspellings included (NomalWindow,
// DleteMiddleClass, ChechStr, DorileDrillThrough ...).
#include "macro/command_table.h"

#include "macro/players.h"

#include "macro/cmacro.h"

namespace {

struct Fields {
    FieldRule rule;
    std::int8_t count;
    constexpr Fields(int n) : rule(FieldRule::Exact), count(static_cast<std::int8_t>(n)) {}
    constexpr Fields(FieldRule r, int n) : rule(r), count(static_cast<std::int8_t>(n)) {}
};
constexpr Fields atLeast(int n) {
    return Fields(FieldRule::AtLeast, n);
}
constexpr Fields padded(int n) {
    return Fields(FieldRule::Padded, n);
}

struct Where {
    Target target;
    ConsolePage page = ConsolePage::System;
    PlayerDialog dialog = PlayerDialog::Filter;
    constexpr Where(Target t) : target(t) {}
    constexpr Where(Target t, ConsolePage p, PlayerDialog d) : target(t), page(p), dialog(d) {}
};
constexpr Where dialogOf(PlayerDialog dialog) {
    return Where(Target::Dialog, ConsolePage::System, dialog);
}

constexpr ParameterAsk ask(int field, const char* prompt, int browseMode = -1,
                           const char* missing = nullptr) {
    return ParameterAsk{static_cast<std::int8_t>(field), prompt,
                        static_cast<std::int8_t>(browseMode), missing};
}

constexpr CommandRow cmd(const char* name, const char* caption, Fields fields, Where where,
                         ParameterAsk first = {}, ParameterAsk second = {}) {
    return CommandRow{name,       caption,      fields.rule,     fields.count, where.target,
                      where.page, where.dialog, {first, second}, true,         nullptr};
}
constexpr CommandRow unrecorded(CommandRow row) {
    row.recorded = false;
    return row;
}
constexpr CommandRow playedBy(CommandRow row, Player player) {
    row.player = player;
    return row;
}

constexpr const char* kFileName = "ファイル名";
constexpr const char* kPercent = "％値";
constexpr const char* kCsvPrompt = "[CSVに書出し]: CSVファイル名を入力して下さい。";
constexpr const char* kItemCsvPrompt = "[項目データCSV書出し]: CSVファイル名を入力して下さい。";

std::int32_t playExeMacro(CMacro& macro, StepFields& fields) {
    return macro.PlayExeMacro(fields);
}

}  // namespace

const std::array<CommandRow, kCommandCount> kCommandTable = {{
    // --- Main frame and macros (0-) ---
    playedBy(cmd("DispConsole", "コンソールを表示", 0, Target::MainFrame), PlayDispConsole),  // 0
    playedBy(cmd("MinAll", "全てをアイコン化", 0, Target::MainFrame), PlayMinAll),            // 1
    playedBy(cmd("Prt", "定型印刷", 1, Target::DataView), PlayPrt),                           // 2
    playedBy(cmd("ExeMacro", "マクロ実行", 1, Target::None), playExeMacro),                   // 3
    // --- Original-data window (4-) ---
    playedBy(cmd("Data_CopyWithHead", "元データ コピー（項目名付き）", 0, Target::DataView),
             PlayData_CopyWithHead),  // 4
    playedBy(cmd("Data_Copy", "元データ コピー（項目名無し）", 0, Target::DataView),
             PlayData_Copy),  // 5
    playedBy(cmd("Data_OutToCsvWithHead", "元データ CSVに書出し（項目名付き）", 1, Target::DataView,
                 ask(1, kCsvPrompt, 1, kFileName)),
             PlayData_OutToCsvWithHead),  // 6
    playedBy(cmd("Data_OutToCsv", "元データ CSVに書出し（項目名無し）", 1, Target::DataView,
                 ask(1, kCsvPrompt, 1, kFileName)),
             PlayData_OutToCsv),  // 7
    playedBy(
        cmd("Data_OutToExcelWithHead", "元データ Excelに書出し（項目名付き）", 0, Target::DataView),
        PlayData_OutToExcelWithHead),  // 8
    playedBy(cmd("Data_OutToExcel", "元データ Excelに書出し（項目名無し）", 0, Target::DataView),
             PlayData_OutToExcel),  // 9
    playedBy(cmd("Data_SortUp", "元データ ソート（昇順）", 1, Target::DataView),
             PlayData_SortUp),  // 10
    playedBy(cmd("Data_SortDown", "元データ ソート（降順）", 1, Target::DataView),
             PlayData_SortDown),  // 11
    playedBy(cmd("Data_SortOrg", "元データ ソート（元データ順）", 0, Target::DataView),
             PlayData_SortOrg),  // 12
    playedBy(cmd("Data_DispByCode", "元データ コードで表示", 1, Target::DataView),
             PlayData_DispByCode),                                                         // 13
    playedBy(cmd("DispItemDlg", "項目の詳細表示", 1, Target::DataView), PlayDispItemDlg),  // 14
    playedBy(cmd("Data_Alignment", "元データ セル幅を調整", 1, Target::DataView),
             PlayData_Alignment),  // 15
    playedBy(cmd("Data_DispComma", "元データ カンマ編集", 1, Target::DataView),
             PlayData_DispComma),  // 16
    playedBy(cmd("Data_DecimalDigit", "元データ 小数点以下桁数", 2, Target::DataView),
             PlayData_DecimalDigit),  // 17
    playedBy(cmd("Data_AlignmentFree", "元データ セル幅を変更", 2, Target::DataView),
             PlayData_AlignmentFree),  // 18
    playedBy(cmd("Data_SelectCell", "元データ セル選択", 4, Target::DataView),
             PlayData_SelectCell),  // 19
    playedBy(cmd("Data_SelectRow", "元データ 行選択", 2, Target::DataView),
             PlayData_SelectRow),  // 20
    playedBy(cmd("Data_SelectColumn", "元データ 列選択", 2, Target::DataView),
             PlayData_SelectColumn),  // 21
    playedBy(cmd("Data_SelectAll", "元データ 全選択", 0, Target::DataView),
             PlayData_SelectAll),  // 22
    playedBy(cmd("Data_VScroll", "元データ 垂直スクロール", 2, Target::DataView),
             PlayData_VScroll),  // 23
    playedBy(cmd("Data_HScroll", "元データ 水平スクロール", 2, Target::DataView),
             PlayData_HScroll),  // 24
    playedBy(cmd("Data_MouseWheel", "元データ マウスの回転", 2, Target::DataView),
             PlayData_MouseWheel),  // 25
    playedBy(cmd("Data_ChengeSelectByKey", "元データ キーでセル移動", 3, Target::DataView),
             PlayData_ChengeSelectByKey),                                                      // 26
    playedBy(cmd("Data_Close", "元データ画面クローズ", 0, Target::DataView), PlayData_Close),  // 27
    playedBy(cmd("Data_Max", "元データ画面最大化", 0, Target::DataView), PlayData_Max),        // 28
    playedBy(cmd("Data_Min", "元データ画面最小化", 0, Target::DataView), PlayData_Min),        // 29
    playedBy(cmd("Data_Restore", "元データ画面元のサイズに戻す", 0, Target::DataView),
             PlayData_Restore),  // 30
    // --- Windows of the window list and the console (31-) ---
    playedBy(cmd("CloseWindow", "画面を閉じる", 1, Target::Console), PlayCloseWindow),  // 31
    playedBy(cmd("MinimizedWindow", "画面をアイコン化", 1, Target::Console),
             PlayMinimizedWindow),                                                          // 32
    playedBy(cmd("NomalWindow", "画面を元の大きさ", 1, Target::Console), PlayNomalWindow),  // 33
    playedBy(cmd("MaximizedWindow", "画面を最大化", 1, Target::Console),
             PlayMaximizedWindow),  // 34
    playedBy(cmd("MinimizedAllWindow", "全ての画面をアイコン化", 0, Target::Console),
             PlayMinimizedAllWindow),  // 35
    playedBy(cmd("CloseAllWindow", "全ての画面を閉じる", 0, Target::Console),
             PlayCloseAllWindow),  // 36
    playedBy(cmd("OpenSystemTab", "システムタブを開く", 0, Target::Console),
             PlayOpenSystemTab),                                                          // 37
    playedBy(cmd("Cons_Max", "コンソール画面最大化", 0, Target::Console), PlayCons_Max),  // 38
    playedBy(cmd("Cons_Min", "コンソール画面最小化", 0, Target::Console), PlayCons_Min),  // 39
    playedBy(cmd("Cons_Restore", "コンソール画面元のサイズに戻す", 0, Target::Console),
             PlayCons_Restore),                                                 // 40
    playedBy(cmd("DispData", "データ表示", 0, Target::Console), PlayDispData),  // 41
    // --- Data file (42-) ---
    // The password's "???" is left to the player, which asks in the password dialog.
    playedBy(cmd("SaveZbw", "ＺＢに書出し", 3, Target::None,
                 ask(1, "[ＺＢＱに書出し]: ZBQファイル名を入力して下さい。", 2, kFileName)),
             PlaySaveZbw),  // 42
    playedBy(
        unrecorded(cmd("AddData", "データ追加", 1, Target::None,
                       ask(1, "[データ追加]: Excelファイル名を入力して下さい。", 3, kFileName))),
        PlayAddData),  // 43
    // --- Item-selection tab (44-) ---
    playedBy(cmd("ToListItem", "項目を表示リストへ", 1, Target::Console), PlayToListItem),  // 44
    playedBy(cmd("FromListItem", "項目を非表示に", 1, Target::Console), PlayFromListItem),  // 45
    playedBy(cmd("ToListAllItem", "全ての項目を表示リストへ", 0, Target::Console),
             PlayToListAllItem),  // 46
    playedBy(cmd("FromListAllItem", "全て項目を非表示に", 0, Target::Console),
             PlayFromListAllItem),  // 47
    playedBy(cmd("PermitItemCollapse", "項目の閉を許可", 0, Target::Console),
             PlayPermitItemCollapse),                                                         // 48
    playedBy(cmd("ExpandAllItem", "項目を全て展開", 0, Target::Console), PlayExpandAllItem),  // 49
    playedBy(cmd("CollapseAllItem", "項目を全て閉じる", 0, Target::Console),
             PlayCollapseAllItem),                                                          // 50
    playedBy(cmd("BackListItem", "項目を非表示に", 1, Target::Console), PlayBackListItem),  // 51
    playedBy(cmd("BackAllListItem", "全ての項目を非表示に", 0, Target::Console),
             PlayBackAllListItem),  // 52
    playedBy(cmd("SelectAllListItem", "全ての項目を選択", 0, Target::Console),
             PlaySelectAllListItem),  // 53
    playedBy(cmd("ChangeListItem", "項目を並び替え", 2, Target::Console),
             PlayChangeListItem),  // 54
    playedBy(cmd("OpenItemSelTab", "項目選択タブを開く", 0, Target::Console),
             PlayOpenItemSelTab),  // 55
    // --- Sets and filters of the data-selection tab (56-) ---
    playedBy(cmd("DeleteSet", "集合削除", 1, Target::Console), PlayDeleteSet),  // 56
    playedBy(cmd("PermitSetCollapse", "集合の閉を許す", 0, Target::Console),
             PlayPermitSetCollapse),                                                        // 57
    playedBy(cmd("ExpandAllSet", "集合を全て展開", 0, Target::Console), PlayExpandAllSet),  // 58
    playedBy(cmd("CollapseAllSet", "集合を全て閉じる", 0, Target::Console),
             PlayCollapseAllSet),                                                     // 59
    playedBy(cmd("UnionSet", "和集合", 2, Target::Console), PlayUnionSet),            // 60
    playedBy(cmd("DifferenceSet", "積集合", 2, Target::Console), PlayDifferenceSet),  // 61
    playedBy(cmd("ProductSet", "差集合", 2, Target::Console), PlayProductSet),        // 62
    playedBy(cmd("ComplementSet", "補集合", 2, Target::Console), PlayComplementSet),  // 63
    playedBy(cmd("InputSetName", "集合名編集", 2, Target::Console,
                 ask(2, "[集合名編集]: No.%d の集合名を入力して下さい。", -1, "集合名")),
             PlayInputSetName),                                                             // 64
    playedBy(cmd("SelectSet", "集合選択", 1, Target::Console), PlaySelectSet),              // 65
    playedBy(cmd("ExecuteFilter", "フィルタ実行", 0, Target::Console), PlayExecuteFilter),  // 66
    playedBy(cmd("SelectFilterAndOr", "フィルタAND/OR選択", 1, Target::Console),
             PlaySelectFilterAndOr),  // 67
    playedBy(cmd("DispAddFilterDialog", "フィルタ条件追加ダイアログ表示", 0, Target::Console),
             PlayDispAddFilterDialog),  // 68
    playedBy(cmd("DispEditFilterDialog", "フィルタ条件編集ダイアログ表示", 1, Target::Console),
             PlayDispEditFilterDialog),                                                       // 69
    playedBy(cmd("DeleteFilter", "フィルタ条件削除", 1, Target::Console), PlayDeleteFilter),  // 70
    playedBy(cmd("InputFilterItem", "フィルタ項目選択", 1, dialogOf(PlayerDialog::Filter)),
             PlayInputFilterItem),  // 71
    playedBy(
        cmd("SelectFilterOperater1", "フィルタ条件１演算子選択", 1, dialogOf(PlayerDialog::Filter)),
        PlaySelectFilterOperater1),  // 72
    playedBy(cmd("InputFilterTerm1", "フィルタ条件１値入力", 1, dialogOf(PlayerDialog::Filter),
                 ask(1, "[フィルタ条件１]: 値を入力して下さい。")),
             PlayInputFilterTerm1),  // 73
    playedBy(
        cmd("SelectFilterOperater2", "フィルタ条件２演算子選択", 1, dialogOf(PlayerDialog::Filter)),
        PlaySelectFilterOperater2),  // 74
    playedBy(cmd("InputFilterTerm2", "フィルタ条件２値入力", 1, dialogOf(PlayerDialog::Filter),
                 ask(1, "[フィルタ条件２]: 値を入力して下さい。")),
             PlayInputFilterTerm2),  // 75
    // Only the English filter dialog has the buttons for reading values as codes or as text.
    playedBy(
        cmd("SelectCodeStr", "解釈方法（コード/文字列）選択", 1, dialogOf(PlayerDialog::Filter)),
        PlaySelectCodeStr),  // 76
    playedBy(cmd("OKFilterDialog", "フィルタ条件ＯＫ", 0, dialogOf(PlayerDialog::Filter)),
             PlayOKFilterDialog),  // 77
    playedBy(cmd("CancelFilterDialog", "フィルタ条件キャンセル", 0, dialogOf(PlayerDialog::Filter)),
             PlayCancelFilterDialog),  // 78
    playedBy(cmd("OpenDataSelTab", "データ選択タブを開く", 0, Target::Console),
             PlayOpenDataSelTab),  // 79
    // --- OLAP tab, category definitions and class dialogs (80-) ---
    playedBy(cmd("DispOlap", "ＯＬＡＰ表示", 0, Target::Console), PlayDispOlap),  // 80
    playedBy(cmd("CheckX", "Ｘ軸チェック", 0, Target::Console), PlayCheckX),      // 81
    playedBy(cmd("CheckY", "Ｙ軸チェック", 0, Target::Console), PlayCheckY),      // 82
    playedBy(cmd("SelectCategLevelX", "Ｘ軸カテゴリレベル選択", 2, Target::Console),
             PlaySelectCategLevelX),  // 83
    playedBy(cmd("SelectCategLevelY", "Ｙ軸カテゴリレベル選択", 2, Target::Console),
             PlaySelectCategLevelY),                                                          // 84
    playedBy(cmd("SelectItemX", "Ｘ軸項目選択", 1, Target::Console), PlaySelectItemX),        // 85
    playedBy(cmd("SelectItemY", "Ｙ軸項目選択", 1, Target::Console), PlaySelectItemY),        // 86
    playedBy(cmd("SelectCategX", "Ｘ軸カテゴリ選択", 1, Target::Console), PlaySelectCategX),  // 87
    playedBy(cmd("SelectCategY", "Ｙ軸カテゴリ選択", 1, Target::Console), PlaySelectCategY),  // 88
    playedBy(cmd("SelectItemZ", "Ｚ軸項目選択", 1, Target::Console), PlaySelectItemZ),        // 89
    playedBy(cmd("SelectAggregateKind", "Ｚ軸集合対象値選択", 1, Target::Console),
             PlaySelectAggregateKind),  // 90
    playedBy(cmd("InputPercent", "％順位", 1, Target::Console,
                 ask(1, "[％順位]: ％値（０～１００）を入力して下さい。", -1, kPercent)),
             PlayInputPercent),  // 91
    playedBy(cmd("DispCategory", "カテゴリ定義を表示", 1, Target::Console),
             PlayDispCategory),  // 92
    playedBy(cmd("DeleteCategory", "カテゴリ定義を削除", 1, Target::Console),
             PlayDeleteCategory),  // 93
    playedBy(
        cmd("ImportCategory", "カテゴリ定義をインポート", 1, Target::Console,
            ask(1, "[カテゴリ定義をインポート]: ファイルパスを入力して下さい。", 4, kFileName)),
        PlayImportCategory),  // 94
    playedBy(
        cmd("ExportCategory", "カテゴリ定義をエクスポート", 2, Target::Console,
            ask(2, "[カテゴリ定義をエクスポート]: ファイルパスを入力して下さい。", 5, kFileName)),
        PlayExportCategory),  // 95
    playedBy(cmd("InputCategoryName", "カテゴリ名入力", 1, Target::Console,
                 ask(1, "[カテゴリ名入力]: カテゴリ名を入力して下さい。")),
             PlayInputCategoryName),  // 96
    playedBy(cmd("SelectCategoryType", "カテゴリタイプ選択", 1, Target::Console),
             PlaySelectCategoryType),  // 97
    playedBy(cmd("DispEditSmallClassDialog", "小分類編集ダイアログ表示", 0, Target::Console),
             PlayDispEditSmallClassDialog),  // 98
    playedBy(cmd("DispEditMiddleClassDialog", "中分類編集ダイアログ表示", 0, Target::Console),
             PlayDispEditMiddleClassDialog),  // 99
    playedBy(cmd("DispEditLargeClassDialog", "大分類編集ダイアログ表示", 0, Target::Console),
             PlayDispEditLargeClassDialog),  // 100
    playedBy(cmd("EntryCategory", "カテゴリ定義へ登録", 0, Target::Console),
             PlayEntryCategory),  // 101
    playedBy(cmd("ClearCategory", "カテゴリ定義クリア", 0, Target::Console),
             PlayClearCategory),  // 102
    playedBy(cmd("ResetCategory", "カテゴリ定義リセット", 0, Target::Console),
             PlayResetCategory),  // 103
    playedBy(cmd("InputSmallClassName", "小分類名称入力", 1, dialogOf(PlayerDialog::SmallClass),
                 ask(1, "[小分類名称]: 名称を入力して下さい。")),
             PlayInputSmallClassName),  // 104
    playedBy(
        cmd("SelectSmallClassOperater", "小分類条件選択", 1, dialogOf(PlayerDialog::SmallClass)),
        PlaySelectSmallClassOperater),  // 105
    playedBy(cmd("InputSmallClassTerm1", "小分類ｎ１の値入力", 1,
                 dialogOf(PlayerDialog::SmallClass), ask(1, "[小分類ｎ１]: 値を入力して下さい。")),
             PlayInputSmallClassTerm1),  // 106
    playedBy(cmd("InputSmallClassTerm2", "小分類ｎ２の値入力", 1,
                 dialogOf(PlayerDialog::SmallClass), ask(1, "[小分類ｎ２]: 値を入力して下さい。")),
             PlayInputSmallClassTerm2),  // 107
    playedBy(cmd("ClearSmallClass", "小分類クリア", 0, dialogOf(PlayerDialog::SmallClass)),
             PlayClearSmallClass),  // 108
    playedBy(cmd("AddSmallClass", "小分類追加", 0, dialogOf(PlayerDialog::SmallClass)),
             PlayAddSmallClass),  // 109
    playedBy(cmd("EditSmallClass", "小分類上書き", 0, dialogOf(PlayerDialog::SmallClass)),
             PlayEditSmallClass),  // 110
    playedBy(cmd("UpSmallClass", "小分類上へ", 1, dialogOf(PlayerDialog::SmallClass)),
             PlayUpSmallClass),  // 111
    playedBy(cmd("DownSmallClass", "小分類下へ", 1, dialogOf(PlayerDialog::SmallClass)),
             PlayDownSmallClass),  // 112
    playedBy(cmd("DeleteSmallClass", "小分類削除", 1, dialogOf(PlayerDialog::SmallClass)),
             PlayDeleteSmallClass),  // 113
    playedBy(cmd("DispSmallClass", "小分類表示", 1, dialogOf(PlayerDialog::SmallClass)),
             PlayDispSmallClass),  // 114
    playedBy(
        cmd("OKSmallClassDialog", "小分類ダイアログＯＫ", 0, dialogOf(PlayerDialog::SmallClass)),
        PlayOKSmallClassDialog),  // 115
    playedBy(cmd("CancelSmallClassDialog", "小分類ダイアログキャンセル", 0,
                 dialogOf(PlayerDialog::SmallClass)),
             PlayCancelSmallClassDialog),  // 116
    playedBy(cmd("InputMiddleClassName", "中分類名称入力", 1, Target::ClassDialog,
                 ask(1, "[中分類名称]: 名称を入力して下さい。")),
             PlayInputClassName),  // 117
    playedBy(cmd("SelectMiddleClassOperator", "中分類条件選択", 1, Target::ClassDialog),
             PlaySelectClassMember),  // 118
    playedBy(cmd("ClearMiddleClass", "中分類クリア", 0, Target::ClassDialog),
             PlayClearClass),                                                                 // 119
    playedBy(cmd("AddMiddleClass", "中分類追加", 0, Target::ClassDialog), PlayAddClass),      // 120
    playedBy(cmd("EditMiddleClass", "中分類上書き", 0, Target::ClassDialog), PlayEditClass),  // 121
    playedBy(cmd("UpMiddleClass", "中分類上へ", 1, Target::ClassDialog), PlayUpClass),        // 122
    playedBy(cmd("DownMiddleClass", "中分類下へ", 1, Target::ClassDialog), PlayDownClass),    // 123
    playedBy(cmd("DleteMiddleClass", "中分類削除", 1, Target::ClassDialog),
             PlayDeleteClass),                                                              // 124
    playedBy(cmd("DispMiddleClass", "中分類表示", 1, Target::ClassDialog), PlayDispClass),  // 125
    playedBy(cmd("OKMiddleClassDialog", "中分類ダイアログＯＫ", 0, Target::ClassDialog),
             PlayOKClassDialog),  // 126
    playedBy(cmd("CancelMiddleClassDialog", "中分類ダイアログキャンセル", 0, Target::ClassDialog),
             PlayCancelClassDialog),  // 127
    playedBy(cmd("InputLargeClassName", "大分類名称入力", 1, Target::ClassDialog,
                 ask(1, "[大分類名称]: 名称を入力して下さい。")),
             PlayInputClassName),  // 128
    playedBy(cmd("SelectLargeClassOperator", "大分類条件選択", 1, Target::ClassDialog),
             PlaySelectClassMember),  // 129
    playedBy(cmd("ClearLargeClass", "大分類クリア", 0, Target::ClassDialog),
             PlayClearClass),                                                                // 130
    playedBy(cmd("AddLargeClass", "大分類追加", 0, Target::ClassDialog), PlayAddClass),      // 131
    playedBy(cmd("EditLargeClass", "大分類上書き", 0, Target::ClassDialog), PlayEditClass),  // 132
    playedBy(cmd("UpLargeClass", "大分類上へ", 1, Target::ClassDialog), PlayUpClass),        // 133
    playedBy(cmd("DownLargeClass", "大分類下へ", 1, Target::ClassDialog), PlayDownClass),    // 134
    playedBy(cmd("DeleteLargeClass", "大分類削除", 1, Target::ClassDialog),
             PlayDeleteClass),                                                             // 135
    playedBy(cmd("DispLargeClass", "大分類表示", 1, Target::ClassDialog), PlayDispClass),  // 136
    playedBy(cmd("OKLargeClassDialog", "大分類ダイアログＯＫ", 0, Target::ClassDialog),
             PlayOKClassDialog),  // 137
    playedBy(cmd("CancelLargeClassDialog", "大分類ダイアログキャンセル", 0, Target::ClassDialog),
             PlayCancelClassDialog),  // 138
    // The cross-tab page has no tab of its own, so the user never brings it up.
    playedBy(unrecorded(cmd("OpenOlapTab", "ＯＬＡＰタブを開く", 0, Target::Console)),
             PlayOpenOlapTab),  // 139
    playedBy(cmd("OpenMolapTab", "多次元集計タブを開く", 0, Target::Console),
             PlayOpenMolapTab),  // 140
    // --- Multi-dimensional settings (141-) ---
    playedBy(cmd("SetXColumn", "X軸カラム設定", padded(1), Target::Console),
             PlaySetXColumn),  // 141
    playedBy(cmd("SetYColumn", "Y軸カラム設定", padded(1), Target::Console),
             PlaySetYColumn),  // 142
    playedBy(cmd("SetSyukeiColumn", "集計カラム設定", padded(2), Target::Console),
             PlaySetSyukeiColumn),                                                   // 143
    playedBy(cmd("SetXTotal", "X軸計表示設定", 1, Target::Console), PlaySetXTotal),  // 144
    playedBy(cmd("SetYTotal", "Y軸計表示設定", 1, Target::Console), PlaySetYTotal),  // 145
    playedBy(cmd("ExecuteMolap", "多次元集計実行", 0, Target::Console),
             PlayExecuteMolap),                                                     // 146
    playedBy(cmd("SetPoint", "小数点桁数設定", 1, Target::Console), PlaySetPoint),  // 147
    // --- Log tab and the value-list page (field 1 names the item window) (148-) ---
    playedBy(cmd("OpenLogTab", "ログタブを開く", 0, Target::Console),
             PlayOpenLogTab),                                                        // 148
    playedBy(cmd("CreateSet", "新集合作成", 1, Target::ItemWindow), PlayCreateSet),  // 149
    playedBy(cmd("ToTopHitData", "該当する元データの先頭", 1, Target::ItemWindow),
             PlayToTopHitData),  // 150
    playedBy(cmd("ToPrevHitData", "該当する元データで１つ前", 1, Target::ItemWindow),
             PlayToPrevHitData),  // 151
    playedBy(cmd("ToNextHitData", "該当する元データで１つ後", 1, Target::ItemWindow),
             PlayToNextHitData),  // 152
    playedBy(cmd("ToEndHitData", "該当する元データの最後", 1, Target::ItemWindow),
             PlayToEndHitData),  // 153
    playedBy(cmd("ToTopItemData", "該当する値で最初", 1, Target::ItemWindow),
             PlayToTopItemData),  // 154
    playedBy(cmd("ToPrevItemData", "該当する値で１つ前方", 1, Target::ItemWindow),
             PlayToPrevItemData),  // 155
    playedBy(cmd("ToNextItemData", "該当する値で１つ後方", 1, Target::ItemWindow),
             PlayToNextItemData),  // 156
    playedBy(cmd("ToEndItemData", "該当する値で最後", 1, Target::ItemWindow),
             PlayToEndItemData),                                                       // 157
    playedBy(cmd("ChechStr", "文字列チェック", 1, Target::ItemWindow), PlayChechStr),  // 158
    playedBy(cmd("InputSearchTerm", "検索条件入力", 2, Target::ItemWindow,
                 ask(2, "[検索条件]: 検索条件を入力して下さい。")),
             PlayInputSearchTerm),                                                   // 159
    playedBy(cmd("DispGraph", "グラフ表示", 1, Target::ItemWindow), PlayDispGraph),  // 160
    // --- Item window (field 1 names it) (161-) ---
    playedBy(cmd("Item_SortUp", "項目データ 存在順に表示（昇順）", 1, Target::ItemWindow),
             PlayItem_SortUp),  // 161
    playedBy(cmd("Item_SortDown", "項目データ 存在順に表示（降順）", 1, Target::ItemWindow),
             PlayItem_SortDown),  // 162
    playedBy(cmd("Item_SortReverse", "項目データ 逆順に表示", 1, Target::ItemWindow),
             PlayItem_SortReverse),  // 163
    // Only the English popup menu of the value list offers copies and CSV files.
    playedBy(cmd("Item_CopyWithHead", "項目データ コピー（項目名付き）", 1, Target::ItemWindow),
             PlayItem_CopyWithHead),  // 164
    playedBy(cmd("Item_Copy", "項目データ コピー（項目名無し）", 1, Target::ItemWindow),
             PlayItem_Copy),  // 165
    playedBy(cmd("Item_OutToCsvWithHead", "項目データ CSVに書出し（項目名付き）", 2,
                 Target::ItemWindow, ask(2, kItemCsvPrompt, 1, kFileName)),
             PlayItem_OutToCsvWithHead),  // 166
    playedBy(cmd("Item_OutToCsv", "項目データ CSVに書出し（項目名無し）", 2, Target::ItemWindow,
                 ask(2, kItemCsvPrompt, 1, kFileName)),
             PlayItem_OutToCsv),  // 167
    playedBy(cmd("Item_OutToExcelWithHead", "項目データ Excelに書出し（項目名付き）", 1,
                 Target::ItemWindow),
             PlayItem_OutToExcelWithHead),  // 168
    playedBy(
        cmd("Item_OutToExcel", "項目データ Excelに書出し（項目名無し）", 1, Target::ItemWindow),
        PlayItem_OutToExcel),  // 169
    playedBy(cmd("Item_RemoveSelection", "外す（選択範囲を外す）", 1, Target::ItemWindow),
             PlayItem_RemoveSelection),  // 170
    playedBy(cmd("Item_RemoveOnlySelection", "外す（選択範囲のみを外す）", 1, Target::ItemWindow),
             PlayItem_RemoveOnlySelection),  // 171
    playedBy(cmd("Item_RemoveAll", "外す（全てを外す）", 1, Target::ItemWindow),
             PlayItem_RemoveAll),  // 172
    playedBy(cmd("Item_RemoveSearchResult", "外す（値検索結果を外す）", 1, Target::ItemWindow),
             PlayItem_RemoveSearchResult),  // 173
    playedBy(
        cmd("Item_RemoveOnlySearchResult", "外す（値検索結果のみを外す）", 1, Target::ItemWindow),
        PlayItem_RemoveOnlySearchResult),  // 174
    playedBy(cmd("Item_AddSelection", "加える（選択範囲を加える）", 1, Target::ItemWindow),
             PlayItem_AddSelection),  // 175
    playedBy(cmd("Item_AddOnlySelection", "加える（選択範囲のみを加える）", 1, Target::ItemWindow),
             PlayItem_AddOnlySelection),  // 176
    playedBy(cmd("Item_AddAll", "加える（全てを加える）", 1, Target::ItemWindow),
             PlayItem_AddAll),  // 177
    playedBy(cmd("Item_AddSearchResult", "加える（値検索結果を加える）", 1, Target::ItemWindow),
             PlayItem_AddSearchResult),  // 178
    playedBy(
        cmd("Item_AddOnlySearchResult", "加える（値検索結果のみを加える）", 1, Target::ItemWindow),
        PlayItem_AddOnlySearchResult),  // 179
    playedBy(cmd("Item_DispComma", "項目データ カンマ編集", 1, Target::ItemWindow),
             PlayItem_DispComma),  // 180
    playedBy(cmd("Item_DecimalDigit", "項目データ 小数点以下桁数", 2, Target::ItemWindow),
             PlayItem_DecimalDigit),  // 181
    playedBy(cmd("Item_PercentDigit", "項目データ ％表示桁数", 2, Target::ItemWindow),
             PlayItem_PercentDigit),  // 182
    playedBy(cmd("Item_Alignment", "項目データ セル幅を調整", 2, Target::ItemWindow),
             PlayItem_Alignment),  // 183
    playedBy(cmd("Item_AlignmentFree", "項目データ セル幅を変更", 3, Target::ItemWindow),
             PlayItem_AlignmentFree),  // 184
    playedBy(cmd("Item_SelectCell", "項目データ セル選択", 5, Target::ItemWindow),
             PlayItem_SelectCell),  // 185
    playedBy(cmd("Item_SelectRow", "項目データ 行選択", 3, Target::ItemWindow),
             PlayItem_SelectRow),  // 186
    playedBy(cmd("Item_SelectColumn", "項目データ 列選択", 3, Target::ItemWindow),
             PlayItem_SelectColumn),  // 187
    playedBy(cmd("Item_SelectAll", "項目データ 全選択", 1, Target::ItemWindow),
             PlayItem_SelectAll),  // 188
    playedBy(cmd("Item_VScroll", "項目データ 垂直スクロール", 3, Target::ItemWindow),
             PlayItem_VScroll),  // 189
    playedBy(cmd("Item_HScroll", "項目データ 水平スクロール", 3, Target::ItemWindow),
             PlayItem_HScroll),  // 190
    playedBy(cmd("Item_MouseWheel", "項目データ マウスの回転", 3, Target::ItemWindow),
             PlayItem_MouseWheel),  // 191
    playedBy(cmd("Item_ChangeSelectByKey", "項目データ キーでセル移動", 4, Target::ItemWindow),
             PlayItem_ChangeSelectByKey),  // 192
    playedBy(cmd("Item_PercentValue", "項目データ ％順位値の算出", 2, Target::ItemWindow,
                 ask(2, "[％順位値の算出]: ％値（０～１００）を入力して下さい。", -1, kPercent)),
             PlayItem_PercentValue),  // 193
    playedBy(cmd("Item_Close", "項目データ画面クローズ", 1, Target::ItemWindow),
             PlayItem_Close),                                                                // 194
    playedBy(cmd("Item_Max", "項目データ画面最大化", 1, Target::ItemWindow), PlayItem_Max),  // 195
    playedBy(cmd("Item_Min", "項目データ画面最小化", 1, Target::ItemWindow), PlayItem_Min),  // 196
    playedBy(cmd("Item_Restore", "項目データ画面元のサイズに戻す", 1, Target::ItemWindow),
             PlayItem_Restore),  // 197
    playedBy(cmd("OpenValListTab", "値一覧タブを開く", 1, Target::ItemWindow),
             PlayOpenValListTab),  // 198
    playedBy(cmd("OpenSummaryTab", "概要タブを開く", 1, Target::ItemWindow),
             PlayOpenSummaryTab),  // 199
    // --- Cross-tab window (200-) ---
    playedBy(cmd("DorileDrillThrough", "選択範囲でドリルスルー", 0, Target::CrossWindow),
             PlayDorileDrillThrough),  // 200
    playedBy(cmd("Olap_CopyAll", "クロス集計 全部をコピー", 0, Target::CrossWindow),
             PlayOlap_CopyAll),  // 201
    playedBy(cmd("Olap_CopyWithHead", "クロス集計 コピー（項目名付き）", 0, Target::CrossWindow),
             PlayOlap_CopyWithHead),  // 202
    playedBy(cmd("Olap_Copy", "クロス集計 コピー（項目名無し）", 0, Target::CrossWindow),
             PlayOlap_Copy),  // 203
    playedBy(cmd("Olap_OutToCsvAll", "クロス集計 全部をCSVに書出し", 1, Target::CrossWindow,
                 ask(1, kCsvPrompt, 1, kFileName)),
             PlayOlap_OutToCsvAll),  // 204
    playedBy(cmd("Olap_OutToCsvWithHead", "クロス集計 CSVに書出し（項目名付き）", 1,
                 Target::CrossWindow, ask(1, kCsvPrompt, 1, kFileName)),
             PlayOlap_OutToCsvWithHead),  // 205
    playedBy(cmd("Olap_OutToCsv", "クロス集計 CSVに書出し（項目名無し）", 1, Target::CrossWindow,
                 ask(1, kCsvPrompt, 1, kFileName)),
             PlayOlap_OutToCsv),  // 206
    playedBy(cmd("Olap_OutToExcelAll", "クロス集計 全部をExcelに書出し", 0, Target::CrossWindow),
             PlayOlap_OutToExcelAll),  // 207
    playedBy(cmd("Olap_OutToExcelWithHead", "クロス集計 Excelに書出し（項目名付き）", 0,
                 Target::CrossWindow),
             PlayOlap_OutToExcelWithHead),  // 208
    playedBy(
        cmd("Olap_OutToExcel", "クロス集計 Excelに書出し（項目名無し）", 0, Target::CrossWindow),
        PlayOlap_OutToExcel),  // 209
    playedBy(cmd("Olap_DecimalDigit", "クロス集計 小数点以下桁数", 1, Target::CrossWindow),
             PlayOlap_DecimalDigit),  // 210
    playedBy(cmd("Olap_Alignment", "クロス集計 セル幅を調整", 1, Target::CrossWindow),
             PlayOlap_Alignment),  // 211
    playedBy(cmd("Olap_AlignmentFree", "クロス集計 セル幅を変更", 2, Target::CrossWindow),
             PlayOlap_AlignmentFree),                                                        // 212
    playedBy(cmd("Olap_Sort", "クロス集計 ソート", 2, Target::CrossWindow), PlayOlap_Sort),  // 213
    playedBy(cmd("Olap_OriginalDisplay", "クロス集計 オリジナル並び表示", 0, Target::CrossWindow),
             PlayOlap_OriginalDisplay),  // 214
    playedBy(cmd("Olap_SelectCell", "クロス集計 セル選択", 4, Target::CrossWindow),
             PlayOlap_SelectCell),  // 215
    playedBy(cmd("Olap_SelectRow", "クロス集計 行選択", 2, Target::CrossWindow),
             PlayOlap_SelectRow),  // 216
    playedBy(cmd("Olap_SelectColumn", "クロス集計 列選択", 2, Target::CrossWindow),
             PlayOlap_SelectColumn),  // 217
    playedBy(cmd("Olap_SelectAll", "クロス集計 全選択", 0, Target::CrossWindow),
             PlayOlap_SelectAll),  // 218
    playedBy(cmd("Olap_VScroll", "クロス集計 垂直スクロール", 2, Target::CrossWindow),
             PlayOlap_VScroll),  // 219
    playedBy(cmd("Olap_HScroll", "クロス集計 水平スクロール", 2, Target::CrossWindow),
             PlayOlap_HScroll),  // 220
    playedBy(cmd("Olap_MouseWheel", "クロス集計 マウスの回転", 2, Target::CrossWindow),
             PlayOlap_MouseWheel),  // 221
    playedBy(cmd("Olap_ChangeSelectByKey", "クロス集計 キーでセル移動", 3, Target::CrossWindow),
             PlayOlap_ChangeSelectByKey),  // 222
    playedBy(cmd("Olap_Close", "クロス集計画面クローズ", 0, Target::CrossWindow),
             PlayOlap_Close),                                                                 // 223
    playedBy(cmd("Olap_Max", "クロス集計画面最大化", 0, Target::CrossWindow), PlayOlap_Max),  // 224
    playedBy(cmd("Olap_Min", "クロス集計画面最小化", 0, Target::CrossWindow), PlayOlap_Min),  // 225
    playedBy(cmd("Olap_Restore", "クロス集計画面元のサイズに戻す", 0, Target::CrossWindow),
             PlayOlap_Restore),  // 226
    // --- Aggregation window (227-) ---
    // Only the English popup menu offers the copy and the CSV file.
    playedBy(cmd("MolapCopy", "多次元集計結果 コピー", 0, Target::MolapWindow),
             PlayMolapCopy),  // 227
    playedBy(cmd("MolapOutToCSV", "多次元集計結果 CSVに書出し", 1, Target::MolapWindow),
             PlayMolapOutToCSV),  // 228
    playedBy(cmd("MolapOutToExcel", "多次元集計結果 Excelに書出し", 0, Target::MolapWindow),
             PlayMolapOutToExcel),  // 229
    playedBy(cmd("MolapDrillThrough", "ドリルスルー", 2, Target::MolapWindow),
             PlayMolapDrillThrough),  // 230
    playedBy(cmd("MolapFilter", "フィルタの実行", 5, Target::MolapWindow),
             PlayMolapFilter),  // 231
    playedBy(cmd("MolapFilterRelease", "フィルタ解除", 0, Target::MolapWindow),
             PlayMolapFilterRelease),  // 232
    playedBy(cmd("MolapClose", "多次元集計画面クローズ", 0, Target::MolapWindow),
             PlayMolapClose),  // 233
    playedBy(cmd("MolapMax", "多次元集計画面最大化", 0, Target::MolapWindow),
             PlayMolapMax),  // 234
    playedBy(cmd("MolapMin", "多次元集計画面最小化", 0, Target::MolapWindow),
             PlayMolapMin),  // 235
    playedBy(cmd("MolapRestore", "多次元集計画面を元のサイズの戻す", 0, Target::MolapWindow),
             PlayMolapRestore),  // 236
    // --- Excel read dialog and its item information (237-) ---
    playedBy(cmd("DispExcelDialog", "Excelファイル読込ダイアログ表示", atLeast(1), Target::Console,
                 ask(1, "[データ追加]: Excelファイル名を入力して下さい。", 3, "Excelファイル名")),
             PlayDispExcelDialog),  // 237
    playedBy(
        cmd("ExcelSheetDelete", "Excelシート削除", atLeast(0), dialogOf(PlayerDialog::ExcelRead)),
        PlayExcelSheetDelete),  // 238
    playedBy(cmd("ExcelSheetUp", "Excelシート一つ上に移動", atLeast(0),
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayExcelSheetUp),  // 239
    playedBy(cmd("ExcelSheetDown", "Excelシート一つ下に移動", atLeast(0),
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayExcelSheetDown),  // 240
    playedBy(cmd("ColumnInfoRead", "項目情報読込", atLeast(1), dialogOf(PlayerDialog::ExcelRead)),
             PlayColumnInfoRead),  // 241
    playedBy(cmd("ColumnInfoDelete", "項目情報削除", atLeast(0), dialogOf(PlayerDialog::ExcelRead)),
             PlayColumnInfoDelete),  // 242
    playedBy(cmd("ColumnInfoUpdate", "項目情報編集", atLeast(3), dialogOf(PlayerDialog::ExcelRead)),
             PlayColumnInfoUpdate),  // 243
    playedBy(unrecorded(cmd("ExcelReadExecute", "Excelファイル読込実行", 0,
                            dialogOf(PlayerDialog::ExcelRead))),
             PlayExcelReadExecute),  // 244
    playedBy(
        cmd("ExcelReadCancel", "Excelファイル読込キャンセル", 0, dialogOf(PlayerDialog::ExcelRead)),
        PlayExcelReadCancel),  // 245
    playedBy(cmd("ExcelAddExecute", "Excelファイル追加実行", 0, dialogOf(PlayerDialog::ExcelRead)),
             PlayExcelAddExecute),  // 246
    playedBy(
        cmd("ColumnInfoReadNext", "次行から項目情報読込", 0, dialogOf(PlayerDialog::ExcelRead)),
        PlayColumnInfoReadNext),  // 247
}};

int FindCommand(std::string_view name) {
    for (int i = 0; i < kCommandCount; ++i)
        if (name == kCommandTable[static_cast<std::size_t>(i)].name) return i;
    return -1;
}

std::string_view GetCommandCaption(std::string_view name) {
    const int i = FindCommand(name);
    return i < 0 ? std::string_view() : kCommandTable[static_cast<std::size_t>(i)].caption;
}
