// The command table: one row per macro command, in dispatch order. The names are the vocabulary
// of macro files and stand exactly as files hold them, misspellings included (NomalWindow,
// DleteMiddleClass, ChechStr, DorileDrillThrough ...).
#include "macro/command_table.h"

#include "macro/players.h"

#include "macro/cmacro.h"
#include "platform/core/shown_text.h"

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

constexpr const char* kFileName = ZBQ_SHOWN("ファイル名");
constexpr const char* kPercent = ZBQ_SHOWN("％値");
constexpr const char* kCsvPrompt = ZBQ_SHOWN("[CSVに書出し]: CSVファイル名を入力して下さい。");
constexpr const char* kItemCsvPrompt =
    ZBQ_SHOWN("[項目データCSV書出し]: CSVファイル名を入力して下さい。");

std::int32_t playExeMacro(CMacro& macro, StepFields& fields) {
    return macro.PlayExeMacro(fields);
}

}  // namespace

const std::array<CommandRow, kCommandCount> kCommandTable = {{
    // --- Main frame and macros (0-) ---
    playedBy(cmd("DispConsole", ZBQ_SHOWN("コンソールを表示"), 0, Target::MainFrame),
             PlayDispConsole),                                                                 // 0
    playedBy(cmd("MinAll", ZBQ_SHOWN("全てをアイコン化"), 0, Target::MainFrame), PlayMinAll),  // 1
    playedBy(cmd("Prt", ZBQ_SHOWN("定型印刷"), 1, Target::DataView), PlayPrt),                 // 2
    playedBy(cmd("ExeMacro", ZBQ_SHOWN("マクロ実行"), 1, Target::None), playExeMacro),         // 3
    // --- Original-data window (4-) ---
    playedBy(
        cmd("Data_CopyWithHead", ZBQ_SHOWN("元データ コピー（項目名付き）"), 0, Target::DataView),
        PlayData_CopyWithHead),  // 4
    playedBy(cmd("Data_Copy", ZBQ_SHOWN("元データ コピー（項目名無し）"), 0, Target::DataView),
             PlayData_Copy),  // 5
    playedBy(cmd("Data_OutToCsvWithHead", ZBQ_SHOWN("元データ CSVに書出し（項目名付き）"), 1,
                 Target::DataView, ask(1, kCsvPrompt, 1, kFileName)),
             PlayData_OutToCsvWithHead),  // 6
    playedBy(cmd("Data_OutToCsv", ZBQ_SHOWN("元データ CSVに書出し（項目名無し）"), 1,
                 Target::DataView, ask(1, kCsvPrompt, 1, kFileName)),
             PlayData_OutToCsv),  // 7
    playedBy(cmd("Data_OutToExcelWithHead", ZBQ_SHOWN("元データ Excelに書出し（項目名付き）"), 0,
                 Target::DataView),
             PlayData_OutToExcelWithHead),  // 8
    playedBy(cmd("Data_OutToExcel", ZBQ_SHOWN("元データ Excelに書出し（項目名無し）"), 0,
                 Target::DataView),
             PlayData_OutToExcel),  // 9
    playedBy(cmd("Data_SortUp", ZBQ_SHOWN("元データ ソート（昇順）"), 1, Target::DataView),
             PlayData_SortUp),  // 10
    playedBy(cmd("Data_SortDown", ZBQ_SHOWN("元データ ソート（降順）"), 1, Target::DataView),
             PlayData_SortDown),  // 11
    playedBy(cmd("Data_SortOrg", ZBQ_SHOWN("元データ ソート（元データ順）"), 0, Target::DataView),
             PlayData_SortOrg),  // 12
    playedBy(cmd("Data_DispByCode", ZBQ_SHOWN("元データ コードで表示"), 1, Target::DataView),
             PlayData_DispByCode),  // 13
    playedBy(cmd("DispItemDlg", ZBQ_SHOWN("項目の詳細表示"), 1, Target::DataView),
             PlayDispItemDlg),  // 14
    playedBy(cmd("Data_Alignment", ZBQ_SHOWN("元データ セル幅を調整"), 1, Target::DataView),
             PlayData_Alignment),  // 15
    playedBy(cmd("Data_DispComma", ZBQ_SHOWN("元データ カンマ編集"), 1, Target::DataView),
             PlayData_DispComma),  // 16
    playedBy(cmd("Data_DecimalDigit", ZBQ_SHOWN("元データ 小数点以下桁数"), 2, Target::DataView),
             PlayData_DecimalDigit),  // 17
    playedBy(cmd("Data_AlignmentFree", ZBQ_SHOWN("元データ セル幅を変更"), 2, Target::DataView),
             PlayData_AlignmentFree),  // 18
    playedBy(cmd("Data_SelectCell", ZBQ_SHOWN("元データ セル選択"), 4, Target::DataView),
             PlayData_SelectCell),  // 19
    playedBy(cmd("Data_SelectRow", ZBQ_SHOWN("元データ 行選択"), 2, Target::DataView),
             PlayData_SelectRow),  // 20
    playedBy(cmd("Data_SelectColumn", ZBQ_SHOWN("元データ 列選択"), 2, Target::DataView),
             PlayData_SelectColumn),  // 21
    playedBy(cmd("Data_SelectAll", ZBQ_SHOWN("元データ 全選択"), 0, Target::DataView),
             PlayData_SelectAll),  // 22
    playedBy(cmd("Data_VScroll", ZBQ_SHOWN("元データ 垂直スクロール"), 2, Target::DataView),
             PlayData_VScroll),  // 23
    playedBy(cmd("Data_HScroll", ZBQ_SHOWN("元データ 水平スクロール"), 2, Target::DataView),
             PlayData_HScroll),  // 24
    playedBy(cmd("Data_MouseWheel", ZBQ_SHOWN("元データ マウスの回転"), 2, Target::DataView),
             PlayData_MouseWheel),  // 25
    playedBy(
        cmd("Data_ChengeSelectByKey", ZBQ_SHOWN("元データ キーでセル移動"), 3, Target::DataView),
        PlayData_ChengeSelectByKey),  // 26
    playedBy(cmd("Data_Close", ZBQ_SHOWN("元データ画面クローズ"), 0, Target::DataView),
             PlayData_Close),  // 27
    playedBy(cmd("Data_Max", ZBQ_SHOWN("元データ画面最大化"), 0, Target::DataView),
             PlayData_Max),  // 28
    playedBy(cmd("Data_Min", ZBQ_SHOWN("元データ画面最小化"), 0, Target::DataView),
             PlayData_Min),  // 29
    playedBy(cmd("Data_Restore", ZBQ_SHOWN("元データ画面元のサイズに戻す"), 0, Target::DataView),
             PlayData_Restore),  // 30
    // --- Windows of the window list and the console (31-) ---
    playedBy(cmd("CloseWindow", ZBQ_SHOWN("画面を閉じる"), 1, Target::Console),
             PlayCloseWindow),  // 31
    playedBy(cmd("MinimizedWindow", ZBQ_SHOWN("画面をアイコン化"), 1, Target::Console),
             PlayMinimizedWindow),  // 32
    playedBy(cmd("NomalWindow", ZBQ_SHOWN("画面を元の大きさ"), 1, Target::Console),
             PlayNomalWindow),  // 33
    playedBy(cmd("MaximizedWindow", ZBQ_SHOWN("画面を最大化"), 1, Target::Console),
             PlayMaximizedWindow),  // 34
    playedBy(cmd("MinimizedAllWindow", ZBQ_SHOWN("全ての画面をアイコン化"), 0, Target::Console),
             PlayMinimizedAllWindow),  // 35
    playedBy(cmd("CloseAllWindow", ZBQ_SHOWN("全ての画面を閉じる"), 0, Target::Console),
             PlayCloseAllWindow),  // 36
    playedBy(cmd("OpenSystemTab", ZBQ_SHOWN("システムタブを開く"), 0, Target::Console),
             PlayOpenSystemTab),  // 37
    playedBy(cmd("Cons_Max", ZBQ_SHOWN("コンソール画面最大化"), 0, Target::Console),
             PlayCons_Max),  // 38
    playedBy(cmd("Cons_Min", ZBQ_SHOWN("コンソール画面最小化"), 0, Target::Console),
             PlayCons_Min),  // 39
    playedBy(cmd("Cons_Restore", ZBQ_SHOWN("コンソール画面元のサイズに戻す"), 0, Target::Console),
             PlayCons_Restore),                                                            // 40
    playedBy(cmd("DispData", ZBQ_SHOWN("データ表示"), 0, Target::Console), PlayDispData),  // 41
    // --- Data file (42-) ---
    // The password's "???" is left to the player, which asks in the password dialog.
    playedBy(
        cmd("SaveZbw", ZBQ_SHOWN("ＺＢに書出し"), 3, Target::None,
            ask(1, ZBQ_SHOWN("[ＺＢＱに書出し]: ZBQファイル名を入力して下さい。"), 2, kFileName)),
        PlaySaveZbw),  // 42
    playedBy(unrecorded(cmd("AddData", ZBQ_SHOWN("データ追加"), 1, Target::None,
                            ask(1, ZBQ_SHOWN("[データ追加]: Excelファイル名を入力して下さい。"), 3,
                                kFileName))),
             PlayAddData),  // 43
    // --- Item-selection tab (44-) ---
    playedBy(cmd("ToListItem", ZBQ_SHOWN("項目を表示リストへ"), 1, Target::Console),
             PlayToListItem),  // 44
    playedBy(cmd("FromListItem", ZBQ_SHOWN("項目を非表示に"), 1, Target::Console),
             PlayFromListItem),  // 45
    playedBy(cmd("ToListAllItem", ZBQ_SHOWN("全ての項目を表示リストへ"), 0, Target::Console),
             PlayToListAllItem),  // 46
    playedBy(cmd("FromListAllItem", ZBQ_SHOWN("全て項目を非表示に"), 0, Target::Console),
             PlayFromListAllItem),  // 47
    playedBy(cmd("PermitItemCollapse", ZBQ_SHOWN("項目の閉を許可"), 0, Target::Console),
             PlayPermitItemCollapse),  // 48
    playedBy(cmd("ExpandAllItem", ZBQ_SHOWN("項目を全て展開"), 0, Target::Console),
             PlayExpandAllItem),  // 49
    playedBy(cmd("CollapseAllItem", ZBQ_SHOWN("項目を全て閉じる"), 0, Target::Console),
             PlayCollapseAllItem),  // 50
    playedBy(cmd("BackListItem", ZBQ_SHOWN("項目を非表示に"), 1, Target::Console),
             PlayBackListItem),  // 51
    playedBy(cmd("BackAllListItem", ZBQ_SHOWN("全ての項目を非表示に"), 0, Target::Console),
             PlayBackAllListItem),  // 52
    playedBy(cmd("SelectAllListItem", ZBQ_SHOWN("全ての項目を選択"), 0, Target::Console),
             PlaySelectAllListItem),  // 53
    playedBy(cmd("ChangeListItem", ZBQ_SHOWN("項目を並び替え"), 2, Target::Console),
             PlayChangeListItem),  // 54
    playedBy(cmd("OpenItemSelTab", ZBQ_SHOWN("項目選択タブを開く"), 0, Target::Console),
             PlayOpenItemSelTab),  // 55
    // --- Sets and filters of the data-selection tab (56-) ---
    playedBy(cmd("DeleteSet", ZBQ_SHOWN("集合削除"), 1, Target::Console), PlayDeleteSet),  // 56
    playedBy(cmd("PermitSetCollapse", ZBQ_SHOWN("集合の閉を許す"), 0, Target::Console),
             PlayPermitSetCollapse),  // 57
    playedBy(cmd("ExpandAllSet", ZBQ_SHOWN("集合を全て展開"), 0, Target::Console),
             PlayExpandAllSet),  // 58
    playedBy(cmd("CollapseAllSet", ZBQ_SHOWN("集合を全て閉じる"), 0, Target::Console),
             PlayCollapseAllSet),                                                      // 59
    playedBy(cmd("UnionSet", ZBQ_SHOWN("和集合"), 2, Target::Console), PlayUnionSet),  // 60
    playedBy(cmd("DifferenceSet", ZBQ_SHOWN("積集合"), 2, Target::Console),
             PlayDifferenceSet),                                                           // 61
    playedBy(cmd("ProductSet", ZBQ_SHOWN("差集合"), 2, Target::Console), PlayProductSet),  // 62
    playedBy(cmd("ComplementSet", ZBQ_SHOWN("補集合"), 2, Target::Console),
             PlayComplementSet),  // 63
    playedBy(cmd("InputSetName", ZBQ_SHOWN("集合名編集"), 2, Target::Console,
                 ask(2, ZBQ_SHOWN("[集合名編集]: No.%d の集合名を入力して下さい。"), -1,
                     ZBQ_SHOWN("集合名"))),
             PlayInputSetName),                                                            // 64
    playedBy(cmd("SelectSet", ZBQ_SHOWN("集合選択"), 1, Target::Console), PlaySelectSet),  // 65
    playedBy(cmd("ExecuteFilter", ZBQ_SHOWN("フィルタ実行"), 0, Target::Console),
             PlayExecuteFilter),  // 66
    playedBy(cmd("SelectFilterAndOr", ZBQ_SHOWN("フィルタAND/OR選択"), 1, Target::Console),
             PlaySelectFilterAndOr),  // 67
    playedBy(
        cmd("DispAddFilterDialog", ZBQ_SHOWN("フィルタ条件追加ダイアログ表示"), 0, Target::Console),
        PlayDispAddFilterDialog),  // 68
    playedBy(cmd("DispEditFilterDialog", ZBQ_SHOWN("フィルタ条件編集ダイアログ表示"), 1,
                 Target::Console),
             PlayDispEditFilterDialog),  // 69
    playedBy(cmd("DeleteFilter", ZBQ_SHOWN("フィルタ条件削除"), 1, Target::Console),
             PlayDeleteFilter),  // 70
    playedBy(
        cmd("InputFilterItem", ZBQ_SHOWN("フィルタ項目選択"), 1, dialogOf(PlayerDialog::Filter)),
        PlayInputFilterItem),  // 71
    playedBy(cmd("SelectFilterOperater1", ZBQ_SHOWN("フィルタ条件１演算子選択"), 1,
                 dialogOf(PlayerDialog::Filter)),
             PlaySelectFilterOperater1),  // 72
    playedBy(cmd("InputFilterTerm1", ZBQ_SHOWN("フィルタ条件１値入力"), 1,
                 dialogOf(PlayerDialog::Filter),
                 ask(1, ZBQ_SHOWN("[フィルタ条件１]: 値を入力して下さい。"))),
             PlayInputFilterTerm1),  // 73
    playedBy(cmd("SelectFilterOperater2", ZBQ_SHOWN("フィルタ条件２演算子選択"), 1,
                 dialogOf(PlayerDialog::Filter)),
             PlaySelectFilterOperater2),  // 74
    playedBy(cmd("InputFilterTerm2", ZBQ_SHOWN("フィルタ条件２値入力"), 1,
                 dialogOf(PlayerDialog::Filter),
                 ask(1, ZBQ_SHOWN("[フィルタ条件２]: 値を入力して下さい。"))),
             PlayInputFilterTerm2),  // 75
    // Only the English filter dialog has the buttons for reading values as codes or as text.
    playedBy(cmd("SelectCodeStr", ZBQ_SHOWN("解釈方法（コード/文字列）選択"), 1,
                 dialogOf(PlayerDialog::Filter)),
             PlaySelectCodeStr),  // 76
    playedBy(
        cmd("OKFilterDialog", ZBQ_SHOWN("フィルタ条件ＯＫ"), 0, dialogOf(PlayerDialog::Filter)),
        PlayOKFilterDialog),  // 77
    playedBy(cmd("CancelFilterDialog", ZBQ_SHOWN("フィルタ条件キャンセル"), 0,
                 dialogOf(PlayerDialog::Filter)),
             PlayCancelFilterDialog),  // 78
    playedBy(cmd("OpenDataSelTab", ZBQ_SHOWN("データ選択タブを開く"), 0, Target::Console),
             PlayOpenDataSelTab),  // 79
    // --- OLAP tab, category definitions and class dialogs (80-) ---
    playedBy(cmd("DispOlap", ZBQ_SHOWN("ＯＬＡＰ表示"), 0, Target::Console), PlayDispOlap),  // 80
    playedBy(cmd("CheckX", ZBQ_SHOWN("Ｘ軸チェック"), 0, Target::Console), PlayCheckX),      // 81
    playedBy(cmd("CheckY", ZBQ_SHOWN("Ｙ軸チェック"), 0, Target::Console), PlayCheckY),      // 82
    playedBy(cmd("SelectCategLevelX", ZBQ_SHOWN("Ｘ軸カテゴリレベル選択"), 2, Target::Console),
             PlaySelectCategLevelX),  // 83
    playedBy(cmd("SelectCategLevelY", ZBQ_SHOWN("Ｙ軸カテゴリレベル選択"), 2, Target::Console),
             PlaySelectCategLevelY),  // 84
    playedBy(cmd("SelectItemX", ZBQ_SHOWN("Ｘ軸項目選択"), 1, Target::Console),
             PlaySelectItemX),  // 85
    playedBy(cmd("SelectItemY", ZBQ_SHOWN("Ｙ軸項目選択"), 1, Target::Console),
             PlaySelectItemY),  // 86
    playedBy(cmd("SelectCategX", ZBQ_SHOWN("Ｘ軸カテゴリ選択"), 1, Target::Console),
             PlaySelectCategX),  // 87
    playedBy(cmd("SelectCategY", ZBQ_SHOWN("Ｙ軸カテゴリ選択"), 1, Target::Console),
             PlaySelectCategY),  // 88
    playedBy(cmd("SelectItemZ", ZBQ_SHOWN("Ｚ軸項目選択"), 1, Target::Console),
             PlaySelectItemZ),  // 89
    playedBy(cmd("SelectAggregateKind", ZBQ_SHOWN("Ｚ軸集合対象値選択"), 1, Target::Console),
             PlaySelectAggregateKind),  // 90
    playedBy(cmd("InputPercent", ZBQ_SHOWN("％順位"), 1, Target::Console,
                 ask(1, ZBQ_SHOWN("[％順位]: ％値（０～１００）を入力して下さい。"), -1, kPercent)),
             PlayInputPercent),  // 91
    playedBy(cmd("DispCategory", ZBQ_SHOWN("カテゴリ定義を表示"), 1, Target::Console),
             PlayDispCategory),  // 92
    playedBy(cmd("DeleteCategory", ZBQ_SHOWN("カテゴリ定義を削除"), 1, Target::Console),
             PlayDeleteCategory),  // 93
    playedBy(cmd("ImportCategory", ZBQ_SHOWN("カテゴリ定義をインポート"), 1, Target::Console,
                 ask(1, ZBQ_SHOWN("[カテゴリ定義をインポート]: ファイルパスを入力して下さい。"), 4,
                     kFileName)),
             PlayImportCategory),  // 94
    playedBy(cmd("ExportCategory", ZBQ_SHOWN("カテゴリ定義をエクスポート"), 2, Target::Console,
                 ask(2, ZBQ_SHOWN("[カテゴリ定義をエクスポート]: ファイルパスを入力して下さい。"),
                     5, kFileName)),
             PlayExportCategory),  // 95
    playedBy(cmd("InputCategoryName", ZBQ_SHOWN("カテゴリ名入力"), 1, Target::Console,
                 ask(1, ZBQ_SHOWN("[カテゴリ名入力]: カテゴリ名を入力して下さい。"))),
             PlayInputCategoryName),  // 96
    playedBy(cmd("SelectCategoryType", ZBQ_SHOWN("カテゴリタイプ選択"), 1, Target::Console),
             PlaySelectCategoryType),  // 97
    playedBy(
        cmd("DispEditSmallClassDialog", ZBQ_SHOWN("小分類編集ダイアログ表示"), 0, Target::Console),
        PlayDispEditSmallClassDialog),  // 98
    playedBy(
        cmd("DispEditMiddleClassDialog", ZBQ_SHOWN("中分類編集ダイアログ表示"), 0, Target::Console),
        PlayDispEditMiddleClassDialog),  // 99
    playedBy(
        cmd("DispEditLargeClassDialog", ZBQ_SHOWN("大分類編集ダイアログ表示"), 0, Target::Console),
        PlayDispEditLargeClassDialog),  // 100
    playedBy(cmd("EntryCategory", ZBQ_SHOWN("カテゴリ定義へ登録"), 0, Target::Console),
             PlayEntryCategory),  // 101
    playedBy(cmd("ClearCategory", ZBQ_SHOWN("カテゴリ定義クリア"), 0, Target::Console),
             PlayClearCategory),  // 102
    playedBy(cmd("ResetCategory", ZBQ_SHOWN("カテゴリ定義リセット"), 0, Target::Console),
             PlayResetCategory),  // 103
    playedBy(cmd("InputSmallClassName", ZBQ_SHOWN("小分類名称入力"), 1,
                 dialogOf(PlayerDialog::SmallClass),
                 ask(1, ZBQ_SHOWN("[小分類名称]: 名称を入力して下さい。"))),
             PlayInputSmallClassName),  // 104
    playedBy(cmd("SelectSmallClassOperater", ZBQ_SHOWN("小分類条件選択"), 1,
                 dialogOf(PlayerDialog::SmallClass)),
             PlaySelectSmallClassOperater),  // 105
    playedBy(cmd("InputSmallClassTerm1", ZBQ_SHOWN("小分類ｎ１の値入力"), 1,
                 dialogOf(PlayerDialog::SmallClass),
                 ask(1, ZBQ_SHOWN("[小分類ｎ１]: 値を入力して下さい。"))),
             PlayInputSmallClassTerm1),  // 106
    playedBy(cmd("InputSmallClassTerm2", ZBQ_SHOWN("小分類ｎ２の値入力"), 1,
                 dialogOf(PlayerDialog::SmallClass),
                 ask(1, ZBQ_SHOWN("[小分類ｎ２]: 値を入力して下さい。"))),
             PlayInputSmallClassTerm2),  // 107
    playedBy(
        cmd("ClearSmallClass", ZBQ_SHOWN("小分類クリア"), 0, dialogOf(PlayerDialog::SmallClass)),
        PlayClearSmallClass),  // 108
    playedBy(cmd("AddSmallClass", ZBQ_SHOWN("小分類追加"), 0, dialogOf(PlayerDialog::SmallClass)),
             PlayAddSmallClass),  // 109
    playedBy(
        cmd("EditSmallClass", ZBQ_SHOWN("小分類上書き"), 0, dialogOf(PlayerDialog::SmallClass)),
        PlayEditSmallClass),  // 110
    playedBy(cmd("UpSmallClass", ZBQ_SHOWN("小分類上へ"), 1, dialogOf(PlayerDialog::SmallClass)),
             PlayUpSmallClass),  // 111
    playedBy(cmd("DownSmallClass", ZBQ_SHOWN("小分類下へ"), 1, dialogOf(PlayerDialog::SmallClass)),
             PlayDownSmallClass),  // 112
    playedBy(
        cmd("DeleteSmallClass", ZBQ_SHOWN("小分類削除"), 1, dialogOf(PlayerDialog::SmallClass)),
        PlayDeleteSmallClass),  // 113
    playedBy(cmd("DispSmallClass", ZBQ_SHOWN("小分類表示"), 1, dialogOf(PlayerDialog::SmallClass)),
             PlayDispSmallClass),  // 114
    playedBy(cmd("OKSmallClassDialog", ZBQ_SHOWN("小分類ダイアログＯＫ"), 0,
                 dialogOf(PlayerDialog::SmallClass)),
             PlayOKSmallClassDialog),  // 115
    playedBy(cmd("CancelSmallClassDialog", ZBQ_SHOWN("小分類ダイアログキャンセル"), 0,
                 dialogOf(PlayerDialog::SmallClass)),
             PlayCancelSmallClassDialog),  // 116
    playedBy(cmd("InputMiddleClassName", ZBQ_SHOWN("中分類名称入力"), 1, Target::ClassDialog,
                 ask(1, ZBQ_SHOWN("[中分類名称]: 名称を入力して下さい。"))),
             PlayInputClassName),  // 117
    playedBy(cmd("SelectMiddleClassOperator", ZBQ_SHOWN("中分類条件選択"), 1, Target::ClassDialog),
             PlaySelectClassMember),  // 118
    playedBy(cmd("ClearMiddleClass", ZBQ_SHOWN("中分類クリア"), 0, Target::ClassDialog),
             PlayClearClass),  // 119
    playedBy(cmd("AddMiddleClass", ZBQ_SHOWN("中分類追加"), 0, Target::ClassDialog),
             PlayAddClass),  // 120
    playedBy(cmd("EditMiddleClass", ZBQ_SHOWN("中分類上書き"), 0, Target::ClassDialog),
             PlayEditClass),  // 121
    playedBy(cmd("UpMiddleClass", ZBQ_SHOWN("中分類上へ"), 1, Target::ClassDialog),
             PlayUpClass),  // 122
    playedBy(cmd("DownMiddleClass", ZBQ_SHOWN("中分類下へ"), 1, Target::ClassDialog),
             PlayDownClass),  // 123
    playedBy(cmd("DleteMiddleClass", ZBQ_SHOWN("中分類削除"), 1, Target::ClassDialog),
             PlayDeleteClass),  // 124
    playedBy(cmd("DispMiddleClass", ZBQ_SHOWN("中分類表示"), 1, Target::ClassDialog),
             PlayDispClass),  // 125
    playedBy(cmd("OKMiddleClassDialog", ZBQ_SHOWN("中分類ダイアログＯＫ"), 0, Target::ClassDialog),
             PlayOKClassDialog),  // 126
    playedBy(cmd("CancelMiddleClassDialog", ZBQ_SHOWN("中分類ダイアログキャンセル"), 0,
                 Target::ClassDialog),
             PlayCancelClassDialog),  // 127
    playedBy(cmd("InputLargeClassName", ZBQ_SHOWN("大分類名称入力"), 1, Target::ClassDialog,
                 ask(1, ZBQ_SHOWN("[大分類名称]: 名称を入力して下さい。"))),
             PlayInputClassName),  // 128
    playedBy(cmd("SelectLargeClassOperator", ZBQ_SHOWN("大分類条件選択"), 1, Target::ClassDialog),
             PlaySelectClassMember),  // 129
    playedBy(cmd("ClearLargeClass", ZBQ_SHOWN("大分類クリア"), 0, Target::ClassDialog),
             PlayClearClass),  // 130
    playedBy(cmd("AddLargeClass", ZBQ_SHOWN("大分類追加"), 0, Target::ClassDialog),
             PlayAddClass),  // 131
    playedBy(cmd("EditLargeClass", ZBQ_SHOWN("大分類上書き"), 0, Target::ClassDialog),
             PlayEditClass),  // 132
    playedBy(cmd("UpLargeClass", ZBQ_SHOWN("大分類上へ"), 1, Target::ClassDialog),
             PlayUpClass),  // 133
    playedBy(cmd("DownLargeClass", ZBQ_SHOWN("大分類下へ"), 1, Target::ClassDialog),
             PlayDownClass),  // 134
    playedBy(cmd("DeleteLargeClass", ZBQ_SHOWN("大分類削除"), 1, Target::ClassDialog),
             PlayDeleteClass),  // 135
    playedBy(cmd("DispLargeClass", ZBQ_SHOWN("大分類表示"), 1, Target::ClassDialog),
             PlayDispClass),  // 136
    playedBy(cmd("OKLargeClassDialog", ZBQ_SHOWN("大分類ダイアログＯＫ"), 0, Target::ClassDialog),
             PlayOKClassDialog),  // 137
    playedBy(cmd("CancelLargeClassDialog", ZBQ_SHOWN("大分類ダイアログキャンセル"), 0,
                 Target::ClassDialog),
             PlayCancelClassDialog),  // 138
    // The cross-tab page has no tab of its own, so the user never brings it up.
    playedBy(unrecorded(cmd("OpenOlapTab", ZBQ_SHOWN("ＯＬＡＰタブを開く"), 0, Target::Console)),
             PlayOpenOlapTab),  // 139
    playedBy(cmd("OpenMolapTab", ZBQ_SHOWN("多次元集計タブを開く"), 0, Target::Console),
             PlayOpenMolapTab),  // 140
    // --- Multi-dimensional settings (141-) ---
    playedBy(cmd("SetXColumn", ZBQ_SHOWN("X軸カラム設定"), padded(1), Target::Console),
             PlaySetXColumn),  // 141
    playedBy(cmd("SetYColumn", ZBQ_SHOWN("Y軸カラム設定"), padded(1), Target::Console),
             PlaySetYColumn),  // 142
    playedBy(cmd("SetSyukeiColumn", ZBQ_SHOWN("集計カラム設定"), padded(2), Target::Console),
             PlaySetSyukeiColumn),  // 143
    playedBy(cmd("SetXTotal", ZBQ_SHOWN("X軸計表示設定"), 1, Target::Console),
             PlaySetXTotal),  // 144
    playedBy(cmd("SetYTotal", ZBQ_SHOWN("Y軸計表示設定"), 1, Target::Console),
             PlaySetYTotal),  // 145
    playedBy(cmd("ExecuteMolap", ZBQ_SHOWN("多次元集計実行"), 0, Target::Console),
             PlayExecuteMolap),  // 146
    playedBy(cmd("SetPoint", ZBQ_SHOWN("小数点桁数設定"), 1, Target::Console),
             PlaySetPoint),  // 147
    // --- Log tab and the value-list page (field 1 names the item window) (148-) ---
    playedBy(cmd("OpenLogTab", ZBQ_SHOWN("ログタブを開く"), 0, Target::Console),
             PlayOpenLogTab),  // 148
    playedBy(cmd("CreateSet", ZBQ_SHOWN("新集合作成"), 1, Target::ItemWindow),
             PlayCreateSet),  // 149
    playedBy(cmd("ToTopHitData", ZBQ_SHOWN("該当する元データの先頭"), 1, Target::ItemWindow),
             PlayToTopHitData),  // 150
    playedBy(cmd("ToPrevHitData", ZBQ_SHOWN("該当する元データで１つ前"), 1, Target::ItemWindow),
             PlayToPrevHitData),  // 151
    playedBy(cmd("ToNextHitData", ZBQ_SHOWN("該当する元データで１つ後"), 1, Target::ItemWindow),
             PlayToNextHitData),  // 152
    playedBy(cmd("ToEndHitData", ZBQ_SHOWN("該当する元データの最後"), 1, Target::ItemWindow),
             PlayToEndHitData),  // 153
    playedBy(cmd("ToTopItemData", ZBQ_SHOWN("該当する値で最初"), 1, Target::ItemWindow),
             PlayToTopItemData),  // 154
    playedBy(cmd("ToPrevItemData", ZBQ_SHOWN("該当する値で１つ前方"), 1, Target::ItemWindow),
             PlayToPrevItemData),  // 155
    playedBy(cmd("ToNextItemData", ZBQ_SHOWN("該当する値で１つ後方"), 1, Target::ItemWindow),
             PlayToNextItemData),  // 156
    playedBy(cmd("ToEndItemData", ZBQ_SHOWN("該当する値で最後"), 1, Target::ItemWindow),
             PlayToEndItemData),  // 157
    playedBy(cmd("ChechStr", ZBQ_SHOWN("文字列チェック"), 1, Target::ItemWindow),
             PlayChechStr),  // 158
    playedBy(cmd("InputSearchTerm", ZBQ_SHOWN("検索条件入力"), 2, Target::ItemWindow,
                 ask(2, ZBQ_SHOWN("[検索条件]: 検索条件を入力して下さい。"))),
             PlayInputSearchTerm),  // 159
    playedBy(cmd("DispGraph", ZBQ_SHOWN("グラフ表示"), 1, Target::ItemWindow),
             PlayDispGraph),  // 160
    // --- Item window (field 1 names it) (161-) ---
    playedBy(
        cmd("Item_SortUp", ZBQ_SHOWN("項目データ 存在順に表示（昇順）"), 1, Target::ItemWindow),
        PlayItem_SortUp),  // 161
    playedBy(
        cmd("Item_SortDown", ZBQ_SHOWN("項目データ 存在順に表示（降順）"), 1, Target::ItemWindow),
        PlayItem_SortDown),  // 162
    playedBy(cmd("Item_SortReverse", ZBQ_SHOWN("項目データ 逆順に表示"), 1, Target::ItemWindow),
             PlayItem_SortReverse),  // 163
    // Only the English popup menu of the value list offers copies and CSV files.
    playedBy(cmd("Item_CopyWithHead", ZBQ_SHOWN("項目データ コピー（項目名付き）"), 1,
                 Target::ItemWindow),
             PlayItem_CopyWithHead),  // 164
    playedBy(cmd("Item_Copy", ZBQ_SHOWN("項目データ コピー（項目名無し）"), 1, Target::ItemWindow),
             PlayItem_Copy),  // 165
    playedBy(cmd("Item_OutToCsvWithHead", ZBQ_SHOWN("項目データ CSVに書出し（項目名付き）"), 2,
                 Target::ItemWindow, ask(2, kItemCsvPrompt, 1, kFileName)),
             PlayItem_OutToCsvWithHead),  // 166
    playedBy(cmd("Item_OutToCsv", ZBQ_SHOWN("項目データ CSVに書出し（項目名無し）"), 2,
                 Target::ItemWindow, ask(2, kItemCsvPrompt, 1, kFileName)),
             PlayItem_OutToCsv),  // 167
    playedBy(cmd("Item_OutToExcelWithHead", ZBQ_SHOWN("項目データ Excelに書出し（項目名付き）"), 1,
                 Target::ItemWindow),
             PlayItem_OutToExcelWithHead),  // 168
    playedBy(cmd("Item_OutToExcel", ZBQ_SHOWN("項目データ Excelに書出し（項目名無し）"), 1,
                 Target::ItemWindow),
             PlayItem_OutToExcel),  // 169
    playedBy(
        cmd("Item_RemoveSelection", ZBQ_SHOWN("外す（選択範囲を外す）"), 1, Target::ItemWindow),
        PlayItem_RemoveSelection),  // 170
    playedBy(cmd("Item_RemoveOnlySelection", ZBQ_SHOWN("外す（選択範囲のみを外す）"), 1,
                 Target::ItemWindow),
             PlayItem_RemoveOnlySelection),  // 171
    playedBy(cmd("Item_RemoveAll", ZBQ_SHOWN("外す（全てを外す）"), 1, Target::ItemWindow),
             PlayItem_RemoveAll),  // 172
    playedBy(cmd("Item_RemoveSearchResult", ZBQ_SHOWN("外す（値検索結果を外す）"), 1,
                 Target::ItemWindow),
             PlayItem_RemoveSearchResult),  // 173
    playedBy(cmd("Item_RemoveOnlySearchResult", ZBQ_SHOWN("外す（値検索結果のみを外す）"), 1,
                 Target::ItemWindow),
             PlayItem_RemoveOnlySearchResult),  // 174
    playedBy(
        cmd("Item_AddSelection", ZBQ_SHOWN("加える（選択範囲を加える）"), 1, Target::ItemWindow),
        PlayItem_AddSelection),  // 175
    playedBy(cmd("Item_AddOnlySelection", ZBQ_SHOWN("加える（選択範囲のみを加える）"), 1,
                 Target::ItemWindow),
             PlayItem_AddOnlySelection),  // 176
    playedBy(cmd("Item_AddAll", ZBQ_SHOWN("加える（全てを加える）"), 1, Target::ItemWindow),
             PlayItem_AddAll),  // 177
    playedBy(cmd("Item_AddSearchResult", ZBQ_SHOWN("加える（値検索結果を加える）"), 1,
                 Target::ItemWindow),
             PlayItem_AddSearchResult),  // 178
    playedBy(cmd("Item_AddOnlySearchResult", ZBQ_SHOWN("加える（値検索結果のみを加える）"), 1,
                 Target::ItemWindow),
             PlayItem_AddOnlySearchResult),  // 179
    playedBy(cmd("Item_DispComma", ZBQ_SHOWN("項目データ カンマ編集"), 1, Target::ItemWindow),
             PlayItem_DispComma),  // 180
    playedBy(
        cmd("Item_DecimalDigit", ZBQ_SHOWN("項目データ 小数点以下桁数"), 2, Target::ItemWindow),
        PlayItem_DecimalDigit),  // 181
    playedBy(cmd("Item_PercentDigit", ZBQ_SHOWN("項目データ ％表示桁数"), 2, Target::ItemWindow),
             PlayItem_PercentDigit),  // 182
    playedBy(cmd("Item_Alignment", ZBQ_SHOWN("項目データ セル幅を調整"), 2, Target::ItemWindow),
             PlayItem_Alignment),  // 183
    playedBy(cmd("Item_AlignmentFree", ZBQ_SHOWN("項目データ セル幅を変更"), 3, Target::ItemWindow),
             PlayItem_AlignmentFree),  // 184
    playedBy(cmd("Item_SelectCell", ZBQ_SHOWN("項目データ セル選択"), 5, Target::ItemWindow),
             PlayItem_SelectCell),  // 185
    playedBy(cmd("Item_SelectRow", ZBQ_SHOWN("項目データ 行選択"), 3, Target::ItemWindow),
             PlayItem_SelectRow),  // 186
    playedBy(cmd("Item_SelectColumn", ZBQ_SHOWN("項目データ 列選択"), 3, Target::ItemWindow),
             PlayItem_SelectColumn),  // 187
    playedBy(cmd("Item_SelectAll", ZBQ_SHOWN("項目データ 全選択"), 1, Target::ItemWindow),
             PlayItem_SelectAll),  // 188
    playedBy(cmd("Item_VScroll", ZBQ_SHOWN("項目データ 垂直スクロール"), 3, Target::ItemWindow),
             PlayItem_VScroll),  // 189
    playedBy(cmd("Item_HScroll", ZBQ_SHOWN("項目データ 水平スクロール"), 3, Target::ItemWindow),
             PlayItem_HScroll),  // 190
    playedBy(cmd("Item_MouseWheel", ZBQ_SHOWN("項目データ マウスの回転"), 3, Target::ItemWindow),
             PlayItem_MouseWheel),  // 191
    playedBy(cmd("Item_ChangeSelectByKey", ZBQ_SHOWN("項目データ キーでセル移動"), 4,
                 Target::ItemWindow),
             PlayItem_ChangeSelectByKey),  // 192
    playedBy(cmd("Item_PercentValue", ZBQ_SHOWN("項目データ ％順位値の算出"), 2, Target::ItemWindow,
                 ask(2, ZBQ_SHOWN("[％順位値の算出]: ％値（０～１００）を入力して下さい。"), -1,
                     kPercent)),
             PlayItem_PercentValue),  // 193
    playedBy(cmd("Item_Close", ZBQ_SHOWN("項目データ画面クローズ"), 1, Target::ItemWindow),
             PlayItem_Close),  // 194
    playedBy(cmd("Item_Max", ZBQ_SHOWN("項目データ画面最大化"), 1, Target::ItemWindow),
             PlayItem_Max),  // 195
    playedBy(cmd("Item_Min", ZBQ_SHOWN("項目データ画面最小化"), 1, Target::ItemWindow),
             PlayItem_Min),  // 196
    playedBy(
        cmd("Item_Restore", ZBQ_SHOWN("項目データ画面元のサイズに戻す"), 1, Target::ItemWindow),
        PlayItem_Restore),  // 197
    playedBy(cmd("OpenValListTab", ZBQ_SHOWN("値一覧タブを開く"), 1, Target::ItemWindow),
             PlayOpenValListTab),  // 198
    playedBy(cmd("OpenSummaryTab", ZBQ_SHOWN("概要タブを開く"), 1, Target::ItemWindow),
             PlayOpenSummaryTab),  // 199
    // --- Cross-tab window (200-) ---
    playedBy(cmd("DorileDrillThrough", ZBQ_SHOWN("選択範囲でドリルスルー"), 0, Target::CrossWindow),
             PlayDorileDrillThrough),  // 200
    playedBy(cmd("Olap_CopyAll", ZBQ_SHOWN("クロス集計 全部をコピー"), 0, Target::CrossWindow),
             PlayOlap_CopyAll),  // 201
    playedBy(cmd("Olap_CopyWithHead", ZBQ_SHOWN("クロス集計 コピー（項目名付き）"), 0,
                 Target::CrossWindow),
             PlayOlap_CopyWithHead),  // 202
    playedBy(cmd("Olap_Copy", ZBQ_SHOWN("クロス集計 コピー（項目名無し）"), 0, Target::CrossWindow),
             PlayOlap_Copy),  // 203
    playedBy(cmd("Olap_OutToCsvAll", ZBQ_SHOWN("クロス集計 全部をCSVに書出し"), 1,
                 Target::CrossWindow, ask(1, kCsvPrompt, 1, kFileName)),
             PlayOlap_OutToCsvAll),  // 204
    playedBy(cmd("Olap_OutToCsvWithHead", ZBQ_SHOWN("クロス集計 CSVに書出し（項目名付き）"), 1,
                 Target::CrossWindow, ask(1, kCsvPrompt, 1, kFileName)),
             PlayOlap_OutToCsvWithHead),  // 205
    playedBy(cmd("Olap_OutToCsv", ZBQ_SHOWN("クロス集計 CSVに書出し（項目名無し）"), 1,
                 Target::CrossWindow, ask(1, kCsvPrompt, 1, kFileName)),
             PlayOlap_OutToCsv),  // 206
    playedBy(cmd("Olap_OutToExcelAll", ZBQ_SHOWN("クロス集計 全部をExcelに書出し"), 0,
                 Target::CrossWindow),
             PlayOlap_OutToExcelAll),  // 207
    playedBy(cmd("Olap_OutToExcelWithHead", ZBQ_SHOWN("クロス集計 Excelに書出し（項目名付き）"), 0,
                 Target::CrossWindow),
             PlayOlap_OutToExcelWithHead),  // 208
    playedBy(cmd("Olap_OutToExcel", ZBQ_SHOWN("クロス集計 Excelに書出し（項目名無し）"), 0,
                 Target::CrossWindow),
             PlayOlap_OutToExcel),  // 209
    playedBy(
        cmd("Olap_DecimalDigit", ZBQ_SHOWN("クロス集計 小数点以下桁数"), 1, Target::CrossWindow),
        PlayOlap_DecimalDigit),  // 210
    playedBy(cmd("Olap_Alignment", ZBQ_SHOWN("クロス集計 セル幅を調整"), 1, Target::CrossWindow),
             PlayOlap_Alignment),  // 211
    playedBy(
        cmd("Olap_AlignmentFree", ZBQ_SHOWN("クロス集計 セル幅を変更"), 2, Target::CrossWindow),
        PlayOlap_AlignmentFree),  // 212
    playedBy(cmd("Olap_Sort", ZBQ_SHOWN("クロス集計 ソート"), 2, Target::CrossWindow),
             PlayOlap_Sort),  // 213
    playedBy(cmd("Olap_OriginalDisplay", ZBQ_SHOWN("クロス集計 オリジナル並び表示"), 0,
                 Target::CrossWindow),
             PlayOlap_OriginalDisplay),  // 214
    playedBy(cmd("Olap_SelectCell", ZBQ_SHOWN("クロス集計 セル選択"), 4, Target::CrossWindow),
             PlayOlap_SelectCell),  // 215
    playedBy(cmd("Olap_SelectRow", ZBQ_SHOWN("クロス集計 行選択"), 2, Target::CrossWindow),
             PlayOlap_SelectRow),  // 216
    playedBy(cmd("Olap_SelectColumn", ZBQ_SHOWN("クロス集計 列選択"), 2, Target::CrossWindow),
             PlayOlap_SelectColumn),  // 217
    playedBy(cmd("Olap_SelectAll", ZBQ_SHOWN("クロス集計 全選択"), 0, Target::CrossWindow),
             PlayOlap_SelectAll),  // 218
    playedBy(cmd("Olap_VScroll", ZBQ_SHOWN("クロス集計 垂直スクロール"), 2, Target::CrossWindow),
             PlayOlap_VScroll),  // 219
    playedBy(cmd("Olap_HScroll", ZBQ_SHOWN("クロス集計 水平スクロール"), 2, Target::CrossWindow),
             PlayOlap_HScroll),  // 220
    playedBy(cmd("Olap_MouseWheel", ZBQ_SHOWN("クロス集計 マウスの回転"), 2, Target::CrossWindow),
             PlayOlap_MouseWheel),  // 221
    playedBy(cmd("Olap_ChangeSelectByKey", ZBQ_SHOWN("クロス集計 キーでセル移動"), 3,
                 Target::CrossWindow),
             PlayOlap_ChangeSelectByKey),  // 222
    playedBy(cmd("Olap_Close", ZBQ_SHOWN("クロス集計画面クローズ"), 0, Target::CrossWindow),
             PlayOlap_Close),  // 223
    playedBy(cmd("Olap_Max", ZBQ_SHOWN("クロス集計画面最大化"), 0, Target::CrossWindow),
             PlayOlap_Max),  // 224
    playedBy(cmd("Olap_Min", ZBQ_SHOWN("クロス集計画面最小化"), 0, Target::CrossWindow),
             PlayOlap_Min),  // 225
    playedBy(
        cmd("Olap_Restore", ZBQ_SHOWN("クロス集計画面元のサイズに戻す"), 0, Target::CrossWindow),
        PlayOlap_Restore),  // 226
    // --- Aggregation window (227-) ---
    // Only the English popup menu offers the copy and the CSV file.
    playedBy(cmd("MolapCopy", ZBQ_SHOWN("多次元集計結果 コピー"), 0, Target::MolapWindow),
             PlayMolapCopy),  // 227
    playedBy(cmd("MolapOutToCSV", ZBQ_SHOWN("多次元集計結果 CSVに書出し"), 1, Target::MolapWindow),
             PlayMolapOutToCSV),  // 228
    playedBy(
        cmd("MolapOutToExcel", ZBQ_SHOWN("多次元集計結果 Excelに書出し"), 0, Target::MolapWindow),
        PlayMolapOutToExcel),  // 229
    playedBy(cmd("MolapDrillThrough", ZBQ_SHOWN("ドリルスルー"), 2, Target::MolapWindow),
             PlayMolapDrillThrough),  // 230
    playedBy(cmd("MolapFilter", ZBQ_SHOWN("フィルタの実行"), 5, Target::MolapWindow),
             PlayMolapFilter),  // 231
    playedBy(cmd("MolapFilterRelease", ZBQ_SHOWN("フィルタ解除"), 0, Target::MolapWindow),
             PlayMolapFilterRelease),  // 232
    playedBy(cmd("MolapClose", ZBQ_SHOWN("多次元集計画面クローズ"), 0, Target::MolapWindow),
             PlayMolapClose),  // 233
    playedBy(cmd("MolapMax", ZBQ_SHOWN("多次元集計画面最大化"), 0, Target::MolapWindow),
             PlayMolapMax),  // 234
    playedBy(cmd("MolapMin", ZBQ_SHOWN("多次元集計画面最小化"), 0, Target::MolapWindow),
             PlayMolapMin),  // 235
    playedBy(
        cmd("MolapRestore", ZBQ_SHOWN("多次元集計画面を元のサイズの戻す"), 0, Target::MolapWindow),
        PlayMolapRestore),  // 236
    // --- Excel read dialog and its item information (237-) ---
    playedBy(cmd("DispExcelDialog", ZBQ_SHOWN("Excelファイル読込ダイアログ表示"), atLeast(1),
                 Target::Console,
                 ask(1, ZBQ_SHOWN("[データ追加]: Excelファイル名を入力して下さい。"), 3,
                     ZBQ_SHOWN("Excelファイル名"))),
             PlayDispExcelDialog),  // 237
    playedBy(cmd("ExcelSheetDelete", ZBQ_SHOWN("Excelシート削除"), atLeast(0),
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayExcelSheetDelete),  // 238
    playedBy(cmd("ExcelSheetUp", ZBQ_SHOWN("Excelシート一つ上に移動"), atLeast(0),
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayExcelSheetUp),  // 239
    playedBy(cmd("ExcelSheetDown", ZBQ_SHOWN("Excelシート一つ下に移動"), atLeast(0),
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayExcelSheetDown),  // 240
    playedBy(cmd("ColumnInfoRead", ZBQ_SHOWN("項目情報読込"), atLeast(1),
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayColumnInfoRead),  // 241
    playedBy(cmd("ColumnInfoDelete", ZBQ_SHOWN("項目情報削除"), atLeast(0),
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayColumnInfoDelete),  // 242
    playedBy(cmd("ColumnInfoUpdate", ZBQ_SHOWN("項目情報編集"), atLeast(3),
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayColumnInfoUpdate),  // 243
    playedBy(unrecorded(cmd("ExcelReadExecute", ZBQ_SHOWN("Excelファイル読込実行"), 0,
                            dialogOf(PlayerDialog::ExcelRead))),
             PlayExcelReadExecute),  // 244
    playedBy(cmd("ExcelReadCancel", ZBQ_SHOWN("Excelファイル読込キャンセル"), 0,
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayExcelReadCancel),  // 245
    playedBy(cmd("ExcelAddExecute", ZBQ_SHOWN("Excelファイル追加実行"), 0,
                 dialogOf(PlayerDialog::ExcelRead)),
             PlayExcelAddExecute),  // 246
    playedBy(cmd("ColumnInfoReadNext", ZBQ_SHOWN("次行から項目情報読込"), 0,
                 dialogOf(PlayerDialog::ExcelRead)),
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
