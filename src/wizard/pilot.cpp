/*
 * Page 3, Pilot: the list of pilots and the stored pilot.
 */
#include <stdlib.h>

#include "wizard.h"
#include "resource.h"
#include "gamefiles.h"

INT_PTR CALLBACK PilotDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM)
{
    HWND list = GetDlgItem(page, IDC_PILOT_LIST);

    switch (msg) {
    case WM_INITDIALOG:
        FillPilotList(page, list);
        return 1;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_PILOT_NEXT:
        {
            char *name = GetSelectedPilot(list);
            WriteLastPilot(name);
            free(name);
        }
            EndDialog(page, 0);
            OpenPage(PAGE_CONFIRM);
            return 1;
        case IDC_PILOT_PREV:
            EndDialog(page, 0);
            OpenPage(PAGE_AGREEMENT);
            return 1;
        case IDC_PILOT_EXIT:
            EndDialog(page, 0);
            QuitWizard();
            return 1;
        default:
            /* Other commands, the list's notifications among them. */
            return 0;
        }
    }
    /* Every other message, WM_DESTROY and WM_VKEYTOITEM included. */
    return 0;
}
