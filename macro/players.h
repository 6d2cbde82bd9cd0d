// The players of the macro commands, grouped in files by the window they drive
// (players_<window>.cpp). Each plays one step whose field count, window and "???" fields the
// dispatcher has checked already, performs the same action the window's menu, button or key
// performs, and returns 1 to go on or 0 to stop the run (having told the user why).
#pragma once

#include <cstdint>

#include "macro/command_table.h"

// --- Main frame (players_frame.cpp) ---
std::int32_t PlayDispConsole(CMacro& macro, StepFields& fields);
std::int32_t PlayMinAll(CMacro& macro, StepFields& fields);
std::int32_t PlayPrt(CMacro& macro, StepFields& fields);

// --- Console (players_console.cpp) ---
std::int32_t PlayCloseWindow(CMacro& macro, StepFields& fields);
std::int32_t PlayMinimizedWindow(CMacro& macro, StepFields& fields);
std::int32_t PlayNomalWindow(CMacro& macro, StepFields& fields);
std::int32_t PlayMaximizedWindow(CMacro& macro, StepFields& fields);
std::int32_t PlayMinimizedAllWindow(CMacro& macro, StepFields& fields);
std::int32_t PlayCloseAllWindow(CMacro& macro, StepFields& fields);
std::int32_t PlayCons_Max(CMacro& macro, StepFields& fields);
std::int32_t PlayCons_Min(CMacro& macro, StepFields& fields);
std::int32_t PlayCons_Restore(CMacro& macro, StepFields& fields);
std::int32_t PlayOpenSystemTab(CMacro& macro, StepFields& fields);
std::int32_t PlayOpenItemSelTab(CMacro& macro, StepFields& fields);
std::int32_t PlayOpenDataSelTab(CMacro& macro, StepFields& fields);
std::int32_t PlayOpenOlapTab(CMacro& macro, StepFields& fields);
std::int32_t PlayOpenMolapTab(CMacro& macro, StepFields& fields);
std::int32_t PlayOpenLogTab(CMacro& macro, StepFields& fields);

