// The "lastpilot" line of CONFIG.CFG: bytes in, bytes out.
#include <gtest/gtest.h>

#include <windows.h>

#include "gamefiles.h"
#include "gamefolder.h"

#include <cstdlib>
#include <optional>

namespace {

std::string Read()
{
    char *name = ReadLastPilot();
    std::string copy = name ? name : "<null>";
    free(name);
    return copy;
}

struct RewriteCase {
    const char *what;
    std::optional<std::string> before;  // nullopt: no CONFIG.CFG
    std::string name;
    std::string after;
};

class Rewrite : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(Rewrite, BytesOnDisk)
{
    const RewriteCase &c = GetParam();
    GameFolder folder;
    if (c.before)
        WriteBytes("CONFIG.CFG", *c.before);

    EXPECT_EQ(WriteLastPilot(c.name.c_str()), 1);

    EXPECT_EQ(ReadBytes("CONFIG.CFG"), std::optional<std::string>(c.after));
    EXPECT_FALSE(Exists("1234.aaa"));
}

const std::string big(100000, 'x');

INSTANTIATE_TEST_SUITE_P(Config, Rewrite, ::testing::Values(
    RewriteCase{"TwoLines", "lastpilot Alpha\r\nscreen 640\r\n", "Bravo",
                "lastpilot Bravo\r\nscreen 640\r\n"},
    RewriteCase{"OtherFirstLineReplacedWhole", "resolution 800 600\r\nsound 1\r\n", "Bravo",
                "lastpilot Bravo\r\nsound 1\r\n"},
    RewriteCase{"OneLine", "lastpilot Alpha\r\n", "Bravo", "lastpilot Bravo\r\n"},
    RewriteCase{"OneLineWithoutLineEnd", "lastpilot Alpha", "Bravo", "lastpilot Bravo\r\n"},
    RewriteCase{"BareLfBecomesCrLf", "lastpilot A\r\nx\ny\r\n", "B", "lastpilot B\r\nx\r\ny\r\n"},
    RewriteCase{"BareCrKept", "lastpilot A\r\nx\ry\r\n", "B", "lastpilot B\r\nx\ry\r\n"},
    RewriteCase{"CrCrLf", "lastpilot A\r\nx\r\r\n", "B", "lastpilot B\r\nx\r\r\n"},
    RewriteCase{"CrAtEnd", "lastpilot A\r\nx\r", "B", "lastpilot B\r\nx\r"},
    RewriteCase{"CtrlZEndsText", "lastpilot A\r\nx\r\n\x1Ajunk\r\nmore\r\n", "B",
                "lastpilot B\r\nx\r\n"},
    RewriteCase{"CtrlZInFirstLine", "last\x1Apilot A\r\nx\r\n", "B", "lastpilot B\r\n"},
    RewriteCase{"FirstLineEndsInBareLf", "lastpilot A\nx\r\n", "B", "lastpilot B\r\nx\r\n"},
    RewriteCase{"NoLfAnywhere", "lastpilot A\rx\ry", "B", "lastpilot B\r\n"},
    RewriteCase{"NameWithBlankWrittenWhole", "lastpilot A\r\nx\r\n", "Red Leader",
                "lastpilot Red Leader\r\nx\r\n"},
    RewriteCase{"EmptyName", "lastpilot A\r\nx\r\n", "", "lastpilot \r\nx\r\n"},
    RewriteCase{"AnsiName", "lastpilot A\r\n", "J\xE4ger", "lastpilot J\xE4ger\r\n"},
    RewriteCase{"Missing", std::nullopt, "Bravo", "lastpilot Bravo\r\n"},
    RewriteCase{"Empty", "", "Bravo", "lastpilot Bravo\r\n"},
    RewriteCase{"LongLinesCarried", "lastpilot A\r\n" + big + "\r\n" + big, "B",
                "lastpilot B\r\n" + big + "\r\n" + big}),
    [](const auto &info) { return std::string(info.param.what); });

struct ReadCase {
    const char *what;
    std::optional<std::string> config;
    std::string name;
};

class ReadName : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadName, FromFirstLine)
{
    const ReadCase &c = GetParam();
    GameFolder folder;
    if (c.config)
        WriteBytes("CONFIG.CFG", *c.config);

    EXPECT_EQ(Read(), c.name);
    // Reading never changes the file.
    EXPECT_EQ(ReadBytes("CONFIG.CFG"), c.config);
}

