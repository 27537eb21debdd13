// The launch with the stand-in game: what the running game sees, what is
// on disk afterwards, and every way it can fail.
#include <gtest/gtest.h>

#include <windows.h>

#include "boxwatch.h"
#include "gamefiles.h"
#include "gamefolder.h"
#include "standin.h"
#include "testpage.h"

#include <functional>
#include <iostream>
#include <vector>

namespace {

const char WRITE_ERROR[] = "Error writing to file, please contact the Quorvel Office";
const char START_ERROR[] =
    "Error starting Xwingalliance!  Make sure program is in Xwingalliance folder.";

// Calls look() once the game is up and running, then lets it exit.
class WhileRunning {
public:
    explicit WhileRunning(std::function<void()> look) : look_(std::move(look))
    {
        WriteBytes("standin.hold", "");
        thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
    }
    ~WhileRunning()
    {
        DeleteFileA("standin.hold");
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    bool Looked() const { return looked_; }

private:
    static DWORD WINAPI Run(void *param)
    {
        WhileRunning *self = (WhileRunning *)param;
        for (int i = 0; i < 3000 && !Exists("standin.running"); i++)
            Sleep(10);
        if (Exists("standin.running")) {
            self->look_();
            self->looked_ = true;
        }
        DeleteFileA("standin.hold");
        return 0;
    }
    std::function<void()> look_;
    HANDLE thread_;
    bool looked_ = false;
};

TEST(Launch, GameRunsPatchedAndExecutableComesBack)
{
    GameFolder folder;
    InstallStandin(folder.Path());

    LaunchOutcome r = LaunchOnTestPage();

    EXPECT_EQ(r.returned, 1);
    EXPECT_FALSE(r.quit);
    EXPECT_FALSE(r.box.found) << r.box.text;
    EXPECT_FALSE(r.pageVisible) << "the Confirm page is ended before the game starts";

    auto runs = ReadStandinLog(folder.Path());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]["cmdline"], "XWINGALLIANCE.EXE");
    EXPECT_EQ(runs[0]["cwd"], folder.Path());
    EXPECT_EQ(runs[0]["flags"], std::to_string(STARTF_USESHOWWINDOW));
    EXPECT_EQ(runs[0]["show"], std::to_string(SW_HIDE));
    EXPECT_EQ(runs[0]["patch"], "90 90");

    EXPECT_EQ(ReadBytes("XWINGALLIANCE.EXE"), StandinBytes());
    EXPECT_EQ(ListNames(folder.Path()),
              (std::vector<std::string>{"XWINGALLIANCE.exe", "standin.log"}));
}

TEST(Launch, FilesWhileTheGameRuns)
{
    GameFolder folder;
    InstallStandin(folder.Path());
    std::optional<std::string> exe, backup;
    LaunchOutcome r;
    {
        WhileRunning look([&] {
            exe = ReadBytes("XWINGALLIANCE.EXE");
            backup = ReadBytes("4321.aaa");
        });
        r = LaunchOnTestPage();
        ASSERT_TRUE(look.Looked());
    }
    EXPECT_EQ(r.returned, 1);
    EXPECT_EQ(exe, Patched(StandinBytes()));
    EXPECT_EQ(backup, StandinBytes());
    EXPECT_FALSE(Exists("4321.aaa"));
}

// What a launch does with an executable and a "4321.aaa" it finds.
struct LeftoverCase {
    const char *what;
    std::function<std::string()> exe;
    std::function<std::optional<std::string>()> backup;
    std::function<std::string()> after;  // the executable once the game has run
};

class Leftover : public ::testing::TestWithParam<LeftoverCase> {};

TEST_P(Leftover, ExecutableAfterwards)
{
    const LeftoverCase &c = GetParam();
    GameFolder folder;
    WriteBytes("XWINGALLIANCE.EXE", c.exe());
    if (auto backup = c.backup())
        WriteBytes("4321.aaa", *backup);

    LaunchOutcome r = LaunchOnTestPage();

    EXPECT_EQ(r.returned, 1);
    EXPECT_FALSE(r.box.found) << r.box.text;
    auto runs = ReadStandinLog(folder.Path());
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]["patch"], "90 90");
    EXPECT_EQ(ReadBytes("XWINGALLIANCE.EXE"), c.after());
    EXPECT_FALSE(Exists("4321.aaa"));
}

