// The wizard as a player meets it: its pages in order, what each shows, the
// pilot choice, the patched run of the game and every way out. Buttons are
// pressed with posted clicks; nothing here needs the foreground.
#include <gtest/gtest.h>

#include <algorithm>

#include "boxwatch.h"
#include "driver.h"
#include "gamefolder.h"
#include "pages.h"
#include "resource.h"
#include "standin.h"
#include "wizardcase.h"

namespace {

class E2EFlow : public WizardTest {};

// ---------------------------------------------------------------- page order

struct Step {
    int button;
    Page next;  // Page::None: the program ends
};

TEST_F(E2EFlow, PagesFollowInOrderForwardsAndBack)
{
    MakeGameFolder();
    Start();
    const Step steps[] = {
        {IDC_WELCOME_NEXT, Page::Agreement},
        {IDC_AGREEMENT_PREV, Page::Welcome},
        {IDC_WELCOME_NEXT, Page::Agreement},
        {IDC_AGREEMENT_NEXT, Page::Pilot},
        {IDC_PILOT_PREV, Page::Agreement},
        {IDC_AGREEMENT_NEXT, Page::Pilot},
        {IDC_PILOT_NEXT, Page::Confirm},
        {IDC_CONFIRM_PREV, Page::Pilot},
        {IDC_PILOT_NEXT, Page::Confirm},
        {IDC_CONFIRM_LAUNCH, Page::End},
        {IDC_END_EXIT, Page::None},
    };
    HWND page = wizard->WaitForPage(Page::Welcome);
    ASSERT_TRUE(page) << wizard->Describe();
    int n = 0;
    for (const Step &step : steps) {
        SCOPED_TRACE("step " + std::to_string(++n) + " from the " + PageName(KindOf(page))
                     + " page, button " + std::to_string(step.button));
        if (step.next == Page::None) {
            wizard->Press(page, step.button);
            break;
        }
        HWND next = wizard->Move(page, step.button, step.next);
        ASSERT_TRUE(next) << "expected the " << step.next << " page; " << wizard->Describe();
        EXPECT_NE(page, next) << "a page reached again is built anew";
        page = next;
    }
    ExpectCleanExit();
}

TEST_F(E2EFlow, CommandLineArgumentsChangeNothing)
{
    MakeGameFolder();
    StartOptions options;
    options.arguments = "/s -quiet Bravo XWINGALLIANCE.EXE";
    Start(options);
    HWND page = wizard->GoTo(Page::Pilot);
    ASSERT_TRUE(page) << wizard->Describe();
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    EXPECT_EQ("Alpha", ListItems(list).at(ListSelection(list)));
    wizard->Press(page, IDC_PILOT_EXIT);
    ExpectCleanExit();
    EXPECT_EQ(kConfig, Read("CONFIG.CFG"));
    EXPECT_TRUE(ReadStandinLog(folder.Path()).empty());
}

// ------------------------------------------------------------ page content

class PageContent : public ::testing::TestWithParam<Route>, public WizardCase {};

TEST_P(PageContent, ShowsItsCaptionTextsAndButtons)
{
    MakeGameFolder();
    HWND page = Reach(GetParam());
    ASSERT_TRUE(page);
    ExpectPageContent(page, PageOf(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(E2E, PageContent,
                         ::testing::Values(Route::FirstWelcome, Route::WelcomeAgain,
                                           Route::Agreement, Route::Pilot, Route::Confirm,
                                           Route::End),
                         [](const ::testing::TestParamInfo<Route> &info) {
                             return std::string(RouteName(info.param));
                         });

TEST_F(E2EFlow, DisclaimerReadsBackByteForByteEveryTimeThePageOpens)
{
    MakeGameFolder();
    Start();
    HWND page = wizard->GoTo(Page::Agreement);
    ASSERT_TRUE(page) << wizard->Describe();
    for (int opening = 1; opening <= 2; opening++) {
        SCOPED_TRACE("opening " + std::to_string(opening));
        std::string text = WindowText(GetDlgItem(page, IDC_AGREEMENT_TEXT));
        EXPECT_EQ(730u, text.size());
        EXPECT_EQ(DisclaimerText(), text) << FirstDifference(DisclaimerText(), text);
        HWND pilot = wizard->Move(page, IDC_AGREEMENT_NEXT, Page::Pilot);
        ASSERT_TRUE(pilot) << wizard->Describe();
        page = wizard->Move(pilot, IDC_PILOT_PREV, Page::Agreement);
        ASSERT_TRUE(page) << wizard->Describe();
    }
    wizard->Press(page, IDC_AGREEMENT_EXIT);
    ExpectCleanExit();
}

// ------------------------------------------------------------- quit paths

enum class Action {
    ExitButton,      // the page's own "Exit"
    CloseBox,        // the title bar's close box: WM_SYSCOMMAND SC_CLOSE
    CloseMessage,    // WM_CLOSE, as the task list sends it
    UnknownCommand,  // a command no page knows: IDOK, what Enter sends without a default button
};

const char *ActionName(Action action)
{
    switch (action) {
    case Action::ExitButton: return "ExitButton";
    case Action::CloseBox: return "CloseBox";
    case Action::CloseMessage: return "CloseMessage";
    case Action::UnknownCommand: return "UnknownCommand";
    }
    return "?";
}

struct QuitCase {
    Route route;
    Action action;
    bool quits;  // false: the page stays and nothing changes
};

void Act(HWND page, Action action)
{
    switch (action) {
    case Action::ExitButton:
        PostMessageA(GetDlgItem(page, KindOf(page) == Page::Pilot ? IDC_PILOT_EXIT : 1011),
                     BM_CLICK, 0, 0);
        break;
    case Action::CloseBox:
        PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
        break;
    case Action::CloseMessage:
        PostMessageA(page, WM_CLOSE, 0, 0);
        break;
    case Action::UnknownCommand:
        PostMessageA(page, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        break;
    }
}

class QuitPath : public ::testing::TestWithParam<QuitCase>, public WizardCase {};

TEST_P(QuitPath, EndsWithExitCodeZeroOrLeavesThePageAlone)
{
    const QuitCase &c = GetParam();
    MakeGameFolder();
    HWND page = Reach(c.route);
    ASSERT_TRUE(page);
    Act(page, c.action);
    if (!c.quits) {
        EXPECT_TRUE(wizard->StaysOn(page)) << wizard->Describe();
        // Still working: its own Exit ends it.
        Act(page, Action::ExitButton);
    }
    ExpectCleanExit();
    // The pilot choice is written on the Pilot page's "Next ->" and only then.
    bool passedPilotNext = c.route == Route::Confirm || c.route == Route::End;
    EXPECT_EQ(passedPilotNext ? "lastpilot Alpha\r\nvolume 7\r\nmusic on\r\n" : kConfig,
              Read("CONFIG.CFG"));
    EXPECT_FALSE(Exists(File("1234.aaa")));
    EXPECT_FALSE(Exists(File("4321.aaa")));
}

const QuitCase kQuitCases[] = {
    {Route::FirstWelcome, Action::ExitButton, true},
    {Route::FirstWelcome, Action::CloseBox, true},
    {Route::FirstWelcome, Action::UnknownCommand, true},
    {Route::WelcomeAgain, Action::ExitButton, true},
    {Route::WelcomeAgain, Action::CloseBox, true},
    {Route::WelcomeAgain, Action::UnknownCommand, true},
    {Route::Agreement, Action::ExitButton, true},
    {Route::Agreement, Action::CloseBox, true},
    {Route::Agreement, Action::CloseMessage, true},
    {Route::Agreement, Action::UnknownCommand, true},
    {Route::Pilot, Action::ExitButton, true},
    {Route::Pilot, Action::CloseBox, false},
    {Route::Pilot, Action::CloseMessage, false},
    {Route::Pilot, Action::UnknownCommand, false},
    {Route::Confirm, Action::ExitButton, true},
    {Route::Confirm, Action::CloseBox, true},
    {Route::Confirm, Action::UnknownCommand, true},
    {Route::End, Action::ExitButton, true},
    {Route::End, Action::CloseBox, true},
    {Route::End, Action::UnknownCommand, true},
};

INSTANTIATE_TEST_SUITE_P(E2E, QuitPath, ::testing::ValuesIn(kQuitCases),
                         [](const ::testing::TestParamInfo<QuitCase> &info) {
                             return std::string(RouteName(info.param.route)) + "_"
                                  + ActionName(info.param.action);
                         });

}  // namespace

namespace {

// ------------------------------------------------------------- pilot list

struct PilotFileEntry {
    const char *file;
    const char *name;
};

struct ListCase {
    const char *label;
    std::vector<PilotFileEntry> files;  // written in this order
    const char *config;
    std::vector<std::string> items;
    const char *selected;
};

class PilotList : public ::testing::TestWithParam<ListCase>, public WizardCase {};

TEST_P(PilotList, SortedWithTheStoredPilotSelected)
{
    const ListCase &c = GetParam();
    InstallStandin(folder.Path());
    for (const PilotFileEntry &f : c.files)
        Write(f.file, PilotFile(f.name));
    Write("CONFIG.CFG", c.config);
    HWND page = Reach(Route::Pilot);
    ASSERT_TRUE(page);
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    std::vector<std::string> items = ListItems(list);
    EXPECT_EQ(c.items, items);
    int selection = ListSelection(list);
    ASSERT_GE(selection, 0);
    ASSERT_LT(selection, (int)items.size());
    EXPECT_EQ(c.selected, items[selection]);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PILOT_NEXT)));
    wizard->Press(page, IDC_PILOT_EXIT);
    ExpectCleanExit();
    EXPECT_EQ(c.config, Read("CONFIG.CFG"));
}

const ListCase kListCases[] = {
    {"SortedIgnoringCase",
     {{"z.plt", "Zed"}, {"a.plt", "alpha"}, {"m.plt", "Mike"}},
     "lastpilot Mike\r\n", {"alpha", "Mike", "Zed"}, "Mike"},
    {"StoredNameInOtherCase",
     {{"z.plt", "Zed"}, {"a.plt", "alpha"}, {"m.plt", "Mike"}},
     "lastpilot ZED\r\n", {"alpha", "Mike", "Zed"}, "Zed"},
    {"NoMatchKeepsFirst",
     {{"z.plt", "Zed"}, {"a.plt", "alpha"}, {"m.plt", "Mike"}},
     "lastpilot Nobody\r\n", {"alpha", "Mike", "Zed"}, "alpha"},
    // The search starts after item 0: "Ace" stored lands on "Acer".
    {"PrefixAfterFirstItem",
     {{"1.plt", "Ace"}, {"2.plt", "Acer"}, {"3.plt", "Zed"}},
     "lastpilot Ace\r\n", {"Ace", "Acer", "Zed"}, "Acer"},
    {"PrefixMatch",
     {{"1.plt", "Ace"}, {"2.plt", "Bravo"}, {"3.plt", "Zed"}},
     "lastpilot br\r\n", {"Ace", "Bravo", "Zed"}, "Bravo"},
    {"SameNameTwice",
     {{"1.plt", "Bravo"}, {"2.plt", "Alpha"}, {"3.plt", "Bravo"}},
     "lastpilot Bravo\r\nvolume 7\r\n", {"Alpha", "Bravo", "Bravo"}, "Bravo"},
};

INSTANTIATE_TEST_SUITE_P(E2E, PilotList, ::testing::ValuesIn(kListCases),
                         [](const ::testing::TestParamInfo<ListCase> &info) {
                             return std::string(info.param.label);
                         });

TEST_F(E2EFlow, WithoutPilotFilesNextIsDisabledAndPrevAndExitStillWork)
{
    InstallStandin(folder.Path());
    Write("CONFIG.CFG", kConfig);
    Start();
    HWND page = wizard->GoTo(Page::Pilot);
    ASSERT_TRUE(page) << wizard->Describe();
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    EXPECT_TRUE(ListItems(list).empty());
    EXPECT_EQ(LB_ERR, ListSelection(list));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PILOT_NEXT)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PILOT_PREV)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_PILOT_EXIT)));

    HWND agreement = wizard->Move(page, IDC_PILOT_PREV, Page::Agreement);
    ASSERT_TRUE(agreement) << wizard->Describe();
    page = wizard->Move(agreement, IDC_AGREEMENT_NEXT, Page::Pilot);
    ASSERT_TRUE(page) << wizard->Describe();
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_PILOT_NEXT)));
    wizard->Press(page, IDC_PILOT_EXIT);
    ExpectCleanExit();
    EXPECT_EQ(kConfig, Read("CONFIG.CFG"));
}

