// Profile files read and write as Windows' private-profile calls do, on CP932 bytes, and an edit
// changes only the line it must.
#include "platform/core/profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/cp932.h"
#include "tests/platform_core/profile_fifo.h"
#include "tests/support/temp_dir.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using zbq::ProfileFile;
using zbq::cp932::literal;

const std::string kA = "\x83\x41";           // ア: trail byte 'A'
const std::string kSmallYa = "\x83\x61";     // ャ: trail byte 'a', the lower case of ア's
const std::string kCloseTrail = "\x83\x5D";  // a character whose trail byte is ']'

// Mixed LF and CR LF line ends, as files edited by hand have.
std::string fixture() {
    std::string f =
        "; settings\r\n"
        "orphan=before any section\n"
        "[Image]\r\n"
        "  Path = /data/images \t\r\n"
        "path=second\r\n"
        "Quoted=\"  spaced  \"\r\n"
        "Single='x'\r\n"
        "Mismatch=\"x'\r\n"
        "Empty=\r\n"
        "Num=  -42abc\r\n"
        "Plus=+7\r\n"
        "Text=abc\r\n"
        "Big=99999999999\r\n"
        "NegBig=-2147483649\r\n"
        "MinInt=-2147483648\r\n"
        "stray line without equals\r\n"
        "\r\n"
        "[MEMORY]\n"
        "MemoryReadCsvSize=50\n"
        "[image]\r\n"
        "Shadowed=yes\r\n";
    f += "[" + kA + "]\r\nk=a\r\n";
    f += "[" + kSmallYa + "]\r\nk=small ya\r\n";
    f += "[ " + kCloseTrail + " ]\r\nk=close trail\r\n";
    f += "[" + literal("マクロ") + "]\r\nName1=" + literal("集計") + "\r\n";
    return f;
}

TEST(Profile, ReadsStringsByWindowsRules) {
    const ProfileFile ini(fixture());
    struct Case {
        const char* what;
        std::string section, key, expected;
    };
    const std::string dflt = "DEFAULT";
    const Case cases[] = {
        {"trimmed around key and value", "Image", "Path", "/data/images"},
        {"names ignore ASCII case", "IMAGE", "pATH", "/data/images"},
        {"quotes removed, blanks inside kept", "image", "quoted", "  spaced  "},
        {"single quotes removed", "image", "single", "x"},
        {"unmatched quotes kept", "image", "mismatch", "\"x'"},
        {"present but empty is not the default", "image", "Empty", ""},
        {"missing key", "image", "Missing", dflt},
        {"missing section", "Nowhere", "Path", dflt},
        {"first section of a name wins", "image", "Shadowed", dflt},
        {"lines before a section belong to none", "", "orphan", dflt},
        {"a line without '=' is no key", "image", "stray line without equals", dflt},
        {"LF-only lines", "memory", "memoryreadcsvsize", "50"},
        {"trail byte not case-folded", kA, "k", "a"},
        {"trail byte not case-folded", kSmallYa, "k", "small ya"},
        {"']' as a trail byte does not close", kCloseTrail, "k", "close trail"},
        {"CP932 names and values", literal("マクロ"), "name1", literal("集計")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ini.getString(c.section, c.key, dflt), c.expected);
        EXPECT_EQ(ini.hasKey(c.section, c.key), c.expected != dflt);
    }
}

TEST(Profile, ReadsIntegersByWindowsRules) {
    const ProfileFile ini(fixture());
    struct Case {
        const char* key;
        int expected;
    };
    const Case cases[] = {
        {"Num", -42},
        {"Plus", 7},
        {"Text", 0},
        {"Empty", 0},
        {"Missing", 1234},
        {"Big", 2147483647},
        {"NegBig", -2147483647 - 1},
        {"MinInt", -2147483647 - 1},
        {"Path", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ini.getInt("image", c.key, 1234), c.expected);
    }
    EXPECT_EQ(ini.getInt("Memory", "MemoryReadCsvSize", 1), 50);
}

