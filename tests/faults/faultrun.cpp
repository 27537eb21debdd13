// A child process for the fault tests: runs one launch or one CONFIG.CFG
// rewrite in its current directory, as the wizard would, and stops dead at
// a named point when asked to.
//
//   faultrun launch [POINT]        LaunchGame on a stand-in Confirm page
//   faultrun rewrite NAME [POINT]  WriteLastPilot(NAME)
//   faultrun hold FILE             opens FILE without sharing, then waits
//                                  to be killed
//
// Exit code: what LaunchGame returned, plus 2 when it showed a message box
// (the box is dismissed); 1 after a rewrite; STOPPED when stopped at POINT.
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "boxwatch.h"
#include "faultpoint.h"
#include "gamefiles.h"
#include "testpage.h"

namespace {

const int STOPPED = 86;
const int HOLDING_FAILED = 87;
const char *g_stopAt;

// As abrupt as a kill from outside: no stream is flushed or closed.
void StopHere(const char *point)
{
    if (g_stopAt && strcmp(point, g_stopAt) == 0)
        TerminateProcess(GetCurrentProcess(), STOPPED);
}

int RunLaunch()
{
    HWND page = MakeTestPage(false);
    BoxWatcher watcher;
    int returned = LaunchGame(page);
    bool boxShown = watcher.Stop().found;
    return returned + (boxShown ? 2 : 0);
}

int Hold(const char *file)
{
    // The test looks whether the file is held yet, and while it looks the
    // file is open there too: try again for a while.
    HANDLE held = INVALID_HANDLE_VALUE;
    for (int tries = 0; held == INVALID_HANDLE_VALUE && tries < 3000; tries++) {
        held = CreateFileA(file, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (held == INVALID_HANDLE_VALUE && GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        if (held == INVALID_HANDLE_VALUE)
            Sleep(10);
    }
    if (held == INVALID_HANDLE_VALUE)
        return HOLDING_FAILED;
    Sleep(INFINITE);
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && strcmp(argv[1], "launch") == 0) {
        g_stopAt = argc >= 3 ? argv[2] : nullptr;
        g_faultHook = StopHere;
        return RunLaunch();
    }
    if (argc >= 3 && strcmp(argv[1], "rewrite") == 0) {
        g_stopAt = argc >= 4 ? argv[3] : nullptr;
        g_faultHook = StopHere;
        return WriteLastPilot(argv[2]);
    }
    if (argc == 3 && strcmp(argv[1], "hold") == 0)
        return Hold(argv[2]);
    fprintf(stderr, "usage: faultrun launch [POINT] | rewrite NAME [POINT] | hold FILE\n");
    return 64;
}