TEST_F(E2EFlow, GoingBackAndForthFillsAFreshList)
{
    MakeGameFolder();
    Start();
    HWND page = wizard->GoTo(Page::Pilot);
    ASSERT_TRUE(page) << wizard->Describe();
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Bravo", "Charlie"}),
              ListItems(GetDlgItem(page, IDC_PILOT_LIST)));

    HWND agreement = wizard->Move(page, IDC_PILOT_PREV, Page::Agreement);
    ASSERT_TRUE(agreement) << wizard->Describe();
    Write("delta.plt", PilotFile("Delta"));
    ASSERT_TRUE(DeleteFileA(File("bravo.plt").c_str()));
    page = wizard->Move(agreement, IDC_AGREEMENT_NEXT, Page::Pilot);
    ASSERT_TRUE(page) << wizard->Describe();
    EXPECT_EQ((std::vector<std::string>{"Alpha", "Charlie", "Delta"}),
              ListItems(GetDlgItem(page, IDC_PILOT_LIST)));
    wizard->Press(page, IDC_PILOT_EXIT);
    ExpectCleanExit();
}

// --------------------------------------------------------- the pilot choice

struct ChoiceCase {
    const char *label;
    const char *config;
    int pick;  // list index chosen, -1: leave the preselection
    int button;
    const char *configAfter;
};

