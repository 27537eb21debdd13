#include "driver.h"

#include <psapi.h>

#include <sstream>
#include <stdexcept>

#include "boxwatch.h"
#include "gamefolder.h"
#include "resource.h"

const char *PageName(Page page)
{
    switch (page) {
    case Page::None: return "no page";
    case Page::Welcome: return "Welcome";
    case Page::Agreement: return "Agreement";
    case Page::Pilot: return "Pilot";
    case Page::Confirm: return "Confirm";
    case Page::End: return "End";
    case Page::Unknown: return "unknown dialog";
    }
    return "?";
}

std::ostream &operator<<(std::ostream &out, Page page)
{
    return out << PageName(page);
}

std::string ProgramPath()
{
    return WinPath(TARNWICK_PROGRAM_PATH);
}

std::string PilotFile(const std::string &name)
{
    std::string bytes = name;
    bytes.push_back('\0');
    while (bytes.size() < 0x400)
        bytes.push_back((char)(bytes.size() * 7));
    return bytes;
}

std::vector<Control> ReadControls(HWND page)
{
    std::vector<Control> controls;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Control c;
        c.window = child;
        c.className = ClassName(child);
        c.id = (short)GetDlgCtrlID(child);
        c.style = (DWORD)GetWindowLongA(child, GWL_STYLE);
        c.text = WindowText(child);
        c.enabled = IsWindowEnabled(child) != FALSE;
        c.visible = IsWindowVisible(child) != FALSE;
        GetWindowRect(child, &c.rect);
        MapWindowPoints(HWND_DESKTOP, page, (POINT *)&c.rect, 2);
        controls.push_back(c);
    }
    return controls;
}

static bool HasControl(HWND page, int id, const char *className)
{
    HWND item = GetDlgItem(page, id);
    return item && _stricmp(ClassName(item).c_str(), className) == 0;
}

Page KindOf(HWND page)
{
    if (!page)
        return Page::None;
    if (HasControl(page, IDC_PILOT_LIST, "ListBox"))
        return Page::Pilot;
    if (HasControl(page, IDC_AGREEMENT_NEXT, "Button") && HasControl(page, IDC_AGREEMENT_TEXT, "Edit"))
        return Page::Agreement;
    if (HasControl(page, IDC_WELCOME_NEXT, "Button"))
        return Page::Welcome;
    if (HasControl(page, IDC_CONFIRM_LAUNCH, "Button"))
        return Page::Confirm;
    if (HasControl(page, IDC_END_NEXT, "Button") && HasControl(page, IDC_END_PREV, "Button"))
        return Page::End;
    return Page::Unknown;
}

bool IsMessageBox(HWND window)
{
    return ClassName(window) == "#32770" && KindOf(window) == Page::Unknown;
}

std::vector<std::string> ListItems(HWND list)
{
    std::vector<std::string> items;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count))
        return items;
    for (int i = 0; i < (int)(LONG_PTR)count; i++) {
        DWORD_PTR length = 0;
        SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &length);
        std::wstring text((size_t)length + 1, L'\0');
        DWORD_PTR got = 0;
        SendMessageTimeoutW(list, LB_GETTEXT, i, (LPARAM)&text[0], SMTO_ABORTIFHUNG, 2000, &got);
        text.resize((LONG_PTR)got < 0 ? 0 : (size_t)got);
        items.push_back(WideToAnsi(text));
    }
    return items;
}

int ListSelection(HWND list)
{
    DWORD_PTR index = (DWORD_PTR)LB_ERR;
    SendMessageTimeoutW(list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &index);
    return (int)(LONG_PTR)index;
}

static bool IsPage(HWND window)
{
    return !IsMessageBox(window);
}

static HWND FindVisibleDialog(DWORD processId, bool boxes)
{
    return FindDialogOf(processId, boxes ? IsMessageBox : IsPage);
}

