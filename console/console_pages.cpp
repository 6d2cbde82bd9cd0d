#include "console/console_pages.h"
#include "platform/core/shown_text.h"

namespace {

struct PageInfo {
    ConsolePage page;
    int tab;  // -1: no tab
    const char* caption;
    const char* openStep;
};

constexpr PageInfo kPages[] = {
    {ConsolePage::System, 0, ZBQ_SHOWN("ｼｽﾃﾑ"), "OpenSystemTab"},
    {ConsolePage::ItemSelection, 1, ZBQ_SHOWN("項目選択"), "OpenItemSelTab"},
    {ConsolePage::DataSelection, 2, ZBQ_SHOWN("ﾃﾞｰﾀ選択"), "OpenDataSelTab"},
    {ConsolePage::Olap, -1, ZBQ_SHOWN("ﾘｱﾙﾀｲﾑOLAP"), "OpenOlapTab"},
    {ConsolePage::Molap, 3, ZBQ_SHOWN("多次元集計"), "OpenMolapTab"},
    {ConsolePage::Log, 4, ZBQ_SHOWN("ﾛｸﾞ"), "OpenLogTab"},
};

const PageInfo& infoOf(ConsolePage page) {
    for (const PageInfo& info : kPages)
        if (info.page == page) return info;
    return kPages[0];
}

}  // namespace

std::optional<int> consoleTabOf(ConsolePage page) {
    const int tab = infoOf(page).tab;
    return tab < 0 ? std::nullopt : std::optional<int>(tab);
}

std::optional<ConsolePage> consolePageAtTab(int tab) {
    for (const PageInfo& info : kPages)
        if (info.tab >= 0 && info.tab == tab) return info.page;
    return std::nullopt;
}

const char* consolePageCaption(ConsolePage page) {
    return infoOf(page).caption;
}

const char* consoleOpenTabStep(ConsolePage page) {
    return infoOf(page).openStep;
}