class PilotChoice : public ::testing::TestWithParam<ChoiceCase>, public WizardCase {};

TEST_P(PilotChoice, WrittenOnNextOnly)
{
    const ChoiceCase &c = GetParam();
    MakeGameFolder();
    Write("CONFIG.CFG", c.config);
    Start();
    HWND page = wizard->GoTo(Page::Pilot);
    ASSERT_TRUE(page) << wizard->Describe();
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    if (c.pick >= 0)
        SendMessageA(list, LB_SETCURSEL, c.pick, 0);
    wizard->Press(page, c.button);
    if (c.button == IDC_PILOT_NEXT) {
        HWND confirm = wizard->WaitForPage(Page::Confirm, page);
        ASSERT_TRUE(confirm) << wizard->Describe();
        EXPECT_EQ(c.configAfter, Read("CONFIG.CFG")) << "when the Confirm page shows";
        // Leaving later does not undo it.
        wizard->Press(confirm, IDC_CONFIRM_EXIT);
    }
    ExpectCleanExit();
    EXPECT_EQ(c.configAfter, Read("CONFIG.CFG"));
    EXPECT_FALSE(Exists(File("1234.aaa")));
}

const ChoiceCase kChoiceCases[] = {
    {"OtherPilotOnNext", "lastpilot Alpha\r\nvolume 7\r\nmusic on\r\n", 2, IDC_PILOT_NEXT,
     "lastpilot Charlie\r\nvolume 7\r\nmusic on\r\n"},
    {"PreselectedPilotOnNext", "lastpilot bravo\r\nvolume 7\r\n", -1, IDC_PILOT_NEXT,
     "lastpilot Bravo\r\nvolume 7\r\n"},
    {"OtherFirstLineReplacedWhole", "[settings]\r\nvolume 7\r\n", 1, IDC_PILOT_NEXT,
     "lastpilot Bravo\r\nvolume 7\r\n"},
    {"ExitWritesNothing", "lastpilot alpha\r\nvolume 7\r\nmusic on\r\n", 2, IDC_PILOT_EXIT,
     "lastpilot alpha\r\nvolume 7\r\nmusic on\r\n"},
};

