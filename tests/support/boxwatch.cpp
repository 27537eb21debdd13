#include "boxwatch.h"

std::string WideToAnsi(const std::wstring &text)
{
    if (text.empty())
        return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), (int)text.size(), &out[0], size, nullptr,
                        nullptr);
    return out;
}

std::string WindowText(HWND window)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length))
        return std::string();
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, (LPARAM)&text[0], SMTO_ABORTIFHUNG, 2000,
                        &got);
    text.resize(got);
    return WideToAnsi(text);
}

std::string ClassName(HWND window)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof(name));
    return name;
}

static BOOL CALLBACK FindChildStatic(HWND child, LPARAM param)
{
    // A message box's text is the static control without SS_ICON.
    SeenBox *seen = (SeenBox *)param;
    if (ClassName(child) != "Static")
        return TRUE;
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        HICON icon = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
        if (icon) {
            seen->hasIcon = true;
            seen->errorIcon = icon == LoadIconA(nullptr, IDI_ERROR);
        }
    } else if (seen->text.empty()) {
        seen->text = WindowText(child);
    }
    return TRUE;
}

SeenBox ReadBox(HWND box)
{
    SeenBox seen;
    seen.found = true;
    seen.caption = WindowText(box);
    seen.owner = GetWindow(box, GW_OWNER);
    EnumChildWindows(box, FindChildStatic, (LPARAM)&seen);
    return seen;
}

namespace {
struct DialogSearch {
    DWORD processId;
    bool (*accept)(HWND);
    HWND found;
};
}

static BOOL CALLBACK FindDialogWindow(HWND window, LPARAM param)
{
    DialogSearch *search = (DialogSearch *)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->processId || !IsWindowVisible(window) || ClassName(window) != "#32770")
        return TRUE;
    if (!search->accept(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindDialogOf(DWORD processId, bool (*accept)(HWND))
{
    DialogSearch search = {processId, accept, nullptr};
    EnumWindows(FindDialogWindow, (LPARAM)&search);
    return search.found;
}

// Our own pages are dialogs too; a message box has its text in id 0xFFFF.
static bool HasBoxText(HWND window)
{
    return GetDlgItem(window, 0xFFFF) != nullptr;
}

HWND FindBox(DWORD processId)
{
    return FindDialogOf(processId, HasBoxText);
}

static BOOL CALLBACK FindButton(HWND child, LPARAM param)
{
    if (ClassName(child) == "Button" && IsWindowVisible(child)) {
        *(HWND *)param = child;
        return FALSE;
    }
    return TRUE;
}

void PressOk(HWND box)
{
    HWND button = nullptr;
    EnumChildWindows(box, FindButton, (LPARAM)&button);
    if (button)
        PostMessageA(button, BM_CLICK, 0, 0);
    else
        PostMessageA(box, WM_COMMAND, IDOK, 0);
}

BoxWatcher::BoxWatcher()
{
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, nullptr);
}

BoxWatcher::~BoxWatcher()
{
    Stop();
}

DWORD WINAPI BoxWatcher::Run(void *param)
{
    BoxWatcher *self = (BoxWatcher *)param;
    while (WaitForSingleObject(self->stop_, 10) == WAIT_TIMEOUT) {
        HWND box = FindBox(GetCurrentProcessId());
        if (!box)
            continue;
        if (!self->seen_.found)
            self->seen_ = ReadBox(box);
        PressOk(box);
        // Wait for it to go, so one box is not read twice.
        for (int i = 0; i < 200 && IsWindow(box) && IsWindowVisible(box); i++)
            Sleep(10);
    }
    return 0;
}

SeenBox BoxWatcher::Stop()
{
    if (thread_) {
        SetEvent(stop_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        CloseHandle(stop_);
        thread_ = nullptr;
    }
    return seen_;
}
