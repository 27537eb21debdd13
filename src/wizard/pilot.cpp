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
        case IDC_PILOT_NEXT: {
            /* The choice is on disk before the Confirm page opens. */
            char *name = GetSelectedPilot(list);
            WriteLastPilot(name);
            free(name);
            MovePage(page, PAGE_CONFIRM);
            return 1;
        }
        case IDC_PILOT_PREV:
            MovePage(page, PAGE_AGREEMENT);
            return 1;
        case IDC_PILOT_EXIT:
            ExitWizard(page);
            return 1;
        default:
            /* Other commands, the list's notifications among them. */
            return 0;
        }
    }
    /* Every other message, WM_DESTROY and WM_VKEYTOITEM included. */
    return 0;
}
