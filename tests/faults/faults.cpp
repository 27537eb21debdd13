#include <gtest/gtest.h>

#include "faults.h"

#include <tlhelp32.h>

#include <vector>

#include "gamefiles.h"
#include "gamefolder.h"
#include "testpage.h"

const char WRITE_ERROR[] = "Error writing to file, please contact the Quorvel Office";
const char START_ERROR[] =
    "Error starting Xwingalliance!  Make sure program is in Xwingalliance folder.";

std::string HelperPath()
{
    return WinPath(FAULTRUN_PATH);
}

std::string WizardPath()
{
    return WinPath(WIZARD_PATH);
}

HANDLE Start(const std::string &exe, const std::string &args)
{
    std::string line = "\"" + exe + "\"" + (args.empty() ? "" : " " + args);
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

long WaitExit(HANDLE process, DWORD timeoutMs)
{
    if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        WaitForSingleObject(process, INFINITE);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return (long)code;
}

long RunHelper(const std::string &args)
{
    HANDLE helper = Start(HelperPath(), args);
    if (!helper) {
        ADD_FAILURE() << "cannot start " << HelperPath() << ": error " << GetLastError();
        return -2;
    }
    DWORD id = GetProcessId(helper);
    long code = WaitExit(helper);
    CloseHandle(helper);
    // A helper stopped while the game ran leaves the game behind.
    WaitForGamesOf(id);
    return code;
}

bool WaitUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    for (DWORD waited = 0; !done(); waited += 10) {
        if (waited >= timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

void WaitForGamesOf(DWORD parentId)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    std::vector<HANDLE> games;
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parentId
            || lstrcmpiA(entry.szExeFile, "XWINGALLIANCE.EXE") != 0)
            continue;
        if (HANDLE game = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID))
            games.push_back(game);
    }
    CloseHandle(snapshot);
    for (HANDLE game : games) {
        EXPECT_EQ(WaitForSingleObject(game, 30000), WAIT_OBJECT_0) << "the game did not end";
        CloseHandle(game);
    }
}


std::optional<std::string> FileBytes(const char *name)
{
    DWORD attrs = GetFileAttributesA(name);
    if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return ReadBytes(name);
}

static std::string Describe(const std::optional<std::string> &bytes)
{
    if (!bytes)
        return "no file";
    std::string shown = bytes->size() <= 64 ? *bytes : bytes->substr(0, 64) + "...";
    return std::to_string(bytes->size()) + " bytes \"" + ::testing::PrintToString(shown) + "\"";
}

::testing::AssertionResult SameBytes(const std::optional<std::string> &got,
                                     const std::optional<std::string> &want)
{
    if (got == want)
        return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    failure << "got " << Describe(got) << ", want " << Describe(want);
    if (got && want) {
        size_t at = 0;
        while (at < got->size() && at < want->size() && (*got)[at] == (*want)[at])
            at++;
        failure << "; first difference at byte " << at;
    }
    return failure;
}

::testing::AssertionResult ExeKept(const std::string &pristine)
{
    auto exe = FileBytes("XWINGALLIANCE.EXE");
    auto backup = FileBytes("4321.aaa");
    if (exe == pristine || backup == pristine)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "neither XWINGALLIANCE.EXE (" << (exe ? std::to_string(exe->size()) : "none")
        << " bytes) nor 4321.aaa (" << (backup ? std::to_string(backup->size()) : "none")
        << " bytes) is the pristine game";
}

::testing::AssertionResult ConfigKept(const std::optional<std::string> &before,
                                      const std::string &after)
{
    auto config = FileBytes("CONFIG.CFG");
    auto temp = FileBytes("1234.aaa");
    auto whole = [&](const std::optional<std::string> &bytes) {
        return bytes && (bytes == before || *bytes == after);
    };
    if (whole(config) || whole(temp) || (!before && !config))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
        << "CONFIG.CFG (" << (config ? std::to_string(config->size()) : "none")
        << " bytes) and 1234.aaa (" << (temp ? std::to_string(temp->size()) : "none")
        << " bytes) are neither the old nor the new file";
}

std::string SettingLines(int count)
{
    std::string lines;
    for (int i = 0; i < count; i++)
        lines += "setting" + std::to_string(i) + " " + std::to_string(i * 7919 % 1000) + "\r\n";
    return lines;
}