Wizard::Wizard(const std::string &folder, const StartOptions &options) : folder_(folder)
{
    std::string program = folder + "\\TarnwickPatch.exe";
    if (!CopyFileA(ProgramPath().c_str(), program.c_str(), FALSE))
        throw std::runtime_error("cannot copy " + ProgramPath() + " to " + program);

    // Whatever happens to the test, closing the job ends the program and the game.
    job_ = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof(limits));

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (options.ownDesktop) {
        static int counter;
        desktopName_ = "TarnwickE2E-" + std::to_string(GetCurrentProcessId()) + "-"
                     + std::to_string(++counter);
        // Wine makes a named desktop a virtual desktop when it has a size.
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops",
                        desktopName_.c_str(), REG_SZ, "1024x768", 9);
        desktop_ = CreateDesktopA(desktopName_.c_str(), nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        if (!desktop_)
            throw std::runtime_error("cannot create desktop " + desktopName_);
        previousDesktop_ = GetThreadDesktop(GetCurrentThreadId());
        if (!SetThreadDesktop(desktop_))
            throw std::runtime_error("cannot switch to desktop " + desktopName_);
        startup.lpDesktop = &desktopName_[0];
    }

    std::string commandLine = "TarnwickPatch.exe";
    if (!options.arguments.empty())
        commandLine += " " + options.arguments;
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                        CREATE_SUSPENDED, nullptr, folder.c_str(), &startup, &process_))
        throw std::runtime_error("cannot start " + program);
    AssignProcessToJobObject(job_, process_.hProcess);
    ResumeThread(process_.hThread);
}

Wizard::~Wizard()
{
    Kill();
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    CloseHandle(job_);
    if (desktop_) {
        SetThreadDesktop(previousDesktop_);
        CloseDesktop(desktop_);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\Wine\\Explorer\\Desktops",
                           desktopName_.c_str());
    }
}

bool Wizard::Running() const
{
    return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND Wizard::CurrentPage() const
{
    return FindVisibleDialog(process_.dwProcessId, false);
}

HWND Wizard::CurrentBox() const
{
    return FindVisibleDialog(process_.dwProcessId, true);
}

HWND Wizard::WaitForPage(Page kind, HWND previous, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    for (;;) {
        bool last = !Running() || GetTickCount() - start > timeoutMs;
        HWND page = CurrentPage();
        if (page && page != previous && KindOf(page) == kind)
            return page;
        if (last)
            return nullptr;
        Sleep(10);
    }
}

HWND Wizard::WaitForBox(DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    for (;;) {
        bool last = !Running() || GetTickCount() - start > timeoutMs;
        if (HWND box = CurrentBox())
            return box;
        if (last)
            return nullptr;
        Sleep(10);
    }
}

void Wizard::Press(HWND page, int id) const
{
    PostMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0);
}

HWND Wizard::Move(HWND page, int id, Page next) const
{
    Press(page, id);
    return WaitForPage(next, page);
}

HWND Wizard::GoTo(Page target)
{
    HWND page = WaitForPage(Page::Welcome);
    if (!page || target == Page::Welcome)
        return page;
    page = Move(page, IDC_WELCOME_NEXT, Page::Agreement);
    if (!page || target == Page::Agreement)
        return page;
    page = Move(page, IDC_AGREEMENT_NEXT, Page::Pilot);
    if (!page || target == Page::Pilot)
        return page;
    page = Move(page, IDC_PILOT_NEXT, Page::Confirm);
    if (!page || target == Page::Confirm)
        return page;
    return Move(page, IDC_CONFIRM_LAUNCH, Page::End);
}

HWND Wizard::GoToWelcomeAgain()
{
    HWND page = GoTo(Page::Agreement);
    return page ? Move(page, IDC_AGREEMENT_PREV, Page::Welcome) : nullptr;
}