TEST(Profile, ListsSectionsAndKeysInFileOrder) {
    const ProfileFile ini(fixture());
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"Image", "MEMORY", kA, kSmallYa,
                                                            kCloseTrail, literal("マクロ")}));
    EXPECT_EQ(ini.keyNames("IMAGE"),
              (std::vector<std::string>{"Path", "Quoted", "Single", "Mismatch", "Empty", "Num",
                                        "Plus", "Text", "Big", "NegBig", "MinInt"}));
    EXPECT_TRUE(ini.hasSection("memory"));
    EXPECT_FALSE(ini.hasSection("print"));
    EXPECT_TRUE(ini.keyNames("print").empty());
}

TEST(Profile, UnchangedFileComesBackWithCrLf) {
    const std::string crlf = "; \x80\xFF raw bytes\r\n[a]\r\n  x = 1 \r\n\r\n";
    EXPECT_EQ(ProfileFile(crlf).bytes(), crlf);
    EXPECT_EQ(ProfileFile("[a]\nx=1").bytes(), "[a]\r\nx=1\r\n");
    EXPECT_EQ(ProfileFile("").bytes(), "");
}

TEST(Profile, EditsChangeOnlyWhatTheyMust) {
    struct Case {
        const char* what;
        std::string before;
        std::function<void(ProfileFile&)> edit;
        std::string after;
    };
    const std::string file = "; top\r\n[a]\r\nK = old\r\nx=1\r\n\r\n; about b\r\n[b]\r\ny=2\r\n";
    const Case cases[] = {
        {"value replaced in place, key spelling kept", file,
         [](ProfileFile& f) { f.setString("A", "k", "new"); },
         "; top\r\n[a]\r\nK =new\r\nx=1\r\n\r\n; about b\r\n[b]\r\ny=2\r\n"},
        {"new key after the section's last key", file,
         [](ProfileFile& f) { f.setString("a", "z", "3"); },
         "; top\r\n[a]\r\nK = old\r\nx=1\r\nz=3\r\n\r\n; about b\r\n[b]\r\ny=2\r\n"},
        {"new key in a section without keys", "[a]\r\n; note\r\n[b]\r\n",
         [](ProfileFile& f) { f.setString("a", "k", "v"); }, "[a]\r\nk=v\r\n; note\r\n[b]\r\n"},
        {"new section at the end, CR LF out", "[a]\nx=1",
         [](ProfileFile& f) { f.setString("print", "prt01", "1,Menu,file.mcr"); },
         "[a]\r\nx=1\r\n[print]\r\nprt01=1,Menu,file.mcr\r\n"},
        {"section deleted everywhere, up to the next header",
         "[a]\r\nx=1\r\n; about b\r\n[b]\r\ny=2\r\n; in b\r\n\r\n[c]\r\nz=3\r\n[B]\r\nw=4\r\n",
         [](ProfileFile& f) { f.deleteSection("b"); }, "[a]\r\nx=1\r\n; about b\r\n[c]\r\nz=3\r\n"},
        {"key deleted with its shadowed duplicate", "[a]\r\nx=1\r\nX=2\r\ny=3\r\n[b]\r\nx=4\r\n",
         [](ProfileFile& f) { f.deleteKey("a", "x"); }, "[a]\r\ny=3\r\n[b]\r\nx=4\r\n"},
        {"deleting what is not there changes nothing", file,
         [](ProfileFile& f) {
             f.deleteKey("a", "nothing");
             f.deleteKey("nowhere", "x");
             f.deleteSection("nowhere");
         },
         file},
        {"CP932 value written as bytes", "[a]\r\n",
         [](ProfileFile& f) { f.setString("a", "k", literal("ｺﾝｿｰﾙ①～")); },
         "[a]\r\nk=" + literal("ｺﾝｿｰﾙ①～") + "\r\n"},
        {"values that reading would alter are guarded by quotes", "[a]\r\n",
         [](ProfileFile& f) {
             f.setString("a", "blank", " x\t");
             f.setString("a", "quoted", "'q'");
             f.setString("a", "lone", "\"");
         },
         "[a]\r\nblank=\" x\t\"\r\nquoted=\"'q'\"\r\nlone=\"\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProfileFile f(c.before);
        c.edit(f);
        EXPECT_EQ(f.bytes(), c.after);
    }
}

TEST(Profile, EveryStorableValueReadsBackExactly) {
    const std::string values[] = {"",
                                  " ",
                                  "a b",
                                  "\"",
                                  "\"\"",
                                  "'x'",
                                  "\"a,b\",c,\"d\"",
                                  " lead",
                                  "trail\t",
                                  "=x=",
                                  literal("集計"),
                                  "[not a section]",
                                  "; not a comment"};
    ProfileFile f;
    for (const auto& v : values) {
        SCOPED_TRACE(v);
        ASSERT_TRUE(f.setString("s", "k", v));
        EXPECT_EQ(f.getString("s", "k"), v);
        EXPECT_EQ(ProfileFile(f.bytes()).getString("s", "k"), v);
    }
    EXPECT_TRUE(f.setString(kCloseTrail, "k", "v"));
    EXPECT_EQ(ProfileFile(f.bytes()).getString(kCloseTrail, "k"), "v");
}

TEST(Profile, RefusesNamesAndValuesTheFileCannotHold) {
    struct Case {
        const char* what;
        std::string section, key, value;
    };
    const Case cases[] = {
        {"empty section", "", "k", "v"},
        {"empty key", "s", "", "v"},
        {"blank around section", " s", "k", "v"},
        {"blank around key", "s", "k ", "v"},
        {"']' in section", "s]x", "k", "v"},
        {"lone lead byte ends section", "s\x83", "k", "v"},
        {"'=' in key", "s", "k=1", "v"},
        {"key like a comment", "s", ";k", "v"},
        {"key like a section", "s", "[k", "v"},
        {"LF in value", "s", "k", "x\ny"},
        {"CR in value", "s", "k", "x\ry"},
        {"NUL in value", "s", "k", std::string("x\0y", 3)},
        {"line break in section", "s\nt", "k", "v"},
    };
    const std::string before = "[s]\r\nk=old\r\n";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ProfileFile f(before);
        EXPECT_FALSE(f.setString(c.section, c.key, c.value));
        EXPECT_EQ(f.bytes(), before);
    }
}

