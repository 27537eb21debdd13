#include "pages.h"

#include <stdexcept>

namespace {

const DWORD kPage = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
const DWORD kText = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER;
const DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
const DWORD kOff = WS_DISABLED;
const DWORD kSeparator = WS_CHILD | WS_VISIBLE | BS_GROUPBOX;
const DWORD kDisclaimerBox = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE
                           | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL;
const DWORD kPilotList = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY
                       | LBS_SORT | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;

// The bottom strip every page shares.
ExpectedControl Prev(int id, DWORD extra = 0)
{
    return {"Button", id, "<- Prev", kButton | extra, 110, 177, 50, 15};
}
ExpectedControl Next(int id, const char *text = "Next ->", DWORD extra = 0)
{
    return {"Button", id, text, kButton | extra, 160, 177, 50, 15};
}
ExpectedControl Exit(int id)
{
    return {"Button", id, "Exit", kButton, 219, 177, 50, 15};
}
ExpectedControl Separator()
{
    return {"Button", -1, "", kSeparator, 0, 160, 275, 9};
}
ExpectedControl Text(const char *text, short y)
{
    return {"Static", -1, text, kText, 0, y, 275, 10};
}

std::vector<ExpectedPage> MakePages()
{
    return {
        {Page::Welcome, "Welcome", kPage,
         {Text("XWA custom briefing patch program.", 20),
          Text("Welcome to the Valdrost Quorvel Office", 10),
          Next(1012),
          Exit(1011),
          Prev(-1, kOff),
          Text("This program will enable custom briefings in the single player missions", 55),
          Text("If you do not wish to use the custom briefing patch", 110),
          Text("press 'Exit' now, or press 'Next' to continue.", 120),
          Separator()}},
        {Page::Agreement, "Agreement", kPage | DS_3DLOOK,
         {Next(1014),
          Prev(1013),
          Exit(1011),
          {"Edit", 1017, "", kDisclaimerBox, 23, 17, 232, 128},
          Separator()}},
        {Page::Pilot, "Pilot", kPage | DS_3DLOOK,
         {Exit(1035),
          Next(1024),
          Prev(1025),
          Separator(),
          Text("Select pilot to use", 40),
          {"ListBox", 1034, "", kPilotList, 85, 60, 100, 80}}},
        {Page::Confirm, "Confirm", kPage | DS_3DLOOK,
         {Next(1019, "Lanuch!"),
          Prev(1017),
          Exit(1011),
          Separator(),
          Text("This program will now update your Xwingalliance.exe file and lauch the game.", 66),
          Text("Press 'Lanuch!' to start the game.", 106)}},
        {Page::End, "End", kPage | DS_3DLOOK,
         {Exit(1011),
          Next(1021, "Next ->", kOff),
          Prev(1022, kOff),
          Separator(),
          Text("Xwingalliance has been restored to its previous state.", 63),
          Text("Patch by Anonymous", 95),
          Text(nullptr, 105)}},
    };
}

}  // namespace

const std::vector<ExpectedPage> &ExpectedPages()
{
    static const std::vector<ExpectedPage> pages = MakePages();
    return pages;
}

const ExpectedPage &Expected(Page page)
{
    for (const ExpectedPage &p : ExpectedPages())
        if (p.page == page)
            return p;
    throw std::logic_error("no such page");
}

const std::string &DisclaimerText()
{
    static const std::string text = [] {
        const std::string rule(54, '=');
        const std::string tailA = std::string(" ") + std::string(5, '\t') + "    ";
        const std::string tailB = std::string(" ") + std::string(6, '\t');
        const std::vector<std::string> lines = {
            rule + tailA,
            "WARNING: This Patch will modify you Xwingalliance files." + tailA,
            rule + tailA,
            "The VL, KRS, QVO or Creator of this patch take no responsibility" + tailA,
            "for any damage incured to your systems nor data. You agree that" + tailB,
            "any and all responsibilty for any damages incurred is your own." + tailB,
            "This patch is not created, distrubuted or supported in any way by" + tailB,
            "Lucas Arts Entertainment Company. Use at your own risk." + tailA,
            rule + tailB,
            "",
            "",
            "By pressing 'Next' you agree to the terms provided." + tailB,
            "If not, press 'Exit' to quit this program.",
        };
        std::string joined;
        for (size_t i = 0; i < lines.size(); i++)
            joined += (i ? "\r\n" : "") + lines[i];
        return joined;
    }();
    return text;
}
