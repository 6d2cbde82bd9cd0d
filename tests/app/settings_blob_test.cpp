// The settings blob: its bytes equal the layout, its size formula the bytes written, fixed
// text fields are cut on a character boundary, a damaged blob is refused with the message and
// changes nothing, and a blob written into a data file comes back as the state it was made of.
#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <memory>

#include "app/ckw_app.h"
#include "engine/kw_file.h"
#include "platform/core/cp932.h"
#include "platform/ui/scripted_prompts.h"
#include "tests/app/blob_fixture.h"
#include "tests/support/recording_console.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

using cp932::literal;

constexpr int kRecords = 40;  // maps of 8 bytes
const char* const kFailure = "内部データの取得に失敗しました";

// A blob assembled from the layout table; mark() names the offset of the next field.
class Golden {
public:
    Golden& i32(std::int32_t v) {
        for (int k = 0; k < 4; ++k)
            bytes_.push_back(static_cast<char>(static_cast<std::uint32_t>(v) >> (8 * k)));
        return *this;
    }
    Golden& raw(std::string_view b) {
        bytes_ += b;
        return *this;
    }
    Golden& field(std::string_view text, std::size_t size) {
        bytes_ += text;
        bytes_.append(size - text.size(), '\0');
        return *this;
    }
    Golden& mark(const std::string& name) {
        at_[name] = bytes_.size();
        return *this;
    }
    std::size_t at(const std::string& name) const { return at_.at(name); }
    const std::string& bytes() const { return bytes_; }

private:
    std::string bytes_;
    std::map<std::string, std::size_t> at_;
};

void patch(std::string& bytes, std::size_t at, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int k = 0; k < 4; ++k)
        bytes[at + k] = static_cast<char>(u >> (8 * k));
}

CStructDef oneItemStructure() {
    CStructDef def;
    def.title = "blob";
    def.itemCount = 1;
    def.items.resize(1);
    def.items[0].name = "n";
    def.items[0].type = 2;
    return def;
}

CategoryDefinition ageCategory() {
    CategoryDefinition c;
    c.name = literal("年代");
    c.valueType = 1;
    c.smallClasses = {{literal("若年"), 5, "30", ""}, {literal("中年"), 6, "30", "59"}};
    c.middleClasses = {{literal("全体"), literal("若年")}, {literal("全体"), literal("中年")}};
    c.largeClasses = {{"L", "Others"}};
    return c;
}

class SettingsBlob : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = std::make_unique<CKWApp>();
        app_->SetConsolePort(&console_);
        openDataSet(*app_, path_, kRecords);
    }

    CKWApp& app() { return *app_; }

    // Two sets (the second with a map, marked in the set tree) and one category.
    void fillState() {
        CKWApp& a = app();
        a.SetDefinitionLines({literal("Title=\"顧客\""), "Integer", "item=\"n\""});
        a.StructDef() = oneItemStructure();
        a.SetDisplayItems({0});
        SetRecord all{0, 0, "blob", "No.0 blob / 40", "", nullptr, 0, kRecords};
        SetRecord some{
            1, 3, literal("n>30"), literal("No.3 n>30 / 3"), "", mapOf(kRecords, {0, 5, 39}), 8, 3};
        a.SetSetList(4, {all, some});
        a.SetCategoryList({ageCategory()});
        a.InitCategories(0);
        a.InitConditionItems();
        ASSERT_EQ(a.KWmapSet(some.map), 3);
        console_.currentSetNo = 3;
    }

    // The blob of fillState(), from the layout table.
    Golden golden() const {
        CStructDef def = oneItemStructure();
        std::string_view view;
        const std::string image(view.data(), static_cast<std::size_t>(def.Save(&view)));
        const std::string text = literal("Title=\"顧客\"") + "\r\nInteger\r\nitem=\"n\"\r\n";
        const auto L = static_cast<std::int32_t>(text.size() + 1);
        const auto S = static_cast<std::int32_t>(image.size());
        const CategoryDefinition c = ageCategory();
        Golden g;
        g.mark("T").i32(8 + L + S).mark("L").i32(L).raw(text).raw(std::string(1, '\0'));
        g.mark("S").i32(S).mark("image").raw(image);
        g.mark("N").i32(1).i32(0).mark("words").i32(4).i32(3);
        g.mark("M")
            .i32(2)
            .mark("set0")
            .i32(0)
            .i32(0)
            .field("blob", 256)
            .field("No.0 blob / 40", 256)
            .i32(0);
        g.mark("set1")
            .i32(1)
            .i32(3)
            .field(literal("n>30"), 256)
            .field(literal("No.3 n>30 / 3"), 256);
        g.mark("set1 map length").i32(8);
        g.mark("C").i32(1).field(c.name, 128).i32(1).mark("small").i32(2);
        g.field(c.smallClasses[0].name, 128).i32(5).field("30", 256).field("", 256);
        g.field(c.smallClasses[1].name, 128).i32(6).field("30", 256).field("59", 256);
        g.mark("middle").i32(2);
        g.field(literal("全体"), 128).field(literal("若年"), 128);
        g.field(literal("全体"), 128).field(literal("中年"), 128);
        g.mark("large").i32(1).field("L", 128).field("Others", 128);
        // Records 0 and 5 in word 0, record 39 in word 1; each word little-endian.
        g.mark("K")
            .i32(1)
            .mark("map length")
            .i32(8)
            .mark("map")
            .raw(std::string("\0\0\0\x84\0\0\0\x01", 8));
        g.mark("end");
        return g;
    }

    void writeBlob(std::string_view blob) { ASSERT_EQ(KWwriteBlob(path_, blob), 0); }

    // Load mode 2 on the data file, as start-up reads it.
    std::int32_t readBack() {
        app().SetLoadMode(2);
        app().SetDataFilePath(path_);
        return app().ReadSettingsBlob();
    }

    TempDir dir_;
    std::string path_ = dir_.file("data.zbq");
    ui::ScriptedPrompts prompts_;
    RecordingConsole console_;
    std::unique_ptr<CKWApp> app_;
};

