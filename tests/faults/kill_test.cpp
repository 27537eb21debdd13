// The launch and the rewrite killed part way: whatever the moment, the
// player's game and settings are whole under one of their two names, and
// the next normal run puts everything right.
#include <gtest/gtest.h>

#include <windows.h>

#include "faults.h"
#include "gamefiles.h"
#include "gamefolder.h"
#include "resource.h"
#include "standin.h"

#include <algorithm>
#include <vector>

namespace {

// Big enough that a rewrite stopped part way leaves a part on disk.
const std::string SETTINGS = SettingLines(8000);
const std::string OLD_CONFIG = "lastpilot Alpha\r\n" + SETTINGS;

// A page of the wizard with this control, as the player sees it.
HWND FindPage(DWORD processId, int control)
{
    struct Search {
        DWORD processId;
        int control;
        HWND page;
    } search = {processId, control, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            Search *s = (Search *)param;
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            HWND item = GetDlgItem(window, s->control);
            if (pid != s->processId || !IsWindowVisible(window) || !item)
                return TRUE;
            s->page = window;
            return FALSE;
        },
        (LPARAM)&search);
    return search.page;
}

// Waits for the page that has pageControl and presses its button once it
// can be pressed.
::testing::AssertionResult Press(HANDLE wizard, int pageControl, int button,
                                 const char *text = nullptr)
{
    DWORD id = GetProcessId(wizard);
    HWND page = nullptr, item = nullptr;
    if (!WaitUntil([&] {
            page = FindPage(id, pageControl);
            item = page ? GetDlgItem(page, button) : nullptr;
            return (item && IsWindowVisible(item) && IsWindowEnabled(item))
                || WaitForSingleObject(wizard, 0) == WAIT_OBJECT_0;
        }) || !item)
        return ::testing::AssertionFailure()
            << "no page with control " << pageControl << " and button " << button;
    if (text && WindowText(item) != text)
        return ::testing::AssertionFailure()
            << "button " << button << " reads \"" << WindowText(item) << "\"";
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)item);
    return ::testing::AssertionSuccess();
}

// The wizard as a player runs it: Next, Next, Next, "Lanuch!".
::testing::AssertionResult WizardToLaunch(HANDLE wizard)
{
    if (auto r = Press(wizard, IDC_WELCOME_NEXT, IDC_WELCOME_NEXT); !r)
        return r;
    if (auto r = Press(wizard, IDC_AGREEMENT_NEXT, IDC_AGREEMENT_NEXT); !r)
        return r;
    if (auto r = Press(wizard, IDC_PILOT_LIST, IDC_PILOT_NEXT); !r)
        return r;
    return Press(wizard, IDC_CONFIRM_LAUNCH, IDC_CONFIRM_LAUNCH, "Lanuch!");
}

// Whoever runs the launch: the wizard itself, or our helper on a test page.
struct Launcher {
    const char *what;
    std::function<HANDLE()> start;   // a process on its way to the game
    std::function<void()> normal;    // one whole launch, start to end
    std::string configAfter;         // the wizard stores the pilot chosen
};

HANDLE StartWizard()
{
    auto wizard = ReadBytes(WizardPath());
    if (!wizard)
        return nullptr;
    // The player starts it from the game folder.
    WriteBytes("TarnwickPatch.exe", *wizard);
    HANDLE process = Start(".\\TarnwickPatch.exe", "");
    EXPECT_TRUE(WizardToLaunch(process));
    return process;
}

void WizardRun()
{
    HANDLE wizard = StartWizard();
    ASSERT_TRUE(wizard);
    // End page, then Exit.
    EXPECT_TRUE(Press(wizard, IDC_END_PREV, IDC_END_EXIT));
    EXPECT_EQ(WaitExit(wizard), 0);
    WaitForGamesOf(GetProcessId(wizard));
    CloseHandle(wizard);
}

class KilledWhileGameRuns : public ::testing::TestWithParam<Launcher> {};