std::string WithByte(std::string bytes, size_t at, char value)
{
    bytes[at] = value;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Launch, Leftover, ::testing::Values(
    LeftoverCase{"NoBackup", [] { return StandinBytes(); },
                 [] { return std::nullopt; }, [] { return StandinBytes(); }},
    LeftoverCase{"StaleBackupOverwritten", [] { return StandinBytes(); },
                 [] { return std::optional<std::string>("left from another day"); },
                 [] { return StandinBytes(); }},
    // The program was killed while the game ran: the backup is the pristine game.
    LeftoverCase{"InterruptedLaunchRecovered", [] { return Patched(StandinBytes()); },
                 [] { return std::optional<std::string>(StandinBytes()); },
                 [] { return StandinBytes(); }},
    // A backup that differs elsewhere too is not the executable's: overwritten.
    LeftoverCase{"OtherBackupOverwritten", [] { return Patched(StandinBytes()); },
                 [] { return std::optional<std::string>(WithByte(StandinBytes(), 0x200000, 'q')); },
                 [] { return Patched(StandinBytes()); }},
    LeftoverCase{"AlreadyPatchedStaysSo", [] { return Patched(StandinBytes()); },
                 [] { return std::nullopt; }, [] { return Patched(StandinBytes()); }},
    LeftoverCase{"ShortExecutableComesBackShort", [] { return ShortStandin(); },
                 [] { return std::nullopt; }, [] { return ShortStandin(); }},
    LeftoverCase{"ShortExecutableInterrupted", [] { return Patched(ShortStandin()); },
                 [] { return std::optional<std::string>(ShortStandin()); },
                 [] { return ShortStandin(); }}),
    [](const auto &info) { return std::string(info.param.what); });

HANDLE g_lock = INVALID_HANDLE_VALUE;
const char *g_skip;

// Every failure: the player is told, and the game's files are as they were.
struct FailureCase {
    const char *what;
    std::function<void()> setup;
    const char *message;
    bool gameRuns;
    std::vector<std::string> namesAfter;
    std::function<void()> check;  // after the launch, before the folder goes
};

class Failure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(Failure, ReportedAndNothingLost)
{
    const FailureCase &c = GetParam();
    GameFolder folder;
    g_skip = nullptr;
    c.setup();
    if (g_skip)
        GTEST_SKIP() << g_skip;

    LaunchOutcome r = LaunchOnTestPage();

    ASSERT_TRUE(r.box.found);
    EXPECT_EQ(r.box.caption, "Error");
    EXPECT_EQ(r.box.text, c.message);
    EXPECT_TRUE(r.box.errorIcon);
    EXPECT_TRUE(r.quit) << "the program quits after the box";
    if (std::string(c.message) == WRITE_ERROR) {
        EXPECT_EQ(r.returned, 0);
        EXPECT_TRUE(r.pageVisible) << "the Confirm page stays up behind the box";
    } else {
        EXPECT_EQ(r.returned, 1);
    }
    EXPECT_EQ(ReadStandinLog(folder.Path()).size(), c.gameRuns ? 1u : 0u);
    EXPECT_EQ(ListNames(folder.Path()), c.namesAfter);
    if (c.check)
        c.check();
}

const std::string garbage(0x400000, 'G');