INSTANTIATE_TEST_SUITE_P(E2E, PilotChoice, ::testing::ValuesIn(kChoiceCases),
                         [](const ::testing::TestParamInfo<ChoiceCase> &info) {
                             return std::string(info.param.label);
                         });

TEST_F(E2EFlow, BackFromConfirmShowsTheNewlyStoredPilotSelected)
{
    MakeGameFolder();
    Start();
    HWND page = wizard->GoTo(Page::Pilot);
    ASSERT_TRUE(page) << wizard->Describe();
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    ASSERT_EQ("Alpha", ListItems(list)[ListSelection(list)]);
    SendMessageA(list, LB_SETCURSEL, 2, 0);
    HWND confirm = wizard->Move(page, IDC_PILOT_NEXT, Page::Confirm);
    ASSERT_TRUE(confirm) << wizard->Describe();
    page = wizard->Move(confirm, IDC_CONFIRM_PREV, Page::Pilot);
    ASSERT_TRUE(page) << wizard->Describe();
    list = GetDlgItem(page, IDC_PILOT_LIST);
    std::vector<std::string> items = ListItems(list);
    int selection = ListSelection(list);
    ASSERT_GE(selection, 0);
    EXPECT_EQ("Charlie", items.at(selection));
    wizard->Press(page, IDC_PILOT_EXIT);
    ExpectCleanExit();
}

