// A stand-in for one of the wizard's pages: a real modeless dialog, with
// the Pilot page's list and "Next ->" button when asked for.
#ifndef TARNWICK_TEST_TESTPAGE_H
#define TARNWICK_TEST_TESTPAGE_H

#include <windows.h>

#include "boxwatch.h"

HWND MakeTestPage(bool pilotControls);
// Takes a pending quit request off this thread's queue; true when there was one.
bool TakeQuitMessage();
// Handles whatever is queued for this thread's windows.
void PumpMessages();

// LaunchGame on a fresh test page in this thread; any message box is
// read and dismissed by a watcher thread.
struct LaunchOutcome {
    int returned = -1;
    bool quit = false;          // a quit request was left queued
    bool pageVisible = false;   // the page was not ended
    SeenBox box;
};
LaunchOutcome LaunchOnTestPage();

#endif
