// Going back and forth between two pages for a long time: every move must
// show a freshly built page with the right content, and the program must
// not pile up windows or memory on the way.
#include <gtest/gtest.h>

#include <iostream>

#include "driver.h"
#include "pages.h"
#include "resource.h"
#include "wizardcase.h"

namespace {

class E2ESoak : public WizardTest {};

const int kMoves = 2000;

std::string Mib(size_t bytes)
{
    char text[32];
    snprintf(text, sizeof(text), "%.2f MiB", bytes / 1048576.0);
    return text;
}

TEST_F(E2ESoak, TwoThousandMovesBetweenAgreementAndPilotStayFlat)
{
    MakeGameFolder();
    Start();
    HWND page = wizard->GoTo(Page::Agreement);
    ASSERT_TRUE(page) << wizard->Describe();
    const std::vector<std::string> pilots = {"Alpha", "Bravo", "Charlie"};

    WindowCount windowsBefore = wizard->CountWindows();
    MemoryUse memoryBefore = wizard->Memory();
    DWORD start = GetTickCount();
    for (int move = 1; move <= kMoves; move++) {
        bool toPilot = move % 2 == 1;
        HWND next = wizard->Move(page, toPilot ? IDC_AGREEMENT_NEXT : IDC_PILOT_PREV,
                                 toPilot ? Page::Pilot : Page::Agreement);
        ASSERT_TRUE(next) << "move " << move << ": " << wizard->Describe();
        ASSERT_NE(page, next) << "move " << move << " showed the old page again";
        if (toPilot) {
            HWND list = GetDlgItem(next, IDC_PILOT_LIST);
            ASSERT_EQ(pilots, ListItems(list)) << "move " << move;
            ASSERT_EQ(0, ListSelection(list)) << "move " << move;
        } else {
            ASSERT_EQ(DisclaimerText(), WindowText(GetDlgItem(next, IDC_AGREEMENT_TEXT)))
                << "move " << move;
        }
        page = next;
    }
    double seconds = (GetTickCount() - start) / 1000.0;
    WindowCount windowsAfter = wizard->CountWindows();
    MemoryUse memoryAfter = wizard->Memory();

    std::cout << kMoves << " moves in " << seconds << " s (" << kMoves / seconds << " moves/s)\n"
              << "top-level windows " << windowsBefore.topLevel << " -> " << windowsAfter.topLevel
              << ", with children " << windowsBefore.all << " -> " << windowsAfter.all
              << ", thread windows " << windowsBefore.thread << " -> " << windowsAfter.thread << "\n"
              << "private memory " << Mib(memoryBefore.privateBytes) << " -> "
              << Mib(memoryAfter.privateBytes) << ", working set " << Mib(memoryBefore.workingSet)
              << " -> " << Mib(memoryAfter.workingSet) << std::endl;
    RecordProperty("moves", kMoves);
    RecordProperty("seconds", std::to_string(seconds));
    RecordProperty("windowsBefore", windowsBefore.all);
    RecordProperty("windowsAfter", windowsAfter.all);
    RecordProperty("privateBytesBefore", std::to_string(memoryBefore.privateBytes));
    RecordProperty("privateBytesAfter", std::to_string(memoryAfter.privateBytes));
    RecordProperty("workingSetBefore", std::to_string(memoryBefore.workingSet));
    RecordProperty("workingSetAfter", std::to_string(memoryAfter.workingSet));

    EXPECT_EQ(windowsBefore.topLevel, windowsAfter.topLevel);
    EXPECT_EQ(windowsBefore.all, windowsAfter.all);
    EXPECT_EQ(windowsBefore.thread, windowsAfter.thread);
    ASSERT_GT(memoryBefore.privateBytes, 0u) << "memory use could not be read";
    EXPECT_LT(memoryAfter.privateBytes, memoryBefore.privateBytes + (4u << 20));

    wizard->Press(page, IDC_AGREEMENT_EXIT);
    ExpectCleanExit();
}

}  // namespace