TEST(Profile, LoadsAndSavesFiles) {
    zbq::test::TempDir dir;
    const std::string path = dir.file("ZBQ.ini");

    ProfileFile ini(fixture());
    int err = 0;
    ASSERT_TRUE(ProfileFile::load(path, ini, &err)) << "a missing file reads as empty";
    EXPECT_TRUE(ini.sectionNames().empty());

    zbq::test::writeFile(path, fixture());
    ASSERT_TRUE(ProfileFile::load(path, ini, &err));
    ASSERT_TRUE(ini.setString("image", "path", "/new"));
    ASSERT_TRUE(ini.save(path, &err));
    ProfileFile again;
    ASSERT_TRUE(ProfileFile::load(path, again, &err));
    EXPECT_EQ(again.getString("Image", "Path"), "/new");
    EXPECT_EQ(zbq::test::readFile(path), ini.bytes());

    ProfileFile kept("[keep]\r\n");
    EXPECT_FALSE(ProfileFile::load(dir.path(), kept, &err));
    EXPECT_EQ(err, EISDIR);
    EXPECT_TRUE(kept.hasSection("keep")) << "a failed load leaves the profile as it was";

    EXPECT_FALSE(ini.save(dir.file("no/such/folder/ZBQ.ini"), &err));
    EXPECT_EQ(err, ENOENT);
}

