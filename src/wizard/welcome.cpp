/*
 * Page 1, Welcome. Opened modeless by WinMain and modal
 * by the Agreement page's "<- Prev".
 */
#include "wizard.h"
#include "resource.h"

INT_PTR CALLBACK WelcomeDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_DESTROY:
        /* Destroyed because the player moved on: no quit. */
        if (!IsMovingOn())
            QuitWizard();
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_WELCOME_EXIT:
            EndDialog(page, 0);
            QuitWizard();
            return 1;
        case IDC_WELCOME_NEXT:
            EndDialog(page, 0);
            OpenPage(PAGE_AGREEMENT);
            return 1;
        default:
            QuitWizard();
            return 1;
        }
    }
    return 0;
}