TEST_F(SettingsBlob, EqualsTheLayoutByteForByte) {
    fillState();
    const std::optional<std::string> blob = app().BuildSettingsBlob();
    ASSERT_TRUE(blob);
    const Golden g = golden();
    EXPECT_EQ(*blob, g.bytes());
    EXPECT_EQ(app().GetSettingsBlobSize(), blob->size());
    EXPECT_TRUE(prompts_.messages().empty());
}

TEST_F(SettingsBlob, SizeFormulaEqualsTheBytesWritten) {
    // Several maps, a later set without one, no display list, categories of every shape.
    fillState();
    std::vector<SetRecord> sets = app().Sets();
    sets.push_back({2, 5, "x", "y", "", mapOf(kRecords, {1, 2, 3}), 8, 3});
    sets.push_back({1, 6, "all again", "z", "", nullptr, 0, kRecords});
    app().SetSetList(7, sets);
    app().SetDisplayItems({});
    CategoryDefinition empty;
    empty.name = "empty";
    CategoryDefinition onlySmall = ageCategory();
    onlySmall.middleClasses.clear();
    onlySmall.largeClasses.clear();
    app().SetCategoryList({ageCategory(), empty, onlySmall, ageCategory()});

    const std::optional<std::string> blob = app().BuildSettingsBlob();
    ASSERT_TRUE(blob);
    std::string written;
    EXPECT_EQ(app().WriteSettingsBlob(written), static_cast<std::int32_t>(blob->size()));
    EXPECT_EQ(written, *blob);
    EXPECT_EQ(app().GetSettingsBlobSize(), blob->size());
    EXPECT_EQ(app().Block()->maps.size(), 3u) << "one byte string per set after the first";
    EXPECT_EQ(app().Block()->maps[2], "") << "a set without a map stands for all records";
}

TEST_F(SettingsBlob, EmptyDefinitionStillCarriesItsZeroByte) {
    fillState();
    app().SetDefinitionLines({});
    const std::optional<std::string> blob = app().BuildSettingsBlob();
    ASSERT_TRUE(blob);
    EXPECT_EQ(blob->substr(4, 5), std::string("\x01\0\0\0\0", 5)) << "L = 1, then the zero byte";
}

