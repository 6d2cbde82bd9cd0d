// The text import on any file: its names are read and OK is pressed. Either the import is
// refused with a message and leaves nothing in temp/, or the definition it wrote is taken by
// the definition parser under the names read, and every cell of every data line reaches the
// builder's fields as the file holds it.
#include "app/ckw_app.h"  // first: the engine's headers must precede Qt's keyword macros

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/text_read_model.h"
#include "engine/kw_create_csv.h"
#include "platform/ui/scripted_prompts.h"

namespace {

std::string g_dir;
zbq::ui::ScriptedPrompts* g_prompts = nullptr;

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool tempEmpty() {
    std::error_code ec;
    return std::filesystem::directory_iterator(g_dir + "/temp", ec) ==
           std::filesystem::directory_iterator();
}

// The lines of the file as the import reads them.
std::vector<std::string> linesOf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    std::string line;
    while (zbq::app::nextTextLine(in, line))
        lines.push_back(line);
    return lines;
}

void check(bool holds) {
    if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    static zbq::ui::ScriptedPrompts prompts;
    zbq::ui::setPrompts(&prompts);
    g_prompts = &prompts;
    char pattern[] = "/tmp/text_import_fuzz.XXXXXX";
    g_dir = ::mkdtemp(pattern);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = g_dir + "/in.txt";
    std::ofstream(path, std::ios::binary) << bytes;
    std::filesystem::remove_all(g_dir + "/temp");
    g_prompts->clear();

    CKWApp app;
    app.SetProgramDir(g_dir);
    zbq::app::TextReadModel model(app, {path});
    model.setTitle("t");
    if (!model.ReadItemNames(0)) {
        check(!g_prompts->messageTexts().empty());
        return 0;
    }
    const std::vector<zbq::app::ImportItem> items = model.items();
    if (model.OnOK() != zbq::app::TextReadModel::Outcome::Accepted) {
        check(!g_prompts->messageTexts().empty());
        check(tempEmpty());
        return 0;
    }
    check(g_prompts->messageTexts().empty());

    // The definition loads under the names read.
    const std::string definition = model.outputPath();
    const std::string text = definition.substr(0, definition.size() - 4) + ".dat";
    app.SetLoadMode(1);
    app.SetDefinitionPath(definition);
    app.SetTextDataPath(text);
    check(app.ReadDefinitionFile() != 0 && app.ParseDefinitionFile() != 0);
    const CStructDef& def = app.GetStructDef();
    check(def.title == "t" && def.items.size() == items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        check(def.items[i].name == items[i].name && def.items[i].csvColumn == items[i].column - 1);

    // Every data line's cells are the builder's fields, in order.
    const std::vector<std::string> lines = linesOf(bytes);
    const std::string written = readBytes(text);
    CsvLineReader reader;
    reader.openBytes(written);
    std::string_view line;
    std::vector<std::string_view> fields;
    std::size_t n = 1;
    while (reader.next(line) == 1) {
        check(n < lines.size() && !reader.lineHasNul());
        SplitCsvLine(line, '\t', fields);
        const std::vector<std::string> cells = zbq::app::splitAtTabs(lines[n]);
        for (std::size_t k = 0; k < std::max(cells.size(), fields.size()); ++k) {
            const std::string_view field = k < fields.size() ? fields[k] : std::string_view();
            const std::string_view cell = k < cells.size() ? cells[k] : std::string_view();
            check(field == cell);
        }
        ++n;
    }
    check(n == lines.size());
    return 0;
}
