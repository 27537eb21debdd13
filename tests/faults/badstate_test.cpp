// Game folders in states the player did not mean: files held open by
// another program, empty or cut short, folders where files belong, huge
// or strange first lines, names outside ASCII. The player is told where a
// launch cannot go on, and nothing of theirs is lost.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>

#include "faults.h"
#include "gamefiles.h"
#include "gamefolder.h"
#include "resource.h"
#include "standin.h"
#include "testpage.h"

namespace {

HANDLE g_holder;
const char *g_skip;

// Another program opens the file without sharing it, and keeps it open.
void HoldOpen(const char *name)
{
    g_holder = Start(HelperPath(), std::string("hold ") + name);
    ASSERT_TRUE(g_holder) << "cannot start " << HelperPath() << ": error " << GetLastError();
    bool held = WaitUntil([&] {
        HANDLE file = CreateFileA(name, GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        return (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
            || WaitForSingleObject(g_holder, 0) == WAIT_OBJECT_0;
    });
    DWORD code = 0;
    GetExitCodeProcess(g_holder, &code);
    ASSERT_TRUE(held && code == STILL_ACTIVE)
        << name << " is not held; the holder " << (code == STILL_ACTIVE ? "is still starting"
                                                                        : "ended with ")
        << (code == STILL_ACTIVE ? "" : std::to_string(code));
}

void Release()
{
    if (g_holder) {
        TerminateProcess(g_holder, 0);
        WaitForSingleObject(g_holder, INFINITE);
        CloseHandle(g_holder);
        g_holder = nullptr;
    }
}

const std::string CONFIG = "lastpilot Alpha\r\nscreen 640\r\n";

// --- Launch ---------------------------------------------------------------

struct LaunchState {
    const char *what;
    std::function<void()> setup;
    const char *message;  // the box shown, or null when the game runs
    std::vector<std::string> namesAfter;
    std::function<void()> check;
};

class LaunchFrom : public ::testing::TestWithParam<LaunchState> {};

TEST_P(LaunchFrom, ToldOrRunAndNothingLost)
{
    const LaunchState &c = GetParam();
    GameFolder folder;
    WriteBytes("CONFIG.CFG", CONFIG);
    c.setup();
    if (HasFatalFailure()) {
        Release();
        return;
    }

    LaunchOutcome r = LaunchOnTestPage();
    Release();

    if (c.message) {
        EXPECT_EQ(r.box.text, c.message);
        EXPECT_EQ(r.box.caption, "Error");
        EXPECT_TRUE(r.quit);
    } else {
        EXPECT_FALSE(r.box.found) << r.box.text;
        EXPECT_EQ(r.returned, 1);
    }
    EXPECT_EQ(ListNames("."), c.namesAfter);
    EXPECT_TRUE(SameBytes(FileBytes("CONFIG.CFG"), CONFIG));
    c.check();
}

const std::string garbage(PATCH_AT + 1, 'G');

INSTANTIATE_TEST_SUITE_P(Faults, LaunchFrom, ::testing::Values(
    LaunchState{"ExecutableHeldByAnotherProgram",
                [] {
                    InstallStandin(".");
                    HoldOpen("XWINGALLIANCE.EXE");
                },
                WRITE_ERROR, {"CONFIG.CFG", "XWINGALLIANCE.EXE"},
                [] { EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), StandinBytes())); }},
    LaunchState{"BackupHeldByAnotherProgram",
                [] {
                    InstallStandin(".");
                    WriteBytes("4321.aaa", "someone's file");
                    HoldOpen("4321.aaa");
                },
                WRITE_ERROR, {"4321.aaa", "CONFIG.CFG", "XWINGALLIANCE.EXE"},
                [] {
                    EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), StandinBytes()));
                    EXPECT_EQ(FileBytes("4321.aaa"), "someone's file");
                }},
    // The patch lengthens it, the system cannot start it, the restore
    // brings the empty file back.
    LaunchState{"EmptyExecutable", [] { WriteBytes("XWINGALLIANCE.EXE", ""); },
                START_ERROR, {"CONFIG.CFG", "XWINGALLIANCE.exe"},
                [] { EXPECT_EQ(FileBytes("XWINGALLIANCE.EXE"), ""); }},
    // The first patch byte overwrites its last byte, the second lengthens it.
    LaunchState{"ExecutableEndsInsidePatch", [] { WriteBytes("XWINGALLIANCE.EXE", garbage); },
                START_ERROR, {"CONFIG.CFG", "XWINGALLIANCE.exe"},
                [] { EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), garbage)); }},
    // Without the game, a "4321.aaa" that is no file is not taken for one.
    LaunchState{"NoGameAndBackupIsAFolder",
                [] {
                    CreateDirectoryA("4321.aaa", nullptr);
                    WriteBytes("4321.aaa\\inside", "x");
                },
                WRITE_ERROR, {"4321.aaa", "CONFIG.CFG"},
                [] { EXPECT_EQ(FileBytes("4321.aaa\\inside"), "x"); }},
    // A restore cut short after its delete: the backup becomes the game again.
    LaunchState{"OnlyTheBackupLeft", [] { WriteBytes("4321.aaa", StandinBytes()); },
                nullptr, {"CONFIG.CFG", "XWINGALLIANCE.exe", "standin.log"},
                [] { EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), StandinBytes())); }}),
    [](const auto &info) { return std::string(info.param.what); });

