// Shared by the fault tests: child processes (our helper, the wizard, the
// stand-in game), a launch in this process, and what "nothing of the
// player's lost" means for a game folder.
#ifndef TARNWICK_TEST_FAULTS_H
#define TARNWICK_TEST_FAULTS_H

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "boxwatch.h"
#include "testpage.h"

extern const char WRITE_ERROR[];
extern const char START_ERROR[];

// faultrun's exit code when it stopped at the point it was given.
const long STOPPED = 86;

std::string HelperPath();
std::string WizardPath();

// Starts a program with a command line of "exe args" in the current
// directory; the process handle, or null.
HANDLE Start(const std::string &exe, const std::string &args);
// The exit code, or -1 if it did not end within the time (it is then killed).
long WaitExit(HANDLE process, DWORD timeoutMs = 60000);
// Runs faultrun in the current directory to its end.
long RunHelper(const std::string &args);

bool WaitUntil(const std::function<bool()> &done, DWORD timeoutMs = 30000);
// Waits until no stand-in game that the given process started is running.
void WaitForGamesOf(DWORD parentId);

// A plain file's bytes; nullopt for a missing name or a folder.
std::optional<std::string> FileBytes(const char *name);

// Equal bytes; on a difference says where, without printing megabytes.
::testing::AssertionResult SameBytes(const std::optional<std::string> &got,
                                     const std::optional<std::string> &want);

// The pristine executable is under one of its two names.
::testing::AssertionResult ExeKept(const std::string &pristine);
// CONFIG.CFG is whole, old or new, under one of its two names; an absent
// old file counts as whole.
::testing::AssertionResult ConfigKept(const std::optional<std::string> &before,
                                      const std::string &after);

// CONFIG.CFG lines for the game's settings, CR LF ended.
std::string SettingLines(int count);

#endif
