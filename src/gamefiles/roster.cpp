/*
 * The pilots of the game folder and the Pilot page's list of them.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "gamefiles.h"
#include "resource.h"

#define FIRST_NAME_BYTES    13
#define LATER_NAME_BYTES    12

/*
 * A pilot's name is the bytes read from the start of its file, up to the
 * first NUL. The buffer is cleared for each file, so a short file never
 * shows what an earlier one held.
 */
static int ReadPilotName(const char *file, size_t bytes, char name[16])
{
    FILE *pilot;
    int bad;

    memset(name, 0, 16);
    pilot = fopen(file, "rb");
    if (!pilot)
        return 0;
    fread(name, 1, bytes, pilot);
    bad = ferror(pilot);
    fclose(pilot);
    return !bad;
}

void FillPilotList(HWND page, HWND list)
{
    WIN32_FIND_DATAA found;
    HANDLE search;
    size_t bytes = FIRST_NAME_BYTES;
    int added = 0;
    char name[16];
    char *stored;

    search = FindFirstFileA("*.plt", &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            /* A folder or a locked file is no pilot to offer. */
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                && ReadPilotName(found.cFileName, bytes, name)) {
                SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name);
                added++;
            }
            bytes = LATER_NAME_BYTES;
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }

    if (!added) {
        EnableWindow(GetDlgItem(page, IDC_PILOT_NEXT), FALSE);
        return;
    }

    stored = ReadLastPilot();
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    /* An empty name would match every item; the first one stays selected. */
    if (stored && stored[0])
        SendMessageA(list, LB_SELECTSTRING, 0, (LPARAM)stored);
    free(stored);
}

char *GetSelectedPilot(HWND list)
{
    LRESULT index, length;
    char *name;

    index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    length = index == LB_ERR ? LB_ERR : SendMessageA(list, LB_GETTEXTLEN, (WPARAM)index, 0);
    if (length == LB_ERR)
        return (char *)calloc(1, 1);
    name = (char *)calloc((size_t)length + 1, 1);
    if (name)
        SendMessageA(list, LB_GETTEXT, (WPARAM)index, (LPARAM)name);
    return name;
}