// Many editors start a UTF-8 file with a byte-order mark; it must not become part of the first
// section's name, and a rewrite keeps it where it was.
TEST(Profile, ByteOrderMarkIsSkippedAndKept) {
    const std::string bom = "\xEF\xBB\xBF";
    ProfileFile f(bom + "[image]\r\npath=/x\r\n[print]\r\nprt01=1,a,b\r\n");
    EXPECT_EQ(f.getString("image", "path"), "/x");
    EXPECT_EQ(f.sectionNames(), (std::vector<std::string>{"image", "print"}));
    ASSERT_TRUE(f.setString("image", "path", "/y"));
    EXPECT_EQ(f.bytes(), bom + "[image]\r\npath=/y\r\n[print]\r\nprt01=1,a,b\r\n");
    EXPECT_EQ(ProfileFile("[a]\r\nk=" + bom + "\r\n").getString("a", "k"), bom)
        << "only a mark at the start of the file is one";

    zbq::test::TempDir dir;
    zbq::test::writeFile(dir.file("ZBQ.ini"), bom + "[image]\npath=/z\n");
    ProfileFile loaded;
    ASSERT_TRUE(ProfileFile::load(dir.file("ZBQ.ini"), loaded));
    EXPECT_EQ(loaded.getString("Image", "Path"), "/z");
}

// The one-pass reading and writing of a whole section agree with reading and writing it key by
// key, the way every profile call did before.
TEST(Profile, WholeSectionAgreesWithKeyByKey) {
    const std::string file =
        "[print]\r\n; list\r\nPRT02=two\r\nprt01 = one \r\nprt02=shadowed\r\n" + kA +
        "=a\r\nstray\r\nold=x\r\n\r\n" + "[other]\r\nprt01=elsewhere\r\n[PRINT]\r\nprt09=again\r\n";
    ProfileFile f(file);
    std::vector<ProfileFile::Entry> expected;
    for (const std::string& key : f.keyNames("print"))
        expected.push_back({key, f.getString("print", key)});
    EXPECT_EQ(f.entries("print"), expected);
    EXPECT_EQ(f.entries("print").size(), 4u);
    EXPECT_TRUE(f.entries("missing").empty());

    const std::vector<std::vector<ProfileFile::Entry>> writes = {
        {{"prt01", "1"}, {"prt02", "2"}, {"prt03", " new "}, {"prt04", "4"}},
        {{"PRT02", "only"}},
        {{kSmallYa, "ya"}, {kA, "A"}},
        {},
    };
    for (const auto& keys : writes) {
        ProfileFile oneByOne(file);
        for (const auto& entry : keys)
            ASSERT_TRUE(oneByOne.setString("print", entry.key, entry.value));
        for (const std::string& key : oneByOne.keyNames("print")) {
            bool written = false;
            for (const auto& entry : keys)
                written = written || zbq::cp932::equalsNoCase(entry.key, key);
            if (!written) oneByOne.deleteKey("print", key);
        }
        ProfileFile whole(file);
        ASSERT_TRUE(whole.setSectionKeys("print", keys));
        EXPECT_EQ(whole.entries("print"), oneByOne.entries("print"));
        EXPECT_EQ(whole.getString("other", "prt01"), "elsewhere");
        EXPECT_EQ(whole.getString("PRINT", "prt09"), "") << "the first header is the section";
        EXPECT_NE(whole.bytes().find("; list\r\n"), std::string::npos);
    }
    // In place, in the key's own spelling; new keys after the last key line.
    ProfileFile f2("[s]\r\n; c\r\nK1 = a\r\nx=y\r\n\r\n[t]\r\n");
    ASSERT_TRUE(f2.setSectionKeys("s", {{"k1", "b"}, {"k2", "c"}}));
    EXPECT_EQ(f2.bytes(), "[s]\r\n; c\r\nK1 =b\r\nk2=c\r\n\r\n[t]\r\n");
    ProfileFile f3("[t]\r\n");
    ASSERT_TRUE(f3.setSectionKeys("s", {{"k", "v"}}));
    EXPECT_EQ(f3.bytes(), "[t]\r\n[s]\r\nk=v\r\n");
    // Nothing is written when one value could not be stored.
    ProfileFile f4(file);
    EXPECT_FALSE(f4.setSectionKeys("print", {{"prt01", "ok"}, {"prt02", std::string("a\0b", 3)}}));
    EXPECT_FALSE(f4.setSectionKeys("print", {{"prt01", "ok"}, {"prt02", "a\rb"}}));
    EXPECT_EQ(f4.bytes(), ProfileFile(file).bytes());
}