// --- CONFIG.CFG -------------------------------------------------------------

struct ConfigState {
    const char *what;
    std::function<void()> setup;
    std::string stored;                   // what ReadLastPilot gives
    std::string name;                     // the pilot chosen
    std::optional<std::string> after;     // CONFIG.CFG after the rewrite
    std::function<void()> check;          // the rest of the folder
};

class ConfigFrom : public ::testing::TestWithParam<ConfigState> {};

TEST_P(ConfigFrom, ReadAndRewritten)
{
    const ConfigState &c = GetParam();
    GameFolder folder;
    g_skip = nullptr;
    c.setup();
    if (HasFatalFailure()) {
        Release();
        return;
    }
    if (g_skip) {
        Release();
        GTEST_SKIP() << g_skip;
    }

    char *stored = ReadLastPilot();
    ASSERT_TRUE(stored);
    EXPECT_TRUE(SameBytes(std::string(stored), c.stored));
    free(stored);
    EXPECT_EQ(WriteLastPilot(c.name.c_str()), 1);
    Release();

    EXPECT_TRUE(SameBytes(FileBytes("CONFIG.CFG"), c.after));
    if (c.check)
        c.check();
    else
        EXPECT_FALSE(Exists("1234.aaa"));
}

const std::string longName(1 << 20, 'M');
const std::string wideBlanks(1 << 19, ' ');