INSTANTIATE_TEST_SUITE_P(Config, ReadName, ::testing::Values(
    ReadCase{"Plain", "lastpilot Alpha\r\nscreen 640\r\n", "Alpha"},
    ReadCase{"ExtraBlanks", "lastpilot   Alpha  \t\r\n", "Alpha"},
    ReadCase{"TabBeforeName", "lastpilot \tAlpha\r\n", "Alpha"},
    ReadCase{"BlankInName", "lastpilot Red Leader\r\n", "Red"},
    ReadCase{"BareCrEndsName", "lastpilot Alpha\rBravo\r\n", "Alpha"},
    ReadCase{"NoLineEnd", "lastpilot Alpha", "Alpha"},
    ReadCase{"FirstTenBytesNotChecked", "XXXXXXXXXXAlpha\r\n", "Alpha"},
    ReadCase{"CtrlZEndsName", "lastpilot Al\x1Apha\r\n", "Al"},
    ReadCase{"AnsiName", "lastpilot J\xE4ger\r\n", "J\xE4ger"},
    ReadCase{"NoNameIsEmpty", "lastpilot \r\nnext\r\n", ""},
    ReadCase{"BlanksOnlyIsEmpty", "lastpilot    \r\nnext\r\n", ""},
    ReadCase{"LineEndBeforeByteTen", "lastpilot\r\nAlpha\r\n", ""},
    ReadCase{"ShorterThanTenBytes", "lastpilot", ""},
    ReadCase{"EmptyFile", "", ""},
    ReadCase{"Missing", std::nullopt, ""},
    ReadCase{"LongName", "lastpilot " + big + "\r\n", big}),
    [](const auto &info) { return std::string(info.param.what); });

TEST(Config, ChosenNameReadsBack)
{
    GameFolder folder;
    WriteBytes("CONFIG.CFG", "lastpilot Alpha\r\nscreen 640\r\n");
    WriteLastPilot("Wedge");
    EXPECT_EQ(Read(), "Wedge");
}

// Whatever stops the rewrite, CONFIG.CFG keeps what it held.
TEST(Config, TempFileCannotBeCreated)
{
    GameFolder folder;
    const std::string before = "lastpilot Alpha\r\nscreen 640\r\n";
    WriteBytes("CONFIG.CFG", before);
    ASSERT_TRUE(CreateDirectoryA("1234.aaa", nullptr));

    WriteLastPilot("Bravo");

    EXPECT_EQ(ReadBytes("CONFIG.CFG"), before);
    EXPECT_EQ(GetFileAttributesA("1234.aaa") & FILE_ATTRIBUTE_DIRECTORY,
              (DWORD)FILE_ATTRIBUTE_DIRECTORY);
}

TEST(Config, ConfigIsAFolder)
{
    GameFolder folder;
    ASSERT_TRUE(CreateDirectoryA("CONFIG.CFG", nullptr));
    WriteBytes("CONFIG.CFG\\inside", "x");

    WriteLastPilot("Bravo");
    EXPECT_EQ(Read(), "");

    EXPECT_EQ(ReadBytes("CONFIG.CFG\\inside"), std::optional<std::string>("x"));
    EXPECT_FALSE(Exists("1234.aaa"));
}

TEST(Config, ConfigHeldOpenByAnotherProgram)
{
    GameFolder folder;
    const std::string before = "lastpilot Alpha\r\nscreen 640\r\n";
    WriteBytes("CONFIG.CFG", before);
    HANDLE lock = CreateFileA("CONFIG.CFG", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    WriteLastPilot("Bravo");
    CloseHandle(lock);

    EXPECT_EQ(ReadBytes("CONFIG.CFG"), before);
    EXPECT_FALSE(Exists("1234.aaa"));
}

TEST(Config, ReadOnlyConfigLeftAlone)
{
    GameFolder folder;
    const std::string before = "lastpilot Alpha\r\nscreen 640\r\n";
    WriteBytes("CONFIG.CFG", before);
    MakeReadOnly("CONFIG.CFG");

    WriteLastPilot("Bravo");

    EXPECT_EQ(ReadBytes("CONFIG.CFG"), before);
    EXPECT_FALSE(Exists("1234.aaa"));
}

// A rewrite stopped between deleting CONFIG.CFG and renaming the new one
// leaves the complete new file as 1234.aaa; the next use takes it back.
TEST(Config, InterruptedRewriteRecovered)
{
    GameFolder folder;
    WriteBytes("1234.aaa", "lastpilot Wedge\r\nscreen 640\r\n");

    EXPECT_EQ(Read(), "Wedge");
    EXPECT_EQ(ReadBytes("CONFIG.CFG"),
              std::optional<std::string>("lastpilot Wedge\r\nscreen 640\r\n"));
    EXPECT_FALSE(Exists("1234.aaa"));

    WriteBytes("1234.aaa", "lastpilot Luke\r\nsound 1\r\n");
    DeleteFileA("CONFIG.CFG");
    WriteLastPilot("Biggs");
    EXPECT_EQ(ReadBytes("CONFIG.CFG"), std::optional<std::string>("lastpilot Biggs\r\nsound 1\r\n"));
}

// A leftover temporary file beside a good CONFIG.CFG is an unfinished
// rewrite: CONFIG.CFG wins.
TEST(Config, StaleTempFileIgnored)
{
    GameFolder folder;
    WriteBytes("CONFIG.CFG", "lastpilot Alpha\r\nscreen 640\r\n");
    WriteBytes("1234.aaa", "lastpi");

    EXPECT_EQ(Read(), "Alpha");
    WriteLastPilot("Bravo");
    EXPECT_EQ(ReadBytes("CONFIG.CFG"),
              std::optional<std::string>("lastpilot Bravo\r\nscreen 640\r\n"));
    EXPECT_FALSE(Exists("1234.aaa"));
}

}  // namespace
