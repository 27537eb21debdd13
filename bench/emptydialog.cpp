/*
 * The benchmark's yardstick for start-up: a program that shows one empty
 * page of the wizard's kind (the same classic template frame, styles and
 * font) the way WinMain shows the first page, and does nothing else.
 */
#include <windows.h>

static INT_PTR CALLBACK EmptyDlgProc(HWND, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 1;
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    HWND page = CreateDialogParamA(hInstance, "Empty", NULL, EmptyDlgProc, 0);
    MSG msg = {};

    if (!page)
        return 1;
    ShowWindow(page, nCmdShow);
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return (int)msg.wParam;
}
