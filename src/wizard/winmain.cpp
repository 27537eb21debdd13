/*
 * Start-up and message loop.
 */
#include "wizard.h"

HINSTANCE g_appInstance;

/*
 * The window class takes the Welcome page's procedure. A dialog
 * procedure (DLGPROC, returning INT_PTR) and a window procedure (WNDPROC,
 * returning LRESULT) are different function types on i686 (int versus
 * long), and calling a function through a pointer of another type is
 * undefined, so instead of casting we register this forwarder. No window
 * of the class is ever created: the registration is only the start-up test.
 */
static LRESULT CALLBACK WelcomeClassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return WelcomeDlgProc(hwnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    g_appInstance = hInstance;

    WNDCLASSA wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WelcomeClassProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = hInstance;
    wc.hIcon = LoadIconA(hInstance, "ICON");
    wc.hCursor = LoadCursorA(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    wc.lpszMenuName = NULL;
    wc.lpszClassName = "Tarnwick Patch";
    if (RegisterClassA(&wc) == 0) {
        MessageBoxA(NULL, "This program requires Windows98!", "Tarnwick Patch", MB_ICONERROR);
        return 0;
    }

    /* The first Welcome page is modeless; this loop does no dialog keyboard
       processing, so Enter, Esc and Tab do nothing on it. */
    HWND welcome = CreateDialogParamA(g_appInstance, "Welcome", NULL, WelcomeDlgProc, 0);
    if (welcome == NULL) {
        /* Without a page nothing could ever end the loop below. */
        QuitWizard();
    }
    ShowWindow(welcome, nCmdShow);

    MSG msg = {};
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        if (welcome != NULL && g_nextPage != PAGE_NONE) {
            /* The first Welcome page has asked for the Agreement page: it is
               destroyed (its WM_DESTROY sees the move and does not quit) and
               the pages follow one after the other in RunPageLoop, which
               returns only when the application is quitting, with the quit
               message queued for this loop. */
            DestroyWindow(welcome);
            welcome = NULL;
            RunPageLoop();
        }
    }
    return (int)msg.wParam;
}