TEST_P(KilledWhileGameRuns, NextLaunchPutsTheGameBack)
{
    const Launcher &l = GetParam();
    if (std::string(l.what) == "Wizard" && !ReadBytes(WizardPath()))
        GTEST_SKIP() << "the wizard is not built: " << WizardPath();
    GameFolder folder;
    InstallStandin(".");
    WriteBytes("wedge.plt", std::string("Wedge\0", 6));
    WriteBytes("CONFIG.CFG", OLD_CONFIG);
    WriteBytes("standin.hold", "");

    HANDLE launcher = l.start();
    ASSERT_TRUE(launcher);
    bool running = WaitUntil([] { return Exists("standin.running"); });
    DWORD id = GetProcessId(launcher);
    TerminateProcess(launcher, 1);
    WaitForSingleObject(launcher, INFINITE);
    CloseHandle(launcher);
    ASSERT_TRUE(running) << "the game never ran";

    EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), Patched(StandinBytes())));
    EXPECT_TRUE(SameBytes(FileBytes("4321.aaa"), StandinBytes()));
    DeleteFileA("standin.hold");
    WaitForGamesOf(id);
    // Killed, the launcher never put the executable back.
    EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), Patched(StandinBytes())));

    l.normal();

    EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), StandinBytes()));
    EXPECT_FALSE(Exists("4321.aaa"));
    EXPECT_EQ(ReadStandinLog(".").size(), 2u);
    EXPECT_TRUE(SameBytes(FileBytes("CONFIG.CFG"), l.configAfter));
    auto names = ListNames(".");
    EXPECT_NE(std::find(names.begin(), names.end(), "XWINGALLIANCE.exe"), names.end());
}

INSTANTIATE_TEST_SUITE_P(Faults, KilledWhileGameRuns, ::testing::Values(
    Launcher{"Wizard", StartWizard, WizardRun, "lastpilot Wedge\r\n" + SETTINGS},
    Launcher{"Helper", [] { return Start(HelperPath(), "launch"); },
             [] { EXPECT_EQ(RunHelper("launch"), 1); }, OLD_CONFIG}),
    [](const auto &info) { return std::string(info.param.what); });

// A launch or a rewrite stopped dead at one of its named points, once or
// twice in a row.
struct StopCase {
    const char *point;
    bool launch;               // else a rewrite
    bool configBefore = true;  // a CONFIG.CFG to start with
};

class StoppedAt
    : public ::testing::TestWithParam<std::tuple<StopCase, int>> {};

TEST_P(StoppedAt, NothingLostAndNextRunPutsItRight)
{
    const StopCase &c = std::get<0>(GetParam());
    const int stops = std::get<1>(GetParam());
    GameFolder folder;
    InstallStandin(".");
    std::optional<std::string> before;
    if (c.configBefore)
        before = OLD_CONFIG;
    if (before)
        WriteBytes("CONFIG.CFG", *before);
    const std::string rest = before ? SETTINGS : "";
    const std::string after = "lastpilot Bravo\r\n" + rest;

    for (int i = 0; i < stops; i++) {
        std::string args = c.launch ? std::string("launch ") + c.point
                                    : std::string("rewrite Bravo ") + c.point;
        EXPECT_EQ(RunHelper(args), STOPPED) << "stop " << i + 1 << " at " << c.point;
        EXPECT_TRUE(ExeKept(StandinBytes())) << "after stop " << i + 1;
        if (c.launch)
            EXPECT_TRUE(SameBytes(FileBytes("CONFIG.CFG"), before));
        else
            EXPECT_TRUE(ConfigKept(before, after)) << "after stop " << i + 1;
    }

    // The next run, as the wizard makes it: the rewrite, then the launch.
    EXPECT_EQ(WriteLastPilot("Wedge"), 1);
    LaunchOutcome r = LaunchOnTestPage();

    EXPECT_FALSE(r.box.found) << r.box.text;
    EXPECT_EQ(r.returned, 1);
    EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), StandinBytes()));
    EXPECT_FALSE(Exists("4321.aaa"));
    EXPECT_TRUE(SameBytes(FileBytes("CONFIG.CFG"), "lastpilot Wedge\r\n" + rest));
    EXPECT_FALSE(Exists("1234.aaa"));
}

INSTANTIATE_TEST_SUITE_P(Faults, StoppedAt, ::testing::Combine(::testing::Values(
    StopCase{"backup-partial", true},
    StopCase{"backup-done", true},
    StopCase{"patched", true},
    StopCase{"page-ended", true},
    StopCase{"game-started", true},
    StopCase{"restore-deleted", true},
    StopCase{"temp-partial", false},
    StopCase{"temp-closed", false},
    StopCase{"config-deleted", false},
    StopCase{"temp-renaming", false},
    StopCase{"temp-renaming", false, false}), ::testing::Values(1, 2)),
    [](const auto &info) {
        const StopCase &c = std::get<0>(info.param);
        std::string name = c.point;
        for (char &ch : name)
            if (ch == '-')
                ch = '_';
        if (!c.configBefore)
            name += "_NoConfig";
        return name + (std::get<1>(info.param) == 1 ? "_Once" : "_Twice");
    });

}  // namespace
