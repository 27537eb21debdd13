// The pilot list: names from the pilot files, sorted, the stored pilot
// preselected.
#include <gtest/gtest.h>

#include <windows.h>

#include "gamefiles.h"
#include "gamefolder.h"
#include "resource.h"
#include "testpage.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

struct Roster {
    std::vector<std::string> items;
    int selected = -1;
    bool nextEnabled = true;
    std::string chosen;  // what GetSelectedPilot hands out
};

Roster Fill()
{
    Roster r;
    HWND page = MakeTestPage(true);
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    FillPilotList(page, list);
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[64] = "";
        SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
        r.items.push_back(text);
    }
    r.selected = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
    r.nextEnabled = IsWindowEnabled(GetDlgItem(page, IDC_PILOT_NEXT)) != FALSE;
    if (r.selected >= 0) {
        char *name = GetSelectedPilot(list);
        r.chosen = name;
        free(name);
    }
    DestroyWindow(page);
    return r;
}

std::string Selected(const Roster &r)
{
    return r.selected >= 0 ? r.items[r.selected] : "<none>";
}

void Pilot(const char *file, const std::string &bytes)
{
    WriteBytes(file, bytes);
}

std::string Named(const char *name)
{
    return std::string(name) + std::string(1, '\0') + "rest of the pilot file";
}

TEST(Roster, NoPilotFiles)
{
    GameFolder folder;
    const std::string config = "lastpilot Alpha\r\n";
    WriteBytes("CONFIG.CFG", config);
    WriteBytes("1234.aaa", "not to be touched");
    DeleteFileA("CONFIG.CFG");
    Roster r = Fill();
    EXPECT_TRUE(r.items.empty());
    EXPECT_EQ(r.selected, -1);
    EXPECT_FALSE(r.nextEnabled);
    // CONFIG.CFG is not even looked at: a leftover temporary file stays.
    EXPECT_FALSE(Exists("CONFIG.CFG"));
}

// Which item is selected for a stored name.
struct SelectCase {
    const char *what;
    std::vector<std::string> names;
    std::optional<std::string> config;
    std::string selected;
};

class Select : public ::testing::TestWithParam<SelectCase> {};

TEST_P(Select, StoredPilot)
{
    const SelectCase &c = GetParam();
    GameFolder folder;
    for (size_t i = 0; i < c.names.size(); i++)
        Pilot(("p" + std::to_string(i) + ".plt").c_str(), Named(c.names[i].c_str()));
    if (c.config)
        WriteBytes("CONFIG.CFG", *c.config);

    Roster r = Fill();

    std::vector<std::string> sorted = c.names;
    std::sort(sorted.begin(), sorted.end(), [](const std::string &a, const std::string &b) {
        return lstrcmpiA(a.c_str(), b.c_str()) < 0;
    });
    EXPECT_EQ(r.items, sorted);
    EXPECT_TRUE(r.nextEnabled);
    EXPECT_EQ(Selected(r), c.selected);
    EXPECT_EQ(r.chosen, c.selected);
    EXPECT_EQ(ReadBytes("CONFIG.CFG"), c.config) << "filling the list changes nothing";
}

INSTANTIATE_TEST_SUITE_P(Roster, Select, ::testing::Values(
    SelectCase{"Exact", {"Wedge", "Biggs", "Luke"}, "lastpilot Luke\r\n", "Luke"},
    SelectCase{"IgnoresCase", {"Wedge", "Biggs", "Luke"}, "lastpilot bIGGS\r\n", "Biggs"},
    SelectCase{"NoMatchFirstItem", {"Wedge", "Biggs", "Luke"}, "lastpilot Han\r\n", "Biggs"},
    SelectCase{"NoConfigFirstItem", {"Wedge", "Biggs"}, std::nullopt, "Biggs"},
    SelectCase{"EmptyNameFirstItem", {"Wedge", "Biggs"}, "lastpilot \r\n", "Biggs"},
    // The search starts after item 0, so a prefix lands on the longer name.
    SelectCase{"PrefixAfterFirstItem", {"Wedge", "Wedgeling"}, "lastpilot Wedge\r\n",
               "Wedgeling"},
    SelectCase{"PrefixMatch", {"Wedge", "Biggs", "Luke"}, "lastpilot Lu\r\n", "Luke"},
    SelectCase{"DuplicatesKept", {"Luke", "Luke", "Biggs"}, "lastpilot Luke\r\n", "Luke"}),
    [](const auto &info) { return std::string(info.param.what); });

