/*
 * Page 2, Agreement: shows the disclaimer.
 */
#include "wizard.h"
#include "resource.h"

INT_PTR CALLBACK AgreementDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        SetDlgItemTextA(page, IDC_AGREEMENT_TEXT, g_disclaimerText);
        return 1;
    case WM_DESTROY:
        PageDestroyed();
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_AGREEMENT_EXIT:
            ExitWizard(page);
            return 1;
        case IDC_AGREEMENT_PREV:
            MovePage(page, PAGE_WELCOME);
            return 1;
        case IDC_AGREEMENT_NEXT:
            MovePage(page, PAGE_PILOT);
            return 1;
        default:
            /* Includes every notification of the disclaimer box (1017). */
            QuitWizard();
            return 1;
        }
    }
    return 0;
}
