#include "engine/checksum_list.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const std::string HEX = "0123456789abcdeffedcba9876543210";
const Digest DIGEST = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef,
                       0xfe, 0xdc, 0xba, 0x98, 0x76, 0x54, 0x32, 0x10};

// Reads the lines of a list held in memory, one readListLine call at a time.
class ListReader {
public:
    explicit ListReader(const std::string& bytes) : bytes_(bytes) {
        stream_ = fmemopen(bytes_.data(), bytes_.size(), "r");
    }
    ~ListReader() {
        if (stream_ != nullptr) {
            std::fclose(stream_);
        }
    }

    int next() {
        expected.fill(0xee);
        std::memset(name, 'z', sizeof name);
        return readListLine(stream_, expected, name);
    }

    Digest expected{};
    char name[256];

private:
    std::string bytes_;
    std::FILE* stream_ = nullptr;
};

// The result of the only line of bytes, and what it wrote to stderr.
struct OneLine {
    int result;
    std::string name;
    Digest expected;
    std::string messages;
};

OneLine readOne(const std::string& bytes) {
    ListReader reader(bytes);
    testing::internal::CaptureStderr();
    OneLine line{};
    line.result = reader.next();
    line.messages = testing::internal::GetCapturedStderr();
    if (line.result > 0) {
        line.name = reader.name;
        line.expected = reader.expected;
    }
    return line;
}

TEST(ChecksumListLineTest, TextAndBinaryEntries) {
    OneLine text = readOne(HEX + "  file.txt\n");
    EXPECT_EQ(text.result, 1);
    EXPECT_EQ(text.name, "file.txt");
    EXPECT_EQ(text.expected, DIGEST);

    OneLine binary = readOne(HEX + " *file.bin\n");
    EXPECT_EQ(binary.result, 2);
    EXPECT_EQ(binary.name, "file.bin");
    EXPECT_EQ(binary.expected, DIGEST);
    EXPECT_EQ(text.messages + binary.messages, "");
}

TEST(ChecksumListLineTest, NameKeepsSpacesAndEverythingButTheLineFeed) {
    OneLine line = readOne(HEX + " * two  words \\n\t\r\n");
    EXPECT_EQ(line.result, 2);
    EXPECT_EQ(line.name, " two  words \\n\t\r");
}

TEST(ChecksumListLineTest, MalformedDigestsAreSkippedSilently) {
    std::string upper = HEX;
    upper[10] = 'A';
    std::string nonHex = HEX;
    nonHex[31] = 'g';
    for (const std::string& bytes :
         {upper + "  file\n", nonHex + "  file\n", HEX + "0 file\n", HEX + "\t file\n",
          HEX.substr(0, 31) + "  file\n", std::string("\n"), std::string("# comment\n"),
          std::string(HEX.data(), 32)}) {
        SCOPED_TRACE(bytes);
        OneLine line = readOne(bytes);
        EXPECT_EQ(line.result, 0);
        EXPECT_EQ(line.messages, "");
    }
}

TEST(ChecksumListLineTest, WrongTypeMarkerIsReportedWithTheLine) {
    OneLine line = readOne(HEX + " xfile\n" + HEX + "  next\n");
    EXPECT_EQ(line.result, 0);
    EXPECT_EQ(line.messages, "md5sum: unrecognized line: " + HEX + " xfile\n");

    // A line feed in place of the marker is a wrong marker too.
    EXPECT_EQ(readOne(HEX + " \n").messages, "md5sum: unrecognized line: " + HEX + " \n");
}

TEST(ChecksumListLineTest, RemainderLengthBounds) {
    EXPECT_EQ(readOne(HEX + "  a\n").name, "a"); // two characters with the line feed
    EXPECT_EQ(readOne(HEX + "  ab").name, "ab");
    EXPECT_EQ(readOne(HEX + "  a").result, 0); // one character without a line feed
    EXPECT_EQ(readOne(HEX + " *\n").result, 0);
    EXPECT_EQ(readOne(HEX + " *").result, 0);

    const std::string name254(254, 'n');
    const std::string name255(255, 'n');
    EXPECT_EQ(readOne(HEX + "  " + name254 + "\n").name, name254); // 255 with the line feed
    EXPECT_EQ(readOne(HEX + "  " + name255).name, name255);        // 255 at the end of the list
    OneLine tooLong = readOne(HEX + "  " + name255 + "\n");        // 256
    EXPECT_EQ(tooLong.result, 0);
    EXPECT_EQ(tooLong.messages, "");
    EXPECT_EQ(readOne(HEX + "  " + name255 + "n").result, 0);
}

TEST(ChecksumListLineTest, LongLinesArriveInPiecesParsedAlone) {
    // The first 1023 characters are one piece (skipped: its remainder is far too long); what
    // follows on the same line is parsed as a line of its own.
    const std::string head = HEX + "  " + std::string(1023 - 34, 'x');
    ListReader reader(head + HEX + " *tail\n" + HEX + "  last");
    EXPECT_EQ(reader.next(), 0);
    EXPECT_EQ(reader.next(), 2);
    EXPECT_STREQ(reader.name, "tail");
    EXPECT_EQ(reader.next(), 1);
    EXPECT_STREQ(reader.name, "last"); // no final line feed
    EXPECT_EQ(reader.next(), -1);
    EXPECT_EQ(reader.next(), -1);
}

TEST(ChecksumListLineTest, EmptyInputEndsAtOnce) {
    ListReader reader("");
    EXPECT_EQ(reader.next(), -1);
}

TEST(ChecksumListLineTest, EmbeddedNulEndsTheName) {
    const std::string bytes = HEX + "  ab" + std::string(1, '\0') + "cd\n";
    OneLine line = readOne(bytes);
    EXPECT_EQ(line.result, 1);
    EXPECT_EQ(line.name, "ab");
    // A NUL straight after the marker leaves a remainder too short to be a name.
    EXPECT_EQ(readOne(HEX + "  " + std::string(1, '\0') + "abc\n").result, 0);
}

// Counting a list's entries takes exactly the lines readListLine takes, and says nothing.
TEST(ChecksumListCountTest, CountsEntriesSilentlyAndStopsWhenAsked) {
    std::string bytes = HEX + "  a\n" + "junk\n" + HEX + " ?wrong marker\n" + HEX + " *b\n" +
                        HEX.substr(0, 31) + "  short\n" + HEX + "  " + std::string(300, 'x') +
                        "\n" + HEX + "  last";
    std::FILE* list = fmemopen(bytes.data(), bytes.size(), "r");
    ASSERT_NE(list, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(countListEntries(list), 3); // a, b, and "last"
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    std::fclose(list);

    struct Refusing : WorkMeter {
        bool advance(std::uint64_t) override { return false; }
    } refusing;
    list = fmemopen(bytes.data(), bytes.size(), "r");
    EXPECT_EQ(countListEntries(list, &refusing), -1);
    std::fclose(list);
}

} // namespace