TEST_F(SettingsBlob, ScrambleReversesTheComplementsBits) {
    const struct {
        unsigned char plain, stored;
    } table[] = {{0x00, 0xFF}, {0x01, 0x7F}, {0x61, 0x79}, {0x80, 0xFE}, {0xFF, 0x00}};
    for (const auto& row : table) {
        char b = static_cast<char>(row.plain);
        CKWApp::ScrambleBlob(&b, 1);
        EXPECT_EQ(static_cast<unsigned char>(b), row.stored) << int(row.plain);
    }
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    std::string twice = all;
    CKWApp::ScrambleBlob(twice.data(), 256);
    EXPECT_NE(twice, all);
    CKWApp::ScrambleBlob(twice.data(), 256);
    EXPECT_EQ(twice, all);
    CKWApp::ScrambleBlob(twice.data(), 0);
    EXPECT_EQ(twice, all);
}

TEST_F(SettingsBlob, LongTextsAreCutOnACharacterBoundary) {
    std::string twoByte;
    for (int i = 0; i < 150; ++i)
        twoByte += literal("あ");  // 300 bytes
    const struct {
        std::string text;
        std::size_t kept;  // of a 256-byte field
    } rows[] = {{twoByte, 254}, {"a" + twoByte, 255}};
    for (const auto& row : rows) {
        fillState();
        std::vector<SetRecord> sets = app().Sets();
        sets[1].text1 = row.text;
        sets[1].text2 = row.text;
        app().SetSetList(4, sets);
        CategoryDefinition c = ageCategory();
        c.name = twoByte;  // a 128-byte field keeps 126
        c.smallClasses[0].value1 = row.text;
        app().SetCategoryList({c});
        const std::optional<std::string> blob = app().BuildSettingsBlob();
        ASSERT_TRUE(blob);
        ASSERT_EQ(app().DeserializeSettingsBlob(*blob), static_cast<std::int32_t>(blob->size()));

        const SettingsBlock& b = *app().Block();
        EXPECT_EQ(b.sets[1].text1, row.text.substr(0, row.kept));
        EXPECT_EQ(b.sets[1].text2, row.text.substr(0, row.kept));
        EXPECT_EQ(b.categories[0].name, twoByte.substr(0, 126));
        EXPECT_EQ(b.categories[0].smallClasses[0].value1, row.text.substr(0, row.kept));
    }
}

TEST_F(SettingsBlob, DamagedBlobsAreRefusedAndChangeNothing) {
    fillState();
    ASSERT_TRUE(app().BuildSettingsBlob());
    const Golden g = golden();
    const std::string& sound = g.bytes();
    // The state the blob would replace differs from the one it was made of.
    app().StructDef() = CStructDef();
    app().StructDef().title = "before";
    app().SetDisplayItems({});
    app().SetSetList(1, {});
    const std::string before = stateOf(app());
    const SettingsBlock blockBefore = *app().Block();

    struct Case {
        std::string name;
        std::string blob;
    };
    std::vector<Case> cases;
    const char* counts[] = {"T",     "L",      "S",     "N", "M",         "C",
                            "small", "middle", "large", "K", "map length"};
    for (const char* field : counts) {
        for (std::int32_t value : {-1, 0x10000000, std::numeric_limits<std::int32_t>::max()}) {
            std::string b = sound;
            patch(b, g.at(field), value);
            cases.push_back({std::string(field) + " = " + std::to_string(value), b});
        }
    }
    for (const char* part : {"L", "S", "image", "N", "words", "M", "set0", "set1", "C", "small",
                             "middle", "large", "K", "map length", "map"})
        cases.push_back({std::string("cut before ") + part, sound.substr(0, g.at(part))});
    cases.push_back({"cut inside the last map", sound.substr(0, sound.size() - 1)});
    cases.push_back({"empty", ""});
    cases.push_back({"a byte too many", sound + "x"});
    {
        std::string b = sound;
        patch(b, g.at("T"), 8 + 1);
        cases.push_back({"T wrong", b});
    }
    {
        // K = 0 with two sets; the blob otherwise whole.
        std::string b = sound.substr(0, g.at("K"));
        b += std::string(4, '\0');
        cases.push_back({"K != M - 1", b});
    }
    {
        std::string b = sound;
        patch(b, g.at("set1 map length"), 4);
        cases.push_back({"set's map length differs from its map", b});
    }
    {
        // Set and map agree on 4 bytes, but the loaded data set's maps have 8.
        std::string b = sound.substr(0, g.at("map") + 4);
        patch(b, g.at("set1 map length"), 4);
        patch(b, g.at("map length"), 4);
        cases.push_back({"map length differs from the loaded data set's", b});
    }
    {
        std::string b = sound.substr(0, g.at("S"));
        b += std::string(4, '\0') + sound.substr(g.at("N"));
        const std::int32_t L = static_cast<std::int32_t>(g.at("S") - g.at("L") - 4);
        patch(b, g.at("T"), 8 + L);
        cases.push_back({"no structure image", b});
    }
    {
        // The image's item count (after title "blob", header, separator, Alloc text and an
        // empty Alloc list) no longer agrees with its one item.
        std::string b = sound;
        patch(b, g.at("image") + 8 + 4 + 1 + 4 + 4, 2);
        cases.push_back({"bad structure image", b});
    }

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeBlob(c.blob);
        prompts_.clear();
        console_.calls.clear();
        EXPECT_EQ(readBack(), 0);
        ASSERT_EQ(prompts_.messages().size(), 1u);
        EXPECT_EQ(prompts_.messages()[0].text.toStdString(), kFailure);
        EXPECT_EQ(prompts_.messages()[0].icon, ui::Icon::Exclamation);
        EXPECT_EQ(console_.calls, (std::vector<std::string>{"StopProgress", "SetStatusText "}));
        EXPECT_EQ(stateOf(app()), before);
        ASSERT_NE(app().Block(), nullptr);
        EXPECT_EQ(*app().Block(), blockBefore);
    }

    // Every other cut is refused as well.
    for (std::size_t n = 0; n < sound.size(); ++n)
        ASSERT_EQ(app().DeserializeSettingsBlob(std::string_view(sound).substr(0, n)), -1) << n;
    EXPECT_EQ(stateOf(app()), before);
}

