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

// --- Data file (players_data_file.cpp) ---
std::int32_t PlaySaveZbw(CMacro& macro, StepFields& fields);

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
