// Keyboard and mouse on the pages: real input (SendInput), sent to the
// program on a desktop of its own so that no other case's windows can take
// the foreground or lie under the pointer.
#include <gtest/gtest.h>

#include "driver.h"
#include "gamefolder.h"
#include "resource.h"
#include "standin.h"
#include "wizardcase.h"

namespace {

StartOptions OwnDesktop()
{
    StartOptions options;
    options.ownDesktop = true;
    return options;
}

// -------------------------------------------------- focus and the space bar

struct FocusCase {
    Route route;
    int focus;   // the control with the focus once the page is up
    Page next;   // where the space bar on it leads; Page::None: the program ends
};

class FocusOnOpening : public ::testing::TestWithParam<FocusCase>, public WizardCase {};

TEST_P(FocusOnOpening, SpacePressesTheButtonWithTheFocus)
{
    const FocusCase &c = GetParam();
    MakeGameFolder();
    HWND page = Reach(c.route, OwnDesktop());
    ASSERT_TRUE(page);
    ASSERT_TRUE(wizard->BringToFront(page));
    EXPECT_EQ(c.focus, wizard->FocusId());
    wizard->TypeKeys(page, {VK_SPACE});
    if (c.next == Page::None) {
        ExpectCleanExit();
        if (c.route == Route::Pilot) {
            EXPECT_EQ(kConfig, Read("CONFIG.CFG")) << "Exit on the Pilot page writes nothing";
        }
        return;
    }
    HWND next = wizard->WaitForPage(c.next, page);
    ASSERT_TRUE(next) << "expected the " << c.next << " page; " << wizard->Describe();
    if (c.next == Page::End) {
        EXPECT_EQ(1u, ReadStandinLog(folder.Path()).size()) << "the game ran once";
    }
}

const FocusCase kFocusCases[] = {
    {Route::FirstWelcome, IDC_WELCOME_NEXT, Page::Agreement},
    {Route::WelcomeAgain, IDC_WELCOME_NEXT, Page::Agreement},
    {Route::Agreement, IDC_AGREEMENT_NEXT, Page::Pilot},
    {Route::Pilot, IDC_PILOT_EXIT, Page::None},
    {Route::Confirm, IDC_CONFIRM_LAUNCH, Page::End},
    {Route::End, IDC_END_EXIT, Page::None},
};

INSTANTIATE_TEST_SUITE_P(E2E, FocusOnOpening, ::testing::ValuesIn(kFocusCases),
                         [](const ::testing::TestParamInfo<FocusCase> &info) {
                             return std::string(RouteName(info.param.route));
                         });

// --------------------------------------------------------- dialog keys

struct KeyCase {
    const char *label;
    Route route;
    WORD key;
    bool quits;
};

class DialogKeys : public ::testing::TestWithParam<KeyCase>, public WizardCase {};

// Each key is followed by one whose effect shows, so that "nothing happened"
// is seen only once the key under test has been handled: on the first
// Welcome page the space bar (Next, still focused, opens the Agreement
// page), on the Pilot page Tab (the focus moves from Exit to Next).
TEST_P(DialogKeys, EndTheProgramOnModalPagesOnly)
{
    const KeyCase &c = GetParam();
    MakeGameFolder();
    HWND page = Reach(c.route, OwnDesktop());
    ASSERT_TRUE(page);
    ASSERT_TRUE(wizard->BringToFront(page));
    if (c.quits) {
        wizard->TypeKeys(page, {c.key});
        ExpectCleanExit();
        return;
    }
    if (c.route == Route::FirstWelcome) {
        ASSERT_EQ(IDC_WELCOME_NEXT, wizard->FocusId());
        wizard->TypeKeys(page, {c.key, VK_SPACE});
        HWND next = wizard->WaitForPage(Page::Agreement, page);
        ASSERT_TRUE(next) << wizard->Describe();
        EXPECT_TRUE(wizard->StaysOn(next)) << wizard->Describe();
        wizard->Press(next, IDC_AGREEMENT_EXIT);
    } else {
        ASSERT_EQ(IDC_PILOT_EXIT, wizard->FocusId());
        wizard->TypeKeys(page, {c.key, VK_TAB});
        for (int i = 0; i < 500 && wizard->Running() && wizard->FocusId() != IDC_PILOT_NEXT; i++)
            Sleep(10);
        EXPECT_EQ(IDC_PILOT_NEXT, wizard->FocusId()) << wizard->Describe();
        EXPECT_EQ(page, wizard->CurrentPage()) << wizard->Describe();
        wizard->Press(page, IDC_PILOT_EXIT);
    }
    ExpectCleanExit();
}

const KeyCase kKeyCases[] = {
    {"FirstWelcome_Enter", Route::FirstWelcome, VK_RETURN, false},
    {"FirstWelcome_Esc", Route::FirstWelcome, VK_ESCAPE, false},
    {"FirstWelcome_Tab", Route::FirstWelcome, VK_TAB, false},
    {"WelcomeAgain_Esc", Route::WelcomeAgain, VK_ESCAPE, true},
    {"Agreement_Esc", Route::Agreement, VK_ESCAPE, true},
    {"Pilot_Esc", Route::Pilot, VK_ESCAPE, false},
    {"Confirm_Esc", Route::Confirm, VK_ESCAPE, true},
    {"End_Esc", Route::End, VK_ESCAPE, true},
};

INSTANTIATE_TEST_SUITE_P(E2E, DialogKeys, ::testing::ValuesIn(kKeyCases),
                         [](const ::testing::TestParamInfo<KeyCase> &info) {
                             return std::string(info.param.label);
                         });

// ------------------------------------------------------- the disclaimer box

enum class BoxTouch { Click, ArrowKeys, Scroll };

class DisclaimerBox : public ::testing::TestWithParam<BoxTouch>, public WizardCase {};

TEST_P(DisclaimerBox, TouchingItEndsTheProgram)
{
    MakeGameFolder();
    HWND page = Reach(Route::Agreement, OwnDesktop());
    ASSERT_TRUE(page);
    HWND box = GetDlgItem(page, IDC_AGREEMENT_TEXT);
    switch (GetParam()) {
    case BoxTouch::Click:
        wizard->ClickInto(box);
        break;
    case BoxTouch::ArrowKeys:
        // Next -> Prev -> Exit: the arrows walk the page's controls in
        // template order; one more reaches the box.
        ASSERT_TRUE(wizard->BringToFront(page));
        ASSERT_EQ(IDC_AGREEMENT_NEXT, wizard->FocusId());
        wizard->TypeKeys(page, {VK_DOWN, VK_DOWN});
        for (int i = 0; i < 500 && wizard->FocusId() != IDC_AGREEMENT_EXIT; i++)
            Sleep(10);
        ASSERT_EQ(IDC_AGREEMENT_EXIT, wizard->FocusId()) << wizard->Describe();
        ASSERT_TRUE(wizard->StaysOn(page)) << wizard->Describe();
        wizard->TypeKeys(page, {VK_DOWN});
        break;
    case BoxTouch::Scroll:
        // All thirteen lines fit the box's height, so it can only scroll
        // sideways, along its long lines; it has no scroll bar for that,
        // so the request is posted as a scroll bar would send it.
        PostMessageA(box, WM_HSCROLL, SB_LINERIGHT, 0);
        break;
    }
    ExpectCleanExit();
    EXPECT_EQ(kConfig, Read("CONFIG.CFG"));
}

INSTANTIATE_TEST_SUITE_P(E2E, DisclaimerBox,
                         ::testing::Values(BoxTouch::Click, BoxTouch::ArrowKeys,
                                           BoxTouch::Scroll),
                         [](const ::testing::TestParamInfo<BoxTouch> &info) {
                             switch (info.param) {
                             case BoxTouch::Click: return "Click";
                             case BoxTouch::ArrowKeys: return "ArrowKeys";
                             case BoxTouch::Scroll: return "Scroll";
                             }
                             return "?";
                         });

// --------------------------------------------------------- the pilot list

struct ListClick {
    int item;
    int clicks;
};

class PilotListMouse : public ::testing::TestWithParam<ListClick>, public WizardCase {};

TEST_P(PilotListMouse, ClicksOnlyChangeTheSelection)
{
    const ListClick &c = GetParam();
    MakeGameFolder();
    HWND page = Reach(Route::Pilot, OwnDesktop());
    ASSERT_TRUE(page);
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    std::vector<std::string> items = ListItems(list);
    ASSERT_EQ(3u, items.size());
    ASSERT_EQ(0, ListSelection(list));

    DWORD_PTR height = 0;
    SendMessageTimeoutW(list, LB_GETITEMHEIGHT, 0, 0, SMTO_ABORTIFHUNG, 2000, &height);
    ASSERT_GT(height, 0u);
    POINT at = {20, (LONG)(height * c.item + height / 2)};
    ClientToScreen(list, &at);
    ASSERT_TRUE(wizard->BringToFront(page));
    wizard->ClickAt(at, c.clicks);
    for (int i = 0; i < 500 && ListSelection(list) != c.item; i++)
        Sleep(10);
    EXPECT_EQ(c.item, ListSelection(list));
    EXPECT_TRUE(wizard->StaysOn(page)) << wizard->Describe();

    HWND confirm = wizard->Move(page, IDC_PILOT_NEXT, Page::Confirm);
    ASSERT_TRUE(confirm) << wizard->Describe();
    EXPECT_EQ("lastpilot " + items[c.item] + "\r\nvolume 7\r\nmusic on\r\n", Read("CONFIG.CFG"));
    wizard->Press(confirm, IDC_CONFIRM_EXIT);
    ExpectCleanExit();
}

INSTANTIATE_TEST_SUITE_P(E2E, PilotListMouse, ::testing::Values(ListClick{2, 1}, ListClick{1, 2}),
                         [](const ::testing::TestParamInfo<ListClick> &info) {
                             return std::string(info.param.clicks == 1 ? "Click" : "DoubleClick")
                                  + "Item" + std::to_string(info.param.item);
                         });

}  // namespace
