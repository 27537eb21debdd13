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
        PageDestroyed();
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_WELCOME_EXIT:
            ExitWizard(page);
            return 1;
        case IDC_WELCOME_NEXT:
            MovePage(page, PAGE_AGREEMENT);
            return 1;
        default:
            QuitWizard();
            return 1;
        }
    }
    return 0;
}