// The name is the bytes read from the file up to the first NUL: 13 bytes
// from the first file found, 12 from each later one.
TEST(Roster, NameBytes)
{
    GameFolder folder;
    Pilot("a.plt", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    Pilot("b.plt", "abcdefghijklmnopqrstuvwxyz");
    Roster r = Fill();
    ASSERT_EQ(r.items.size(), 2u);
    // Which file the search returns first is the platform's choice.
    // The list sorts without regard to case, a prefix first.
    std::vector<std::string> firstA = {"abcdefghijkl", "ABCDEFGHIJKLM"};
    std::vector<std::string> firstB = {"ABCDEFGHIJKL", "abcdefghijklm"};
    EXPECT_TRUE(r.items == firstA || r.items == firstB)
        << r.items[0] << " / " << r.items[1];
}

// A short file shows only its own bytes, never what an earlier file left.
TEST(Roster, ShortFilesShowTheirOwnBytes)
{
    GameFolder folder;
    Pilot("a.plt", "ZZZZZZZZZZZZZZZZZZZZ");
    Pilot("b.plt", "Al");
    Pilot("c.plt", "");
    Pilot("d.plt", std::string("\0ZZZZ", 5));
    Roster r = Fill();
    ASSERT_EQ(r.items.size(), 4u);
    EXPECT_EQ(r.items[0], "");
    EXPECT_EQ(r.items[1], "");
    EXPECT_EQ(r.items[2], "Al");
    EXPECT_TRUE(r.items[3] == std::string(13, 'Z') || r.items[3] == std::string(12, 'Z'));
}

TEST(Roster, AnsiNames)
{
    GameFolder folder;
    Pilot("j\xE4ger.plt", Named("J\xE4ger"));
    WriteBytes("CONFIG.CFG", "lastpilot J\xE4ger\r\n");
    Roster r = Fill();
    ASSERT_EQ(r.items, std::vector<std::string>{"J\xE4ger"});
    EXPECT_EQ(r.chosen, "J\xE4ger");
}

// Entries that are no readable pilot file are left out.
TEST(Roster, UnreadableEntriesSkipped)
{
    GameFolder folder;
    Pilot("good.plt", Named("Wedge"));
    ASSERT_TRUE(CreateDirectoryA("folder.plt", nullptr));
    Pilot("locked.plt", Named("Locked"));
    HANDLE lock = CreateFileA("locked.plt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);

    Roster r = Fill();
    CloseHandle(lock);

    EXPECT_EQ(r.items, std::vector<std::string>{"Wedge"});
    EXPECT_TRUE(r.nextEnabled);
}

TEST(Roster, OnlyUnreadableEntriesMeansNoPilot)
{
    GameFolder folder;
    ASSERT_TRUE(CreateDirectoryA("folder.plt", nullptr));
    Roster r = Fill();
    EXPECT_TRUE(r.items.empty());
    EXPECT_FALSE(r.nextEnabled);
}

TEST(Roster, SelectionHandedOut)
{
    GameFolder folder;
    Pilot("a.plt", Named("Wedge"));
    Pilot("b.plt", Named("Biggs"));
    HWND page = MakeTestPage(true);
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    FillPilotList(page, list);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    char *name = GetSelectedPilot(list);
    EXPECT_STREQ(name, "Wedge");
    free(name);
    DestroyWindow(page);
}

}  // namespace
