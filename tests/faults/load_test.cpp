// Big game folders: thousands of pilots, a configuration of many lines.
// The times are printed for the record; the checks are on the results.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "faults.h"
#include "gamefiles.h"
#include "gamefolder.h"
#include "resource.h"
#include "testpage.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(Faults, TwoThousandPilotsListedSorted)
{
    GameFolder folder;
    std::vector<std::string> names;
    uint32_t seed = 7;
    for (int i = 0; i < 2000; i++) {
        std::string name;
        size_t length = 1 + (seed = seed * 1103515245 + 12345) % 12;
        while (name.size() < length) {
            seed = seed * 1103515245 + 12345;
            name += "AbCdEfGhIjKlMnOpQrStUvWxYz"[(seed >> 16) % 26];
        }
        names.push_back(name);
        WriteBytes("p" + std::to_string(i) + ".plt", name + std::string(1, '\0') + "rest");
    }
    WriteBytes("CONFIG.CFG", "lastpilot " + names[1234] + "\r\n");

    // As at WM_INITDIALOG: the page is not shown yet while its list fills.
    HWND page = MakeTestPage(true);
    ShowWindow(page, SW_HIDE);
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);
    auto start = std::chrono::steady_clock::now();
    FillPilotList(page, list);
    double seconds = SecondsSince(start);
    printf("2,000 pilot files listed in %.3f s\n", seconds);

    std::vector<std::string> items;
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        char text[32] = "";
        SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
        items.push_back(text);
    }
    for (size_t i = 1; i < items.size(); i++)
        EXPECT_LE(lstrcmpiA(items[i - 1].c_str(), items[i].c_str()), 0)
            << "items " << i - 1 << " and " << i << " out of order";
    std::vector<std::string> listed = items, written = names;
    std::sort(listed.begin(), listed.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(listed, written);

    char *chosen = GetSelectedPilot(list);
    EXPECT_EQ(lstrcmpiA(std::string(chosen).substr(0, names[1234].size()).c_str(),
                        names[1234].c_str()),
              0)
        << chosen << " for the stored " << names[1234];
    free(chosen);
    DestroyWindow(page);
}

TEST(Faults, HundredThousandLinesCarriedOver)
{
    GameFolder folder;
    const std::string lines = SettingLines(100000);
    WriteBytes("CONFIG.CFG", "lastpilot Alpha\r\n" + lines);

    auto start = std::chrono::steady_clock::now();
    WriteLastPilot("Bravo");
    double seconds = SecondsSince(start);
    printf("100,000 lines (%zu bytes) rewritten in %.3f s\n", lines.size(), seconds);

    EXPECT_TRUE(SameBytes(FileBytes("CONFIG.CFG"), "lastpilot Bravo\r\n" + lines));
    EXPECT_FALSE(Exists("1234.aaa"));
}

}  // namespace
