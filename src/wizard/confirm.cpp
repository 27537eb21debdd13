/*
 * Page 4, Confirm: "Lanuch!" runs the game.
 */
#include "wizard.h"
#include "resource.h"
#include "gamefiles.h"

INT_PTR CALLBACK ConfirmDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_DESTROY:
        PageDestroyed();
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CONFIRM_EXIT:
            ExitWizard(page);
            return 1;
        case IDC_CONFIRM_PREV:
            MovePage(page, PAGE_PILOT);
            return 1;
        case IDC_CONFIRM_LAUNCH:
            /* LaunchGame ends the page itself, shows the error boxes and
               quits on its failure paths. After a failed start it returns 1
               with the quit already queued: the End page then closes as soon
               as its modal loop runs. */
            if (LaunchGame(page) == 1)
                OpenPage(PAGE_END);
            return 1;
        default:
            QuitWizard();
            return 1;
        }
    }
    return 0;
}