TEST(Profile, FoldedNamesEqualExactlyWhenNamesCompareEqual) {
    const std::vector<std::string> names = {"prt01",  "PRT01", "Prt01", "prt1",  kA,
                                            kSmallYa, "\x83",  "a\x83", "A\x83", "\x83\x83"};
    for (const auto& a : names)
        for (const auto& b : names)
            EXPECT_EQ(zbq::profileFoldedName(a) == zbq::profileFoldedName(b),
                      zbq::cp932::equalsNoCase(a, b))
                << a << " / " << b;
}

// A profile read from a FIFO would block for good, one read from a device without end: both are
// refused before a byte is read, as is a file too big to be one of ours.
TEST(Profile, OnlyARegularFileOfSaneSizeIsRead) {
    zbq::test::TempDir dir;
    const std::string fifo = dir.file("fifo.ini");
    {
        zbq::test::FifoWatchdog watchdog(fifo);
        ASSERT_TRUE(watchdog.made());
        ProfileFile kept("[keep]\r\n");
        int err = 0;
        EXPECT_FALSE(ProfileFile::load(fifo, kept, &err));
        EXPECT_EQ(err, EINVAL);
        EXPECT_FALSE(watchdog.unblocked()) << "the reader waited on the FIFO";
        EXPECT_TRUE(kept.hasSection("keep"));
    }

    const std::string zero = dir.file("zero.ini");
    ASSERT_EQ(::symlink("/dev/zero", zero.c_str()), 0);
    ProfileFile out;
    int err = 0;
    EXPECT_FALSE(ProfileFile::load(zero, out, &err));
    EXPECT_EQ(err, EINVAL);

    const std::string big = dir.file("big.ini");
    for (const std::size_t size : {ProfileFile::kMaxBytes, ProfileFile::kMaxBytes + 1}) {
        const int fd = ::open(big.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const std::string head = "[image]\npath=/big\n";
        ASSERT_EQ(::write(fd, head.data(), head.size()), static_cast<ssize_t>(head.size()));
        ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
        ::close(fd);
        err = 0;
        const bool loaded = ProfileFile::load(big, out, &err);
        EXPECT_EQ(loaded, size == ProfileFile::kMaxBytes) << size;
        if (loaded)
            EXPECT_EQ(out.getString("image", "path"), "/big");
        else
            EXPECT_EQ(err, EFBIG);
    }
}

// Saving is held to the same limit as loading: what is written can always be read again. Lines
// read with LF ends grow by a CR each when written, so a file within the limit can pass it.
TEST(Profile, SaveBeyondTheLimitIsRefusedAndWritesNothing) {
    zbq::test::TempDir dir;
    const std::string path = dir.file("ZBQ.ini");
    const std::string key = "[big]\r\nk=";
    for (const std::size_t size : {ProfileFile::kMaxBytes, ProfileFile::kMaxBytes + 1}) {
        const ProfileFile big(key + std::string(size - key.size() - 2, 'v') + "\n");
        ASSERT_EQ(big.bytes().size(), size);
        int err = 0;
        const bool saved = big.save(path, &err);
        EXPECT_EQ(saved, size == ProfileFile::kMaxBytes) << size;
        if (!saved) {
            EXPECT_EQ(err, EFBIG);
        }
        // The limit's own file was written and reads back; the larger one left it as it was.
        EXPECT_EQ(std::filesystem::file_size(path), ProfileFile::kMaxBytes);
        ProfileFile back;
        EXPECT_TRUE(ProfileFile::load(path, back));
    }
}

}  // namespace