// Sound in its bytes, but not the structure of the data file it travels in: windows would look
// up items the file does not have. Refused as a file that cannot be opened, nothing taken over
// and the data set closed.
TEST_F(SettingsBlob, AStructureThatIsNotTheLoadedFilesIsRefused) {
    const struct {
        const char* name;
        void (*damage)(CStructDef&, std::vector<std::string>&);
    } rows[] = {
        {"an item number past the file's items",
         [](CStructDef& d, std::vector<std::string>&) { d.items[0].itemNo = 1; }},
        {"a negative item number",
         [](CStructDef& d, std::vector<std::string>&) { d.items[0].itemNo = -1; }},
        {"an item more than the file has",
         [](CStructDef& d, std::vector<std::string>&) {
             d.items.push_back(d.items[0]);
             d.items[1].itemNo = 1;
             d.itemCount = 2;
         }},
        {"no items",
         [](CStructDef& d, std::vector<std::string>&) {
             d.items.clear();
             d.itemCount = 0;
         }},
        {"a type the file's item does not have",
         [](CStructDef& d, std::vector<std::string>&) { d.items[0].type = 3; }},
        {"a type no definition has",
         [](CStructDef& d, std::vector<std::string>&) { d.items[0].type = 6; }},
        {"a code list for an item the file lacks",
         [](CStructDef& d, std::vector<std::string>&) {
             d.codeLists.resize(1);
             d.codeLists[0].itemNo = 1;
             d.codeLists[0].codes.resize(1);
         }},
        {"a separator no definition gives",
         [](CStructDef& d, std::vector<std::string>&) { d.separator = ';'; }},
        {"a zero separator", [](CStructDef& d, std::vector<std::string>&) { d.separator = '\0'; }},
        {"a comma beside a definition without NOTTAB",
         [](CStructDef& d, std::vector<std::string>&) { d.separator = ','; }},
        {"a TAB beside a definition with NOTTAB",
         [](CStructDef&, std::vector<std::string>& lines) { lines.push_back(" notTab "); }},
        {"a comma beside a NOTTAB that is only a comment",
         [](CStructDef& d, std::vector<std::string>& lines) {
             d.separator = ',';
             lines.push_back("// NOTTAB");
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (!app().Search().IsLoaded()) {
            ASSERT_EQ(app().Search().KWopen(path_, ""), 0);
        }
        fillState();
        std::vector<std::string> lines = app().GetDefinitionLines();
        row.damage(app().StructDef(), lines);
        app().SetDefinitionLines(lines);
        const std::optional<std::string> blob = app().BuildSettingsBlob();
        ASSERT_TRUE(blob);
        writeBlob(*blob);
        EXPECT_EQ(app().DeserializeSettingsBlob(*blob), -2) << "the layout itself is sound";

        app().StructDef() = oneItemStructure();
        app().StructDef().title = "before";
        const CStructDef structureBefore = app().GetStructDef();
        const SettingsBlock blockBefore = *app().Block();
        prompts_.clear();
        console_.calls.clear();
        EXPECT_EQ(readBack(), 0);
        ASSERT_EQ(prompts_.messages().size(), 1u);
        EXPECT_EQ(prompts_.messages()[0].text.toStdString(),
                  "ZBQファイルのオープンに失敗しました。");
        EXPECT_EQ(prompts_.messages()[0].icon, ui::Icon::Exclamation);
        EXPECT_EQ(console_.calls, (std::vector<std::string>{"StopProgress", "SetStatusText "}));
        EXPECT_TRUE(app().GetStructDef() == structureBefore);
        EXPECT_EQ(*app().Block(), blockBefore);
        EXPECT_FALSE(app().Search().IsLoaded());
    }
}

TEST_F(SettingsBlob, ACommaSeparatorLoadsBesideItsNotTabLine) {
    fillState();
    app().SetDefinitionLines({"Title=\"t\"", "NOTTAB // the data is CSV", "item=\"n\"", "Integer",
                              "endItem", "endTitle"});
    app().StructDef().separator = ',';
    const std::optional<std::string> blob = app().BuildSettingsBlob();
    ASSERT_TRUE(blob);
    writeBlob(*blob);
    app().StructDef() = CStructDef();
    ASSERT_EQ(readBack(), 1);
    EXPECT_EQ(app().GetStructDef().separator, ',');
    EXPECT_TRUE(prompts_.messages().empty());
}

TEST_F(SettingsBlob, WrittenIntoADataFileComesBackAsItWas) {
    fillState();
    const std::string saved = stateOf(app());
    const std::optional<std::string> blob = app().BuildSettingsBlob();
    ASSERT_TRUE(blob);
    ASSERT_EQ(app().KWwriteBlob(path_, *blob), 0);

    // A fresh run opens the data file and restores.
    app_.reset();
    app_ = std::make_unique<CKWApp>();
    app().SetConsolePort(&console_);
    ASSERT_EQ(app().Search().KWopen(path_, ""), 0);
    ASSERT_EQ(readBack(), 1);
    EXPECT_EQ(app().Block()->definitionText,
              literal("Title=\"顧客\"") + "\r\nInteger\r\nitem=\"n\"\r\n");
    app().RestoreDisplayList();
    ASSERT_EQ(app().RestoreSets(), 1);
    app().InitConditionItems();
    app().RestoreCategories();
    app().SelectRestoredSet();
    EXPECT_EQ(stateOf(app()), saved);
    EXPECT_EQ(app().GetRestoredSetNo(), 3);
    EXPECT_TRUE(prompts_.messages().empty());
}

TEST_F(SettingsBlob, NewerFormatStoresTheBlobTransformed) {
    fillState();
    std::optional<std::string> blob = app().BuildSettingsBlob();
    ASSERT_TRUE(blob);
    const SettingsBlock made = *app().Block();

    // The same data file at format version 120, its blob stored transformed.
    app().Search().KWclose();
    std::string file = readFile(path_);
    patch(file, 8, 120);
    writeFile(path_, file);
    CKWApp::ScrambleBlob(blob->data(), static_cast<std::int32_t>(blob->size()));
    writeBlob(*blob);
    ASSERT_EQ(app().Search().KWopen(path_, ""), 0);
    ASSERT_EQ(app().Search().KWgetVersion(), 120);

    ASSERT_EQ(readBack(), 1);
    EXPECT_EQ(*app().Block(), made);
}

TEST_F(SettingsBlob, FailedGrowthOfTheStructureImageIsTold) {
    fillState();
    app().StructDef().title.assign(5000, 'T');
    CByteStream::setGrowthLimit(4096);
    const std::optional<std::string> blob = app().BuildSettingsBlob();
    CByteStream::setGrowthLimit(0);
    EXPECT_FALSE(blob);
    ASSERT_EQ(prompts_.messages().size(), 1u);
    EXPECT_EQ(prompts_.messages()[0].text.toStdString(), kFailure);
    EXPECT_EQ(console_.callsStartingWith("StopProgress").size(), 1u);
}

}  // namespace
}  // namespace zbq::test