bool Wizard::WaitForExit(DWORD timeoutMs) const
{
    return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Wizard::ExitCode() const
{
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

bool Wizard::StaysOn(HWND page, DWORD ms) const
{
    DWORD start = GetTickCount();
    do {
        if (!Running() || CurrentPage() != page)
            return false;
        Sleep(10);
    } while (GetTickCount() - start < ms);
    return true;
}

void Wizard::Kill()
{
    if (Running()) {
        TerminateProcess(process_.hProcess, 0xDEAD);
        WaitForSingleObject(process_.hProcess, 5000);
    }
}

std::string Wizard::Describe() const
{
    std::ostringstream out;
    if (!Running()) {
        out << "the program has ended with exit code " << ExitCode();
        return out.str();
    }
    if (HWND box = CurrentBox()) {
        SeenBox seen = ReadBox(box);
        out << "a message box \"" << seen.caption << "\": \"" << seen.text << "\"";
        return out.str();
    }
    HWND page = CurrentPage();
    if (!page)
        return "the program runs with no page on screen";
    out << "the " << KindOf(page) << " page is on screen";
    return out.str();
}

namespace {
struct Counter {
    DWORD processId;
    WindowCount *count;
};
}

static BOOL CALLBACK CountChild(HWND, LPARAM param)
{
    (*(int *)param)++;
    return TRUE;
}

static BOOL CALLBACK CountTopLevel(HWND window, LPARAM param)
{
    Counter *counter = (Counter *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == counter->processId) {
        counter->count->topLevel++;
        counter->count->all++;
        EnumChildWindows(window, CountChild, (LPARAM)&counter->count->all);
    }
    return TRUE;
}

static BOOL CALLBACK CountThreadWindow(HWND, LPARAM param)
{
    (*(int *)param)++;
    return TRUE;
}

WindowCount Wizard::CountWindows() const
{
    WindowCount count;
    Counter counter = {process_.dwProcessId, &count};
    EnumWindows(CountTopLevel, (LPARAM)&counter);
    EnumThreadWindows(process_.dwThreadId, CountThreadWindow, (LPARAM)&count.thread);
    return count;
}

MemoryUse Wizard::Memory() const
{
    MemoryUse use;
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process_.hProcess, &counters, sizeof(counters))) {
        use.workingSet = counters.WorkingSetSize;
        use.privateBytes = counters.PagefileUsage;
    }
    return use;
}

HWND Wizard::Focus() const
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(process_.dwThreadId, &info))
        return nullptr;
    return info.hwndFocus;
}

int Wizard::FocusId() const
{
    HWND focus = Focus();
    return focus ? (short)GetDlgCtrlID(focus) : 0;
}

bool Wizard::BringToFront(HWND page) const
{
    DWORD start = GetTickCount();
    do {
        if (GetForegroundWindow() != page)
            SetForegroundWindow(page);
        // A page that set no focus itself has it for a moment before the
        // dialog manager hands it on to a control.
        HWND focus = Focus();
        if (GetForegroundWindow() == page && focus && IsChild(page, focus))
            return true;
        Sleep(10);
    } while (GetTickCount() - start < kWaitMs);
    return false;
}

void Wizard::TypeKeys(HWND page, const std::vector<WORD> &keys) const
{
    BringToFront(page);
    std::vector<INPUT> input;
    for (WORD key : keys) {
        INPUT down = {};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        down.ki.wScan = (WORD)MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(down);
        input.push_back(up);
    }
    SendInput((UINT)input.size(), input.data(), sizeof(INPUT));
}

void Wizard::ClickAt(POINT screen, int clicks) const
{
    // Every event carries its own position: the pointer is shared by all
    // desktops on the display, so a case on another desktop could move it
    // between a SetCursorPos and the click.
    LONG width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT event = {};
    event.type = INPUT_MOUSE;
    event.mi.dx = (screen.x * 65536 + width - 1) / width;
    event.mi.dy = (screen.y * 65536 + height - 1) / height;
    std::vector<INPUT> input;
    event.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.push_back(event);
    for (int i = 0; i < clicks; i++) {
        event.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
        input.push_back(event);
        event.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
        input.push_back(event);
    }
    SendInput((UINT)input.size(), input.data(), sizeof(INPUT));
}

void Wizard::ClickInto(HWND control, int clicks) const
{
    RECT client;
    GetClientRect(control, &client);
    POINT centre = {(client.left + client.right) / 2, (client.top + client.bottom) / 2};
    ClientToScreen(control, &centre);
    HWND top = GetAncestor(control, GA_ROOT);
    BringToFront(top);
    ClickAt(centre, clicks);
}
