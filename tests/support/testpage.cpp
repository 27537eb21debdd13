#include "testpage.h"

#include <vector>

#include "gamefiles.h"
#include "resource.h"

static INT_PTR CALLBACK TestPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

namespace {
// Builds a classic in-memory dialog template, item by item.
struct TemplateWriter {
    std::vector<WORD> words;
    void Align4()
    {
        if (words.size() % 2)
            words.push_back(0);
    }
    void Dword(DWORD value)
    {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    }
    void Text(const wchar_t *text)
    {
        while (*text)
            words.push_back(*text++);
        words.push_back(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom)
    {
        Align4();
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        words.push_back(x);
        words.push_back(y);
        words.push_back(cx);
        words.push_back(cy);
        words.push_back(id);
        words.push_back(0xFFFF);
        words.push_back(atom);
        words.push_back(0);  // no text
        words.push_back(0);  // no creation data
    }
};
}

HWND MakeTestPage(bool pilotControls)
{
    TemplateWriter t;
    t.Dword(WS_POPUP | WS_CAPTION | DS_MODALFRAME);
    t.Dword(0);
    t.words.push_back(pilotControls ? 2 : 0);
    t.words.push_back(10);
    t.words.push_back(10);
    t.words.push_back(200);
    t.words.push_back(150);
    t.words.push_back(0);  // no menu
    t.words.push_back(0);  // system dialog class
    t.Text(L"Test page");
    if (pilotControls) {
        t.Item(WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT, 10, 10, 100,
               80, IDC_PILOT_LIST, 0x0083);
        t.Item(WS_TABSTOP | BS_PUSHBUTTON, 120, 120, 50, 15, IDC_PILOT_NEXT, 0x0080);
    }
    HWND page = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                           (LPCDLGTEMPLATEA)t.words.data(), nullptr,
                                           TestPageProc, 0);
    ShowWindow(page, SW_SHOW);
    return page;
}

bool TakeQuitMessage()
{
    MSG msg;
    bool quit = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            quit = true;
        else
            DispatchMessageA(&msg);
    }
    return quit;
}

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
        DispatchMessageA(&msg);
    }
}

LaunchOutcome LaunchOnTestPage()
{
    LaunchOutcome r;
    HWND page = MakeTestPage(false);
    TakeQuitMessage();
    {
        BoxWatcher watcher;
        r.returned = LaunchGame(page);
        r.box = watcher.Stop();
    }
    r.pageVisible = IsWindowVisible(page) != FALSE;
    r.quit = TakeQuitMessage();
    DestroyWindow(page);
    return r;
}
