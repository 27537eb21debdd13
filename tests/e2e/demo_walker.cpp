// Walks the wizard through every page to the End page for scripts/demo,
// stopping on each page until the script has taken its picture.
//
//   demo_walker GAME_FOLDER SIGNAL_FOLDER   (both as Unix paths)
//
// On each page it writes SIGNAL_FOLDER/NN-name.ready holding the page's
// place on the screen (WxH+X+Y) and waits for SIGNAL_FOLDER/NN-name.done.
#include <windows.h>

#include <cstdio>
#include <string>

#include "driver.h"
#include "gamefolder.h"
#include "resource.h"

namespace {

bool WaitForFile(const std::string &path, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 20) {
        if (Exists(path))
            return true;
        Sleep(20);
    }
    return false;
}

bool Pose(HWND page, const std::string &signals, const char *name)
{
    // Give the page time to draw itself.
    Sleep(500);
    RECT r;
    GetWindowRect(page, &r);
    char geometry[64];
    snprintf(geometry, sizeof(geometry), "%ldx%ld+%ld+%ld", r.right - r.left, r.bottom - r.top,
             r.left, r.top);
    WriteBytes(signals + "\\" + name + ".ready", geometry);
    if (!WaitForFile(signals + "\\" + name + ".done", 60000)) {
        fprintf(stderr, "no picture taken of %s\n", name);
        return false;
    }
    printf("%s: %s\n", name, geometry);
    return true;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: demo_walker GAME_FOLDER SIGNAL_FOLDER\n");
        return 2;
    }
    std::string folder = WinPath(argv[1]), signals = WinPath(argv[2]);
    try {
        Wizard wizard(folder);
        struct Stop {
            const char *name;
            Page page;
            int next;  // the button that leads on
        };
        const Stop stops[] = {
            {"01-welcome", Page::Welcome, IDC_WELCOME_NEXT},
            {"02-agreement", Page::Agreement, IDC_AGREEMENT_NEXT},
            {"03-pilot", Page::Pilot, IDC_PILOT_NEXT},
            {"04-confirm", Page::Confirm, IDC_CONFIRM_LAUNCH},
            {"05-end", Page::End, IDC_END_EXIT},
        };
        HWND page = nullptr;
        for (const Stop &stop : stops) {
            page = wizard.WaitForPage(stop.page, page);
            if (!page) {
                fprintf(stderr, "the %s page did not show: %s\n", PageName(stop.page),
                        wizard.Describe().c_str());
                return 1;
            }
            if (!Pose(page, signals, stop.name))
                return 1;
            wizard.Press(page, stop.next);
        }
        if (!wizard.WaitForExit()) {
            fprintf(stderr, "the program did not end: %s\n", wizard.Describe().c_str());
            return 1;
        }
        printf("the program ended with exit code %lu\n", wizard.ExitCode());
        return wizard.ExitCode() == 0 ? 0 : 1;
    } catch (const std::exception &e) {
        fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