INSTANTIATE_TEST_SUITE_P(Launch, Failure, ::testing::Values(
    FailureCase{"NoExecutable", [] {}, WRITE_ERROR, false, {}, nullptr},
    FailureCase{"NoExecutableButConfig", [] { WriteBytes("CONFIG.CFG", "lastpilot A\r\n"); },
                WRITE_ERROR, false, {"CONFIG.CFG"}, nullptr},
    FailureCase{"ExecutableIsAFolder",
                [] { CreateDirectoryA("XWINGALLIANCE.EXE", nullptr); },
                WRITE_ERROR, false, {"XWINGALLIANCE.EXE"}, nullptr},
    FailureCase{"BackupCannotBeCreated",
                [] {
                    InstallStandin(".");
                    CreateDirectoryA("4321.aaa", nullptr);
                },
                WRITE_ERROR, false, {"4321.aaa", "XWINGALLIANCE.EXE"},
                [] {
                    EXPECT_EQ(ReadBytes("XWINGALLIANCE.EXE"), StandinBytes());
                    EXPECT_TRUE(GetFileAttributesA("4321.aaa") & FILE_ATTRIBUTE_DIRECTORY);
                }},
    FailureCase{"ReadOnlyBackup",
                [] {
                    InstallStandin(".");
                    WriteBytes("4321.aaa", "old");
                    if (!MakeReadOnlyEnforced("4321.aaa"))
                        g_skip = READ_ONLY_NOT_ENFORCED;
                },
                WRITE_ERROR, false, {"4321.aaa", "XWINGALLIANCE.EXE"},
                [] {
                    EXPECT_EQ(ReadBytes("XWINGALLIANCE.EXE"), StandinBytes());
                    EXPECT_EQ(ReadBytes("4321.aaa"), std::optional<std::string>("old"));
                }},
    FailureCase{"ExecutableHeldOpen",
                [] {
                    InstallStandin(".");
                    g_lock = CreateFileA("XWINGALLIANCE.EXE", GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, 0, nullptr);
                },
                WRITE_ERROR, false, {"XWINGALLIANCE.EXE"},
                [] {
                    CloseHandle(g_lock);
                    EXPECT_EQ(ReadBytes("XWINGALLIANCE.EXE"), StandinBytes());
                }},
    // Read-only: the copy is made, the patch cannot open the file; the
    // executable is untouched and the copy stays beside it.
    FailureCase{"ReadOnlyExecutable",
                [] {
                    InstallStandin(".");
                    if (!MakeReadOnlyEnforced("XWINGALLIANCE.EXE"))
                        g_skip = READ_ONLY_NOT_ENFORCED;
                },
                WRITE_ERROR, false, {"4321.aaa", "XWINGALLIANCE.EXE"},
                [] {
                    EXPECT_EQ(ReadBytes("XWINGALLIANCE.EXE"), StandinBytes());
                    EXPECT_EQ(ReadBytes("4321.aaa"), StandinBytes());
                }},
    FailureCase{"GameCannotStart", [] { WriteBytes("XWINGALLIANCE.EXE", garbage); },
                START_ERROR, false, {"XWINGALLIANCE.exe"},
                [] { EXPECT_EQ(ReadBytes("XWINGALLIANCE.EXE"), garbage); }}),
    [](const auto &info) { return std::string(info.param.what); });

// Long game folders: the directory is passed whole, however long. The
// system cannot start a program whose full name reaches MAX_PATH, so past
// that the player is told and the executable is still put back.
struct LongFolderCase {
    size_t length;
    bool starts;
};

class LongFolder : public ::testing::TestWithParam<LongFolderCase> {};

TEST_P(LongFolder, GameStartsOrPlayerIsTold)
{
    const LongFolderCase &c = GetParam();
    GameFolder folder;
    std::string deep = folder.Path();
    while (deep.size() + 31 < c.length - 10) {
        deep += "\\" + std::string(30, 'd');
        ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    }
    deep += "\\" + std::string(c.length - deep.size() - 1, 'L');
    ASSERT_EQ(deep.size(), c.length);
    ASSERT_TRUE(CreateDirectoryA(deep.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(deep.c_str()));
    // Full names in it may be past MAX_PATH: use them relative to it.
    InstallStandin(".");

    LaunchOutcome r = LaunchOnTestPage();
    auto runs = ReadStandinLog(".");
    auto exe = ReadBytes("XWINGALLIANCE.EXE");
    auto names = ListNames(".");
    SetCurrentDirectoryA(folder.Path().c_str());

    EXPECT_EQ(r.returned, 1);
    EXPECT_EQ(exe, StandinBytes());
    if (c.starts) {
        EXPECT_FALSE(r.box.found) << r.box.text;
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_EQ(runs[0]["cwd"], deep);
        EXPECT_EQ(names, (std::vector<std::string>{"XWINGALLIANCE.exe", "standin.log"}));
    } else {
        EXPECT_EQ(r.box.text, START_ERROR);
        EXPECT_TRUE(runs.empty());
        EXPECT_EQ(names, (std::vector<std::string>{"XWINGALLIANCE.exe"}));
    }
}

INSTANTIATE_TEST_SUITE_P(Launch, LongFolder, ::testing::Values(
    LongFolderCase{200, true}, LongFolderCase{240, true}, LongFolderCase{256, false}),
    [](const auto &info) { return std::to_string(info.param.length); });

}  // namespace
