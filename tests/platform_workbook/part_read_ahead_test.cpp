// A part inflated ahead on a worker reads as the stream itself would: every byte once and in
// order, whatever the reader asks for at a time, then the stream's own end or failure; and a
// reader that stops early lets the worker go.
#include <gtest/gtest.h>
#include <zip.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/workbook/part_read_ahead.h"
#include "platform/workbook/zip_part_stream.h"
#include "tests/platform_workbook/workbook_test_support.h"
#include "tests/support/temp_dir.h"

namespace {

using zbq::test::RawZipEntry;
using zbq::test::TempDir;
using zbq::workbook::PartReadAhead;
using zbq::workbook::ZipPartStream;

// Lines that differ one from the next, so that a chunk lost, repeated or swapped shows.
std::string numberedLines(std::size_t bytes) {
    std::string text;
    for (std::size_t n = 0; text.size() < bytes; ++n)
        text += "<row r=\"" + std::to_string(n) + "\">" + std::to_string(n * 7919 % 100003) +
                "</row>\n";
    return text;
}

// Some slots' worth, and a tail that fills none of them.
const std::string& partText() {
    static const std::string text = numberedLines(9 * PartReadAhead::kSlotSize + 12345);
    return text;
}

// The ring's size is told by the part's: the smallest ring (two slots) wraps many times over
// the part, one sized to the part never does.
constexpr std::uint64_t kSmallestRing = 1;

struct OpenPart {
    struct Closer {
        void operator()(zip_t* z) const { zip_discard(z); }
    };
    std::unique_ptr<zip_t, Closer> archive;
    ZipPartStream stream;
    zip_uint64_t size = 0;
};

// The archive of one entry, `damage` done to it, and its stream opened.
void openPart(const TempDir& dir, const std::function<void(RawZipEntry&)>& damage, OpenPart& part) {
    RawZipEntry entry = zbq::test::deflatedEntry("xl/worksheets/sheet1.xml", partText());
    damage(entry);
    const std::string path = dir.file("part.zip");
    zbq::test::writeFile(path, zbq::test::rawZip({entry}));
    int error = 0;
    part.archive.reset(zip_open(path.c_str(), ZIP_RDONLY, &error));
    ASSERT_NE(part.archive, nullptr);
    zip_stat_t st;
    ASSERT_EQ(zip_stat_index(part.archive.get(), 0, 0, &st), 0);
    part.size = st.size;
    std::string why;
    ASSERT_TRUE(part.stream.open(part.archive.get(), 0, st, &why)) << why;
}

// What the reader gets, `each` bytes asked for at a time, and how the part ends (0 or -1).
long long readAll(PartReadAhead& ahead, std::size_t each, std::string& out) {
    std::string buffer(each, '\0');
    for (;;) {
        const long long got = ahead.read(buffer.data(), each);
        if (got <= 0) return got;
        EXPECT_LE(static_cast<std::size_t>(got), each);
        out.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

TEST(PartReadAhead, HandsOutEveryByteInOrderWhateverTheReaderAsksFor) {
    for (const std::size_t each : {std::size_t{7}, std::size_t{4093}, PartReadAhead::kSlotSize,
                                   PartReadAhead::kSlotSize * 3 + 1})
        for (const bool smallest : {true, false}) {
            SCOPED_TRACE(std::to_string(each) +
                         (smallest ? " at a time, two slots" : " at a time"));
            TempDir dir;
            OpenPart part;
            openPart(
                dir, [](RawZipEntry&) {}, part);
            std::string read;
            {
                PartReadAhead ahead(part.stream, smallest ? kSmallestRing : part.size);
                EXPECT_EQ(readAll(ahead, each, read), 0);
                char byte;
                EXPECT_EQ(ahead.read(&byte, 1), 0);  // the end stays the end
            }
            EXPECT_TRUE(read == partText()) << read.size() << " bytes of " << partText().size();
            EXPECT_EQ(part.stream.error(), "");
        }
}

TEST(PartReadAhead, EndsInTheStreamsFailureWithItsReason) {
    struct Case {
        const char* what;
        std::function<void(RawZipEntry&)> damage;
        const char* reason;
    };
    const Case cases[] = {
        {"a wrong checksum", [](RawZipEntry& e) { e.crc ^= 1; }, "CRC"},
        {"a cut stream", [](RawZipEntry& e) { e.data.resize(e.data.size() / 2); }, "early"},
        {"more than the directory says", [](RawZipEntry& e) { e.unpackedSize -= 1; }, "more"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        OpenPart part;
        openPart(dir, c.damage, part);
        std::string read;
        {
            PartReadAhead ahead(part.stream, kSmallestRing);
            EXPECT_EQ(readAll(ahead, 65536, read), -1);
            char byte;
            EXPECT_EQ(ahead.read(&byte, 1), -1);
        }
        EXPECT_LE(read.size(), partText().size());
        EXPECT_TRUE(partText().starts_with(read));
        EXPECT_NE(part.stream.error().find(c.reason), std::string::npos) << part.stream.error();
    }
}

TEST(PartReadAhead, LetsTheWorkerGoWhenTheReaderStopsEarly) {
    TempDir dir;
    for (const std::size_t taken :
         {std::size_t{0}, std::size_t{10}, 5 * PartReadAhead::kSlotSize}) {
        SCOPED_TRACE(taken);
        OpenPart part;
        openPart(
            dir, [](RawZipEntry&) {}, part);
        PartReadAhead ahead(part.stream, kSmallestRing);
        std::string buffer(taken, '\0');
        std::size_t got = 0;
        while (got < taken) {
            const long long n = ahead.read(buffer.data() + got, taken - got);
            ASSERT_GT(n, 0);
            got += static_cast<std::size_t>(n);
        }
        EXPECT_TRUE(buffer == partText().substr(0, taken));
    }  // each destruction must return: the worker is waiting for room, or still inflating
}

}  // namespace
