// Whatever the macro file's readers accept, the writer writes back so that reading it again gives
// the same macros, steps and structure, and the file it writes reads without a question. Checked
// over a corpus of damaged files (data/round_trip/) and over seeded random damage of written files.
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <set>

#include "tests/macro/macro_fixture.h"
#include "tests/support/temp_dir.h"

namespace zbq::test {
namespace {

std::string shown(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes.substr(0, 4000)) {
        if (c == '\n') {
            out += "\\n\n";
        } else if (c < 0x20 || c == 0x7F) {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

class MacroFileRoundTrip : public MacroTest {
protected:
    MacroFileRoundTrip() {
        app.StructDef() = everyItemType();
        app.SetLoadMode(2);
    }

    // Reads `bytes` as start-up does (or imports them into the current structure), answering Yes
    // to every question, then checks that what was read survives a write and a read.
    void roundTrip(const std::string& bytes, bool import, const std::string& label) {
        SCOPED_TRACE(label + (import ? " (import)" : " (start-up)"));
        writeFile(in, bytes);
        CMacro first(app);
        prompts.clear();
        for (int i = 0; i < 100; ++i)
            prompts.answer(ui::Answer::Yes);
        if (import) {
            ASSERT_EQ(first.LoadStructureDefinition(), 1);
            first.ImportMacroFile(in);
        } else {
            ASSERT_EQ(first.ReadMacroFile(in), 1);
        }
        prompts.clear();
        lastRead = first.Macros();
        ASSERT_EQ(first.WriteMacroFile(out), 1) << lastMessage() << "\nfrom the file:\n"
                                                << shown(bytes);
        const std::string written = readFile(out);

        CMacro second(app);
        ASSERT_EQ(second.ReadMacroFile(out), 1);
        EXPECT_TRUE(messages().empty()) << lastMessage() << "\nwritten:\n" << shown(written);
        EXPECT_EQ(second.Macros(), first.Macros()) << "from the file:\n" << shown(bytes);
        EXPECT_EQ(second.StructureBlock(), first.StructureBlock());
        ASSERT_EQ(second.WriteMacroFile(out), 1);
        EXPECT_EQ(readFile(out), written) << "the writer's file is not its own fixed point";
    }

    std::vector<MacroRecord> lastRead;  // what the last roundTrip read first
    TempDir dir;
    const std::string in = dir.file("in.mcr");
    const std::string out = dir.file("out.mcr");
};

// Each file is named for its damage; `kept` is how many macros it keeps when every question is
// answered Yes, at start-up and on import alike (0: refused, or every macro skipped).
TEST_F(MacroFileRoundTrip, EveryFileOfTheCorpusReadsBackAsItWasRead) {
    const std::map<std::string, std::size_t> kept = {
        {"blanks_quotes_and_case.mcr", 2},
        {"brackets_and_equals_at_line_starts.mcr", 2},
        {"cr_before_line_end.mcr", 0},
        {"cr_in_name.mcr", 0},
        {"cr_in_profile_quotes.mcr", 0},
        {"cr_in_quoted_value.mcr", 0},
        {"cr_in_structure_group.mcr", 0},
        {"lead_bytes_at_value_ends.mcr", 2},
        {"lf_line_ends_no_final_end.mcr", 2},
        {"lone_cr_in_explanation.mcr", 2},
        {"lone_lead_byte_before_line_break.mcr", 2},
        {"nul_in_explanation.mcr", 0},
        {"nul_in_step.mcr", 0},
        {"over_long_lines.mcr", 2},
        {"sections_and_keys_repeated.mcr", 2},
        {"skipped_macros.mcr", 3},
    };
    std::set<std::string> seen;
    for (const auto& entry :
         std::filesystem::directory_iterator(ZBQ_MACRO_DATA_DIR "/round_trip")) {
        const std::string name = entry.path().filename().string();
        seen.insert(name);
        ASSERT_TRUE(kept.count(name)) << name << " has no expectation";
        const std::string bytes = readFile(entry.path().string());
        for (bool import : {false, true}) {
            roundTrip(bytes, import, name);
            EXPECT_EQ(lastRead.size(), kept.at(name)) << name << (import ? " (import)" : "");
        }
    }
    EXPECT_EQ(seen.size(), kept.size());
}

// Random damage of two written files: bytes and lines inserted, replaced, repeated and removed,
// with the bytes that matter to the layout (line ends, NUL, "=", brackets, quotes, blanks, lead
// bytes) drawn most often. The seed and the number of rounds can be raised for a longer hunt.
TEST_F(MacroFileRoundTrip, RandomDamageNeverMakesAFileThatReadsButDoesNotWriteBack) {
    const char* seedText = std::getenv("ZBQ_MACRO_FUZZ_SEED");
    const char* roundsText = std::getenv("ZBQ_MACRO_FUZZ_ROUNDS");
    const unsigned seed =
        seedText ? static_cast<unsigned>(std::strtoul(seedText, nullptr, 10)) : 19;
    const int rounds = roundsText ? std::atoi(roundsText) : 150;

    // A second base with the values reading would alter and quoted steps.
    ASSERT_EQ(macro.LoadStructureDefinition(), 1);
    macro.AddMacro(" spaced ", cp932::literal("説明<改行>二行目"),
                   {"'quoted'", "InputSearchTerm,1,\"a \"\"b\"\"\"", "SelectSet,1 "});
    macro.AddMacro(cp932::literal("表示"), "", {std::string(1500, 'x'), "\"\""});
    ASSERT_EQ(macro.WriteMacroFile(out), 1);
    const std::string bases[] = {readFile(ZBQ_MACRO_DATA_DIR "/two_macros.mcr"), readFile(out)};

    static const char kBytesThatMatter[] = "\r\n\0=[]\"' \t;,<>\x81\x82\x5c\xe0\xfc\xff";
    const std::string bytesThatMatter(kBytesThatMatter, sizeof kBytesThatMatter - 1);
    const std::vector<std::string> lines = {cp932::literal("[マクロ]"),
                                            cp932::literal("[構造定義]"),
                                            cp932::literal("[ファイル]"),
                                            "Name3=new",
                                            "StepCnt3=1",
                                            "Step3_1=DispConsole",
                                            "Exp1=x\ry",
                                            "name1=lower",
                                            " Name1 = spaced ",
                                            "Name1=\"quoted\"",
                                            "Step1_1='single'",
                                            ";Name1=comment",
                                            "Step2_1=\"a\rb\"",
                                            std::string("Name2=a\0b", 9),
                                            "ItemType1=String",
                                            "Code2_3=3",
                                            "StepCnt1=0",
                                            std::string(3000, 'x')};
    std::mt19937 random(seed);
    int keeping = 0;
    const auto below = [&](std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const auto lineStart = [&](const std::string& s) {
        std::size_t at = below(s.size() + 1);
        while (at > 0 && s[at - 1] != '\n')
            --at;
        return at;
    };
    for (int round = 0; round < rounds; ++round) {
        std::string s = bases[below(2)];
        for (std::size_t edits = 1 + below(4); edits > 0; --edits) {
            switch (below(7)) {
                case 0:
                    s.insert(below(s.size() + 1), 1,
                             bytesThatMatter[below(bytesThatMatter.size())]);
                    break;
                case 6:
                    s.insert(below(s.size() + 1), 1, static_cast<char>(below(256)));
                    break;
                case 1:
                    if (!s.empty())
                        s[below(s.size())] = bytesThatMatter[below(bytesThatMatter.size())];
                    break;
                case 2: {
                    const std::size_t at = below(s.size() + 1);
                    s.erase(at, 1 + below(16));
                    break;
                }
                case 3: {
                    const std::size_t from = lineStart(s);
                    const std::size_t end = s.find('\n', from);
                    const std::string line =
                        s.substr(from, end == std::string::npos ? s.npos : end - from + 1);
                    s.insert(lineStart(s), line);
                    break;
                }
                case 4: {
                    const std::size_t from = lineStart(s);
                    const std::size_t end = s.find('\n', from);
                    s.erase(from, end == std::string::npos ? s.npos : end - from + 1);
                    break;
                }
                default:
                    s.insert(lineStart(s), lines[below(lines.size())] + "\r\n");
                    break;
            }
        }
        roundTrip(s, round % 3 == 2, "round " + std::to_string(round));
        if (HasFailure()) break;
        if (!lastRead.empty()) ++keeping;
    }
    // Damage that only ever made files refused would test nothing.
    EXPECT_GT(keeping, rounds / 5);
}

}  // namespace
}  // namespace zbq::test
