// The numbers of ZBQIniViewer's texts in its string table (resources/strings/ZBQIniViewer.*.json).
#pragma once

namespace zbq::settings::ids {

enum : int {
    AboutMenuItem = 101,

    Caption = 10000,
    HeaderNumber = 10004,
    HeaderMenuName = 10005,
    HeaderMacroFile = 10006,
    FileMissing = 10007,  // %s: the settings file's path
    TipAdd = 10008,
    TipDelete = 10009,
    TipEdit = 10010,
    TipSave = 10011,
    TipClose = 10012,
    TipList = 10013,
    TipBrowse = 10014,
    TipLinkFolder = 10015,
    ChooseLinkFolder = 10016,
    InvalidEntry = 10017,    // %s %s: key, value
    DuplicateEntry = 10018,  // %s %s: key, value
    NoLinkFolder = 10019,
    WriteFailed = 10020,  // %s: the system's error text
    SavedExitQuestion = 10021,
    TooManyEntries = 10022,
    SelectToDelete = 10023,
    DeleteQuestion = 10024,
    SelectToEdit = 10025,
    HelpFailed = 10026,
    CommaRefused = 10027,
    ChooseMacroFileInList = 10028,
    TipNumber = 10029,
    TipMenuName = 10030,
    TipMacroFile = 10031,
    TipEntryBrowse = 10032,
    TipCancel = 10033,
    AddButton = 10034,
    AddTitle = 10035,
    TipAddOk = 10036,
    EditButton = 10037,
    EditTitle = 10038,
    TipEditOk = 10039,
    ChooseMacroFile = 10040,
    MenuNameRequired = 10041,
    MacroFileRequired = 10042,
    AddQuestion = 10043,
    UpdateQuestion = 10044,
    NotStorable = 10045,  // %s: the text that CP932 cannot hold
    ChangedElsewhere = 10046,
    MoreRefused = 10047,  // %s: how many more entries were refused

    MenuFile = 30001,
    MenuSave = 30002,
    MenuExit = 30003,
    MenuBrowse = 30004,
    MenuFormat = 30005,
    MenuAdd = 30006,
    MenuEdit = 30007,
    MenuDelete = 30008,
    MenuHelp = 30009,
    MenuHelpItem = 30010,
    MenuAbout = 30011,

    AboutText = 30101,
    AboutTitle = 30102,

    LabelLinkFolder = 30201,
    ButtonBrowse = 30202,
    ButtonAdd = 30203,
    ButtonEdit = 30204,
    ButtonDelete = 30205,
    GroupFormat = 30206,
    ButtonSave = 30207,
    ButtonClose = 30208,

    EntryTitle = 30301,
    LabelNumber = 30302,
    LabelMenuName = 30303,
    LabelMacroFile = 30304,
    EntryBrowse = 30305,
    EntryOk = 30306,
    EntryCancel = 30307,
};

}  // namespace zbq::settings::ids