// -------------------------------------------------------------- the launch

// Lets the stand-in game run until Release(), so the folder can be looked at
// while it runs.
class HeldGame {
public:
    explicit HeldGame(const std::string &folder) : folder_(folder)
    {
        WriteBytes(folder_ + "\\standin.hold", "");
    }
    ~HeldGame() { Release(); }
    bool WaitUntilRunning() const
    {
        for (int i = 0; i < 1000; i++) {
            if (Exists(folder_ + "\\standin.running"))
                return true;
            Sleep(10);
        }
        return false;
    }
    void Release() const { DeleteFileA((folder_ + "\\standin.hold").c_str()); }

private:
    std::string folder_;
};

class Launch : public ::testing::TestWithParam<int>, public WizardCase {};

TEST_P(Launch, GameRunsPatchedHiddenAndTheExecutableComesBack)
{
    MakeGameFolder();
    if (GetParam() != 0)
        Write("standin.exitcode", std::to_string(GetParam()));
    HeldGame game(folder.Path());
    Start();
    HWND confirm = wizard->GoTo(Page::Confirm);
    ASSERT_TRUE(confirm) << wizard->Describe();
    wizard->Press(confirm, IDC_CONFIRM_LAUNCH);

    ASSERT_TRUE(game.WaitUntilRunning()) << wizard->Describe();
    EXPECT_EQ(nullptr, wizard->CurrentPage()) << "nothing of the program shows while the game runs";
    EXPECT_EQ(Patched(StandinBytes()), Read("XWINGALLIANCE.EXE"));
    EXPECT_EQ(StandinBytes(), Read("4321.aaa"));
    game.Release();

    HWND end = wizard->WaitForPage(Page::End, confirm);
    ASSERT_TRUE(end) << wizard->Describe();
    ExpectPageContent(end, Page::End);

    std::vector<StandinRun> runs = ReadStandinLog(folder.Path());
    ASSERT_EQ(1u, runs.size());
    StandinRun run = runs[0];
    EXPECT_EQ("90 90", run["patch"]);
    EXPECT_EQ("0", run["show"]) << "SW_HIDE";
    EXPECT_EQ(std::to_string(STARTF_USESHOWWINDOW), run["flags"]);
    EXPECT_EQ("XWINGALLIANCE.EXE", run["cmdline"]);
    EXPECT_STRCASEEQ(folder.Path().c_str(), run["cwd"].c_str());
    EXPECT_STRCASEEQ(File("XWINGALLIANCE.EXE").c_str(), run["module"].c_str());

    std::vector<std::string> names = ListNames(folder.Path());
    EXPECT_EQ(1, std::count(names.begin(), names.end(), "XWINGALLIANCE.exe"))
        << "the executable's name is spelled as the restore spells it";
    EXPECT_EQ(0, std::count(names.begin(), names.end(), "XWINGALLIANCE.EXE"));
    EXPECT_EQ(0, std::count(names.begin(), names.end(), "4321.aaa"));
    EXPECT_EQ(StandinBytes(), Read("XWINGALLIANCE.exe"));

    wizard->Press(end, IDC_END_EXIT);
    ExpectCleanExit();
}

