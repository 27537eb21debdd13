/*
 * Page 5, End: shown after the game has run.
 */
#include "wizard.h"
#include "resource.h"

INT_PTR CALLBACK EndDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_DESTROY:
        PageDestroyed();
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_END_EXIT:
            ExitWizard(page);
            return 1;
        default:
            QuitWizard();
            return 1;
        }
    }
    return 0;
}
