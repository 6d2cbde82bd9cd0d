#include "windows/graph_data.h"

#include <charconv>

#include "app/ckw_app.h"
#include "platform/core/cp932.h"
#include "platform/core/shown_text.h"
#include "platform/ui/prompts.h"
#include "windows/item_texts.h"
#include "windows/value_list_model.h"

namespace zbq::windows {

std::string graphName(std::string_view name, std::size_t chars) {
    std::string out;
    std::size_t taken = 0;
    for (std::size_t i = 0; i < name.size() && taken < chars; ++taken) {
        const bool two =
            cp932::isLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size();
        if (two) {
            out.append(name.substr(i, 2));
            i += 2;
        } else {
            const char c = name[i++];
            // A TAB or line break would split the pair in the control's reading.
            out += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
        }
    }
    return out;
}

namespace {

std::string countWithoutCommas(const std::string& shown) {
    std::string digits;
    for (char c : shown)
        if (c != ',') digits += c;
    std::int64_t n = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), n);
    return plainInt(n);
}

}  // namespace

std::string BuildGraph(CKWApp& app, const ValueListModel& model, GraphOutput& output) {
    output.setFilePath(app.GetGraphTempPath());
    const std::int32_t rows = model.rowCount();
    std::string text;
    for (std::int32_t row = 0; row < rows; ++row) {
        if (row == kMaxGraphValues) {
            app.ShowError("データ数が多いため表示できません");
            return {};
        }
        text += graphName(model.cellText(row, model.valueColumn()));
        text += '\t';
        text += countWithoutCommas(model.cellText(row, model.countColumn()));
        if (row + 1 < rows) text += '\t';
    }
    if (rows > kAskGraphValues &&
        ui::prompts().message(
            app.windows().mainWindow(),
            QString::fromUtf8(ZBQ_SHOWN("データ数が多いため、見づらくなる可能性があります")),
            QString::fromUtf8(CKWApp::kCaption), ui::Icon::Information,
            ui::Buttons::OkCancel) != ui::Answer::Ok)
        return {};
    if (!text.empty() && text.back() == '\t') text.pop_back();
    output.setData(text);
    output.closeXls(app.GetGraphTempPath());
    output.exNormal();
    return text;
}

}  // namespace zbq::windows