// The game's own exit code does not matter.
INSTANTIATE_TEST_SUITE_P(E2E, Launch, ::testing::Values(0, 3),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return "GameExitCode" + std::to_string(info.param);
                         });

// ----------------------------------------------------------- launch errors

struct ErrorCase {
    const char *label;
    bool game;           // a file named XWINGALLIANCE.EXE lies in the folder
    const char *text;
    bool pageBehindBox;  // the Confirm page is still shown behind the box
};

class LaunchError : public ::testing::TestWithParam<ErrorCase>, public WizardCase {};

// Not a program: no "MZ", just noise of the game's size.
std::string Garbage()
{
    std::string bytes(4 << 20, '\0');
    unsigned state = 12345;
    for (char &b : bytes) {
        state = state * 1103515245 + 12345;
        b = (char)(state >> 16);
    }
    bytes[0] = 'X';
    return bytes;
}

TEST_P(LaunchError, ToldInABoxOwnedByTheConfirmPageThenTheProgramEnds)
{
    const ErrorCase &c = GetParam();
    Write("alpha.plt", PilotFile("Alpha"));
    Write("CONFIG.CFG", kConfig);
    if (c.game)
        Write("XWINGALLIANCE.EXE", Garbage());
    Start();
    HWND confirm = wizard->GoTo(Page::Confirm);
    ASSERT_TRUE(confirm) << wizard->Describe();
    wizard->Press(confirm, IDC_CONFIRM_LAUNCH);

    HWND box = wizard->WaitForBox();
    ASSERT_TRUE(box) << wizard->Describe();
    SeenBox seen = ReadBox(box);
    EXPECT_EQ("Error", seen.caption);
    EXPECT_EQ(c.text, seen.text);
    EXPECT_TRUE(seen.hasIcon);
    EXPECT_EQ(confirm, seen.owner);
    EXPECT_EQ(c.pageBehindBox, IsWindowVisible(confirm) != FALSE);

    PressOk(box);
    // It ends by itself: no End page waits for the player.
    ExpectCleanExit();

    EXPECT_FALSE(Exists(File("4321.aaa")));
    EXPECT_TRUE(ReadStandinLog(folder.Path()).empty());
    if (c.game) {
        std::vector<std::string> names = ListNames(folder.Path());
        EXPECT_EQ(1, std::count(names.begin(), names.end(), "XWINGALLIANCE.exe"));
        EXPECT_EQ(Garbage(), Read("XWINGALLIANCE.exe"));
    } else {
        EXPECT_FALSE(Exists(File("XWINGALLIANCE.EXE")));
    }
}

const ErrorCase kErrorCases[] = {
    {"NoGame", false, "Error writing to file, please contact the Quorvel Office", true},
    {"NotAProgram", true,
     "Error starting Xwingalliance!  Make sure program is in Xwingalliance folder.", false},
};

INSTANTIATE_TEST_SUITE_P(E2E, LaunchError, ::testing::ValuesIn(kErrorCases),
                         [](const ::testing::TestParamInfo<ErrorCase> &info) {
                             return std::string(info.param.label);
                         });

}  // namespace