INSTANTIATE_TEST_SUITE_P(Faults, ConfigFrom, ::testing::Values(
    // Unreadable while held: no stored name, and the file is left as it is.
    ConfigState{"ConfigHeldByAnotherProgram",
                [] {
                    WriteBytes("CONFIG.CFG", CONFIG);
                    HoldOpen("CONFIG.CFG");
                },
                "", "Bravo", CONFIG, nullptr},
    ConfigState{"TempHeldByAnotherProgram",
                [] {
                    WriteBytes("CONFIG.CFG", CONFIG);
                    WriteBytes("1234.aaa", "someone's file");
                    HoldOpen("1234.aaa");
                },
                "Alpha", "Bravo", CONFIG,
                [] { EXPECT_EQ(FileBytes("1234.aaa"), "someone's file"); }},
    ConfigState{"ReadOnlyTemp",
                [] {
                    WriteBytes("CONFIG.CFG", CONFIG);
                    WriteBytes("1234.aaa", "someone's file");
                    if (!MakeReadOnlyEnforced("1234.aaa"))
                        g_skip = READ_ONLY_NOT_ENFORCED;
                },
                "Alpha", "Bravo", CONFIG,
                [] { EXPECT_EQ(FileBytes("1234.aaa"), "someone's file"); }},
    ConfigState{"NoConfigAndTempIsAFolder",
                [] {
                    CreateDirectoryA("1234.aaa", nullptr);
                    WriteBytes("1234.aaa\\inside", "x");
                },
                "", "Bravo", std::nullopt,
                [] { EXPECT_EQ(FileBytes("1234.aaa\\inside"), "x"); }},
    ConfigState{"MegabyteName",
                [] { WriteBytes("CONFIG.CFG", "lastpilot " + longName + "\r\nscreen 640\r\n"); },
                longName, "Bravo", "lastpilot Bravo\r\nscreen 640\r\n", nullptr},
    ConfigState{"NameAmidMegabyteOfBlanks",
                [] {
                    WriteBytes("CONFIG.CFG", "lastpilot " + wideBlanks + "Wedge" + wideBlanks
                                                 + "\r\nscreen 640\r\n");
                },
                "Wedge", "Bravo", "lastpilot Bravo\r\nscreen 640\r\n", nullptr},
    ConfigState{"MegabyteNameAsTheOnlyLine",
                [] { WriteBytes("CONFIG.CFG", "lastpilot " + longName); },
                longName, longName, "lastpilot " + longName + "\r\n", nullptr},
    // A pilot file may begin with anything: a ^Z or a LF from its name
    // would cut the game's settings off or add to them.
    ConfigState{"ChosenNameWithCtrlZ", [] { WriteBytes("CONFIG.CFG", CONFIG); },
                "Alpha", "Wed\x1Age", "lastpilot Wed\r\nscreen 640\r\n", nullptr},
    ConfigState{"ChosenNameWithLf", [] { WriteBytes("CONFIG.CFG", CONFIG); },
                "Alpha", "Wedge\nsound 0", "lastpilot Wedge\r\nscreen 640\r\n", nullptr},
    ConfigState{"ChosenNameWithCr", [] { WriteBytes("CONFIG.CFG", CONFIG); },
                "Alpha", "Wedge\rX", "lastpilot Wedge\rX\r\nscreen 640\r\n", nullptr}),
    [](const auto &info) { return std::string(info.param.what); });

// The settings outlive a pilot whose name held a ^Z, through the next
// rewrite as well.
TEST(Faults, SettingsOutliveAnOddPilotName)
{
    GameFolder folder;
    WriteBytes("CONFIG.CFG", CONFIG);
    WriteLastPilot("Wed\x1Age");
    WriteLastPilot("Biggs");
    EXPECT_EQ(FileBytes("CONFIG.CFG"), "lastpilot Biggs\r\nscreen 640\r\n");
}

// --- Folders and names outside ASCII ----------------------------------------

class AnsiFolder : public ::testing::TestWithParam<const char *> {};

TEST_P(AnsiFolder, PilotsConfigAndLaunch)
{
    GameFolder folder;
    std::string inner = folder.Path() + "\\" + GetParam();
    ASSERT_TRUE(CreateDirectoryA(inner.c_str(), nullptr));
    ASSERT_TRUE(SetCurrentDirectoryA(inner.c_str()));
    InstallStandin(".");
    WriteBytes("j\xE4ger.plt", std::string("J\xE4ger\0", 6));
    WriteBytes("\xD6rn.plt", std::string("\xD6rn\0", 4));
    WriteBytes("CONFIG.CFG", "lastpilot j\xC4GER\r\nscreen 640\r\n");

    HWND page = MakeTestPage(true);
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    FillPilotList(page, list);
    char *chosen = GetSelectedPilot(list);
    EXPECT_STREQ(chosen, "J\xE4ger");
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    WriteLastPilot(chosen);
    free(chosen);
    DestroyWindow(page);
    LaunchOutcome r = LaunchOnTestPage();

    EXPECT_FALSE(r.box.found) << r.box.text;
    EXPECT_EQ(FileBytes("CONFIG.CFG"), "lastpilot J\xE4ger\r\nscreen 640\r\n");
    auto runs = ReadStandinLog(".");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]["cwd"], inner);
    EXPECT_EQ(runs[0]["patch"], "90 90");
    EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), StandinBytes()));
    EXPECT_FALSE(Exists("4321.aaa"));
    SetCurrentDirectoryA(folder.Path().c_str());
}

INSTANTIATE_TEST_SUITE_P(Faults, AnsiFolder,
    ::testing::Values("J\xE4gerstaffel", "\xC4\xD6\xDC \xE4\xF6\xFC\xDF", "X-Wing \xA9 \xFF\xE9"),
    [](const auto &info) { return "Folder" + std::to_string(info.index); });

}  // namespace