// --- Item-selection tab (players_item_sel.cpp) ---
std::int32_t PlayToListItem(CMacro& macro, StepFields& fields);
std::int32_t PlayFromListItem(CMacro& macro, StepFields& fields);
std::int32_t PlayToListAllItem(CMacro& macro, StepFields& fields);
std::int32_t PlayFromListAllItem(CMacro& macro, StepFields& fields);
std::int32_t PlayPermitItemCollapse(CMacro& macro, StepFields& fields);
std::int32_t PlayExpandAllItem(CMacro& macro, StepFields& fields);
std::int32_t PlayCollapseAllItem(CMacro& macro, StepFields& fields);
std::int32_t PlayBackListItem(CMacro& macro, StepFields& fields);
std::int32_t PlayBackAllListItem(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectAllListItem(CMacro& macro, StepFields& fields);
std::int32_t PlayChangeListItem(CMacro& macro, StepFields& fields);
std::int32_t PlayDispData(CMacro& macro, StepFields& fields);

// --- Cross-tab axis page (players_olap.cpp) ---
std::int32_t PlayDispOlap(CMacro& macro, StepFields& fields);
std::int32_t PlayCheckX(CMacro& macro, StepFields& fields);
std::int32_t PlayCheckY(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectCategLevelX(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectCategLevelY(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectItemX(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectItemY(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectCategX(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectCategY(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectItemZ(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectAggregateKind(CMacro& macro, StepFields& fields);
std::int32_t PlayInputPercent(CMacro& macro, StepFields& fields);

// --- Aggregation settings page (players_molap_settings.cpp) ---
std::int32_t PlaySetXColumn(CMacro& macro, StepFields& fields);
std::int32_t PlaySetYColumn(CMacro& macro, StepFields& fields);
std::int32_t PlaySetSyukeiColumn(CMacro& macro, StepFields& fields);
std::int32_t PlaySetXTotal(CMacro& macro, StepFields& fields);
std::int32_t PlaySetYTotal(CMacro& macro, StepFields& fields);
std::int32_t PlaySetPoint(CMacro& macro, StepFields& fields);
std::int32_t PlayExecuteMolap(CMacro& macro, StepFields& fields);

// --- Class-list dialogs (players_class_dialogs.cpp); one player serves a Middle command and
// its Large twin ---
std::int32_t PlayInputSmallClassName(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectSmallClassOperater(CMacro& macro, StepFields& fields);
std::int32_t PlayInputSmallClassTerm1(CMacro& macro, StepFields& fields);
std::int32_t PlayInputSmallClassTerm2(CMacro& macro, StepFields& fields);
std::int32_t PlayClearSmallClass(CMacro& macro, StepFields& fields);
std::int32_t PlayAddSmallClass(CMacro& macro, StepFields& fields);
std::int32_t PlayEditSmallClass(CMacro& macro, StepFields& fields);
std::int32_t PlayUpSmallClass(CMacro& macro, StepFields& fields);
std::int32_t PlayDownSmallClass(CMacro& macro, StepFields& fields);
std::int32_t PlayDeleteSmallClass(CMacro& macro, StepFields& fields);
std::int32_t PlayDispSmallClass(CMacro& macro, StepFields& fields);
std::int32_t PlayOKSmallClassDialog(CMacro& macro, StepFields& fields);
std::int32_t PlayCancelSmallClassDialog(CMacro& macro, StepFields& fields);
std::int32_t PlayInputClassName(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectClassMember(CMacro& macro, StepFields& fields);
std::int32_t PlayClearClass(CMacro& macro, StepFields& fields);
std::int32_t PlayAddClass(CMacro& macro, StepFields& fields);
std::int32_t PlayEditClass(CMacro& macro, StepFields& fields);
std::int32_t PlayUpClass(CMacro& macro, StepFields& fields);
std::int32_t PlayDownClass(CMacro& macro, StepFields& fields);
std::int32_t PlayDeleteClass(CMacro& macro, StepFields& fields);
std::int32_t PlayDispClass(CMacro& macro, StepFields& fields);
std::int32_t PlayOKClassDialog(CMacro& macro, StepFields& fields);
std::int32_t PlayCancelClassDialog(CMacro& macro, StepFields& fields);

// --- OLAP page: categories (players_category.cpp) ---
std::int32_t PlayDispCategory(CMacro& macro, StepFields& fields);
std::int32_t PlayDeleteCategory(CMacro& macro, StepFields& fields);
std::int32_t PlayImportCategory(CMacro& macro, StepFields& fields);
std::int32_t PlayExportCategory(CMacro& macro, StepFields& fields);
std::int32_t PlayInputCategoryName(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectCategoryType(CMacro& macro, StepFields& fields);
std::int32_t PlayEntryCategory(CMacro& macro, StepFields& fields);
std::int32_t PlayClearCategory(CMacro& macro, StepFields& fields);
std::int32_t PlayResetCategory(CMacro& macro, StepFields& fields);
std::int32_t PlayDispEditSmallClassDialog(CMacro& macro, StepFields& fields);
std::int32_t PlayDispEditMiddleClassDialog(CMacro& macro, StepFields& fields);
std::int32_t PlayDispEditLargeClassDialog(CMacro& macro, StepFields& fields);

// --- Data file (players_data_file.cpp) ---
std::int32_t PlaySaveZbw(CMacro& macro, StepFields& fields);

// --- Excel read dialog, and adding data (players_excel_read.cpp) ---
std::int32_t PlayAddData(CMacro& macro, StepFields& fields);
std::int32_t PlayDispExcelDialog(CMacro& macro, StepFields& fields);
std::int32_t PlayExcelSheetDelete(CMacro& macro, StepFields& fields);
std::int32_t PlayExcelSheetUp(CMacro& macro, StepFields& fields);
std::int32_t PlayExcelSheetDown(CMacro& macro, StepFields& fields);
std::int32_t PlayColumnInfoRead(CMacro& macro, StepFields& fields);
std::int32_t PlayColumnInfoDelete(CMacro& macro, StepFields& fields);
std::int32_t PlayColumnInfoUpdate(CMacro& macro, StepFields& fields);
std::int32_t PlayExcelReadExecute(CMacro& macro, StepFields& fields);
std::int32_t PlayExcelReadCancel(CMacro& macro, StepFields& fields);
std::int32_t PlayExcelAddExecute(CMacro& macro, StepFields& fields);
std::int32_t PlayColumnInfoReadNext(CMacro& macro, StepFields& fields);

// --- Set tree of the data-selection tab (players_sets.cpp) ---
std::int32_t PlayDeleteSet(CMacro& macro, StepFields& fields);
std::int32_t PlayPermitSetCollapse(CMacro& macro, StepFields& fields);
std::int32_t PlayExpandAllSet(CMacro& macro, StepFields& fields);
std::int32_t PlayCollapseAllSet(CMacro& macro, StepFields& fields);
std::int32_t PlayUnionSet(CMacro& macro, StepFields& fields);
std::int32_t PlayDifferenceSet(CMacro& macro, StepFields& fields);
std::int32_t PlayProductSet(CMacro& macro, StepFields& fields);
std::int32_t PlayComplementSet(CMacro& macro, StepFields& fields);
std::int32_t PlayInputSetName(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectSet(CMacro& macro, StepFields& fields);

// --- Filter conditions and their dialog (players_filter.cpp) ---
std::int32_t PlayExecuteFilter(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectFilterAndOr(CMacro& macro, StepFields& fields);
std::int32_t PlayDispAddFilterDialog(CMacro& macro, StepFields& fields);
std::int32_t PlayDispEditFilterDialog(CMacro& macro, StepFields& fields);
std::int32_t PlayDeleteFilter(CMacro& macro, StepFields& fields);
std::int32_t PlayInputFilterItem(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectFilterOperater1(CMacro& macro, StepFields& fields);
std::int32_t PlayInputFilterTerm1(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectFilterOperater2(CMacro& macro, StepFields& fields);
std::int32_t PlayInputFilterTerm2(CMacro& macro, StepFields& fields);
std::int32_t PlaySelectCodeStr(CMacro& macro, StepFields& fields);
std::int32_t PlayOKFilterDialog(CMacro& macro, StepFields& fields);
std::int32_t PlayCancelFilterDialog(CMacro& macro, StepFields& fields);

// --- Original-data window (players_data_view.cpp) ---
std::int32_t PlayData_CopyWithHead(CMacro& macro, StepFields& fields);
std::int32_t PlayData_Copy(CMacro& macro, StepFields& fields);
std::int32_t PlayData_OutToCsvWithHead(CMacro& macro, StepFields& fields);
std::int32_t PlayData_OutToCsv(CMacro& macro, StepFields& fields);
std::int32_t PlayData_OutToExcelWithHead(CMacro& macro, StepFields& fields);
std::int32_t PlayData_OutToExcel(CMacro& macro, StepFields& fields);
std::int32_t PlayData_SortUp(CMacro& macro, StepFields& fields);
std::int32_t PlayData_SortDown(CMacro& macro, StepFields& fields);
std::int32_t PlayData_SortOrg(CMacro& macro, StepFields& fields);
std::int32_t PlayData_DispByCode(CMacro& macro, StepFields& fields);
std::int32_t PlayDispItemDlg(CMacro& macro, StepFields& fields);
std::int32_t PlayData_Alignment(CMacro& macro, StepFields& fields);
std::int32_t PlayData_DispComma(CMacro& macro, StepFields& fields);
std::int32_t PlayData_DecimalDigit(CMacro& macro, StepFields& fields);
std::int32_t PlayData_AlignmentFree(CMacro& macro, StepFields& fields);
std::int32_t PlayData_SelectCell(CMacro& macro, StepFields& fields);
std::int32_t PlayData_SelectRow(CMacro& macro, StepFields& fields);
std::int32_t PlayData_SelectColumn(CMacro& macro, StepFields& fields);
std::int32_t PlayData_SelectAll(CMacro& macro, StepFields& fields);
std::int32_t PlayData_VScroll(CMacro& macro, StepFields& fields);
std::int32_t PlayData_HScroll(CMacro& macro, StepFields& fields);
std::int32_t PlayData_MouseWheel(CMacro& macro, StepFields& fields);
std::int32_t PlayData_ChengeSelectByKey(CMacro& macro, StepFields& fields);
std::int32_t PlayData_Close(CMacro& macro, StepFields& fields);
std::int32_t PlayData_Max(CMacro& macro, StepFields& fields);
std::int32_t PlayData_Min(CMacro& macro, StepFields& fields);
std::int32_t PlayData_Restore(CMacro& macro, StepFields& fields);
// --- Item window (players_item_window.cpp) ---
std::int32_t PlayCreateSet(CMacro& macro, StepFields& fields);
std::int32_t PlayToTopHitData(CMacro& macro, StepFields& fields);
std::int32_t PlayToPrevHitData(CMacro& macro, StepFields& fields);
std::int32_t PlayToNextHitData(CMacro& macro, StepFields& fields);
std::int32_t PlayToEndHitData(CMacro& macro, StepFields& fields);
std::int32_t PlayToTopItemData(CMacro& macro, StepFields& fields);
std::int32_t PlayToPrevItemData(CMacro& macro, StepFields& fields);
std::int32_t PlayToNextItemData(CMacro& macro, StepFields& fields);
std::int32_t PlayToEndItemData(CMacro& macro, StepFields& fields);
std::int32_t PlayChechStr(CMacro& macro, StepFields& fields);
std::int32_t PlayInputSearchTerm(CMacro& macro, StepFields& fields);
std::int32_t PlayDispGraph(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_SortUp(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_SortDown(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_SortReverse(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_CopyWithHead(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_Copy(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_OutToCsvWithHead(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_OutToCsv(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_OutToExcelWithHead(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_OutToExcel(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_RemoveSelection(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_RemoveOnlySelection(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_RemoveAll(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_RemoveSearchResult(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_RemoveOnlySearchResult(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_AddSelection(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_AddOnlySelection(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_AddAll(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_AddSearchResult(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_AddOnlySearchResult(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_DispComma(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_DecimalDigit(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_PercentDigit(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_Alignment(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_AlignmentFree(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_SelectCell(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_SelectRow(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_SelectColumn(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_SelectAll(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_VScroll(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_HScroll(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_MouseWheel(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_ChangeSelectByKey(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_PercentValue(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_Close(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_Max(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_Min(CMacro& macro, StepFields& fields);
std::int32_t PlayItem_Restore(CMacro& macro, StepFields& fields);
std::int32_t PlayOpenValListTab(CMacro& macro, StepFields& fields);
std::int32_t PlayOpenSummaryTab(CMacro& macro, StepFields& fields);

// --- Cross-tab window (players_cross.cpp) ---
std::int32_t PlayDorileDrillThrough(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_CopyAll(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_CopyWithHead(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_Copy(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_OutToCsvAll(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_OutToCsvWithHead(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_OutToCsv(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_OutToExcelAll(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_OutToExcelWithHead(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_OutToExcel(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_DecimalDigit(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_Alignment(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_AlignmentFree(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_Sort(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_OriginalDisplay(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_SelectCell(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_SelectRow(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_SelectColumn(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_SelectAll(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_VScroll(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_HScroll(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_MouseWheel(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_ChangeSelectByKey(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_Close(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_Max(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_Min(CMacro& macro, StepFields& fields);
std::int32_t PlayOlap_Restore(CMacro& macro, StepFields& fields);

// --- Aggregation window (players_molap_window.cpp) ---
std::int32_t PlayMolapCopy(CMacro& macro, StepFields& fields);
std::int32_t PlayMolapOutToCSV(CMacro& macro, StepFields& fields);
std::int32_t PlayMolapOutToExcel(CMacro& macro, StepFields& fields);
std::int32_t PlayMolapDrillThrough(CMacro& macro, StepFields& fields);
std::int32_t PlayMolapFilter(CMacro& macro, StepFields& fields);
std::int32_t PlayMolapFilterRelease(CMacro& macro, StepFields& fields);
std::int32_t PlayMolapClose(CMacro& macro, StepFields& fields);
std::int32_t PlayMolapMax(CMacro& macro, StepFields& fields);
std::int32_t PlayMolapMin(CMacro& macro, StepFields& fields);
std::int32_t PlayMolapRestore(CMacro& macro, StepFields& fields);
