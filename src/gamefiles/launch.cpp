/*
 * The launch behind the Confirm page: back the executable up, patch it,
 * run the game, and put the unpatched executable back when it exits.
 */
#include <stdio.h>
#include <stdlib.h>

#include "gamefiles.h"
#include "backup.h"
#include "fileutil.h"
#include "faultpoint.h"

static const char WRITE_ERROR[] =
    "Error writing to file, please contact the Quorvel Office";
static const char START_ERROR[] =
    "Error starting Xwingalliance!  Make sure program is in Xwingalliance folder.";

/* Set once the patch has opened the executable, so a failure may have changed it. */
static int g_patchTouched;

int PatchGameExe(const char *name)
{
    FILE *exe;
    int ok;

    g_patchTouched = 0;
    exe = fopen(name, "rb+");
    if (!exe)
        return 0;
    g_patchTouched = 1;
    /* The two bytes sit in the stream's buffer until the flush, and the C
       library's fclose need not report a flush that failed (a full disk
       when the patch lengthens a short file): flush and check first. */
    ok = fseek(exe, PATCH_OFFSET, SEEK_SET) == 0
        && fputc(PATCH_BYTE, exe) != EOF
        && fputc(PATCH_BYTE, exe) != EOF
        && fflush(exe) == 0;
    if (fclose(exe) != 0)
        ok = 0;
    return ok;
}

/*
 * The executable is deleted only while a complete backup stands ready to
 * take its name, so whatever fails, one of the two names still holds the
 * unpatched game.
 */
int RestoreGameExe(void)
{
    int tries;

    if (g_backupSize < 0 || PlainFileSize(BACKUP_FILE) != g_backupSize)
        return 1;
    /* The game's image may be released a moment after its process ends. */
    for (tries = 0; remove(RESTORED_EXE) != 0 && NameExists(RESTORED_EXE) && tries < 20; tries++)
        Sleep(50);
    FaultPoint("restore-deleted");
    if (rename(BACKUP_FILE, RESTORED_EXE) == 0)
        g_backupSize = -1;
    return 1;
}

/*
 * A restore cut short between its delete and its rename leaves the game
 * only as the backup, which was complete (the delete waits for that).
 * Finish the restore, or the player would have no game to launch.
 */
static void FinishRestore(void)
{
    RenameIfMissing(BACKUP_FILE, RESTORED_EXE);
}

static void ShowLaunchError(HWND page, const char *text)
{
    MessageBoxA(page, text, "Error", MB_ICONERROR);
}

/* Runs the game once, patched; 1 when the End page is to follow. */
int LaunchGame(HWND page)
{
    char commandLine[] = GAME_EXE;
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    DWORD dirLength;
    BOOL started;
    char *dir;

    FinishRestore();
    if (!BackupGameExe(GAME_EXE)) {
        ShowLaunchError(page, WRITE_ERROR);
        PostQuitMessage(0);
        return 0;
    }
    if (!PatchGameExe(GAME_EXE)) {
        /* A patch that failed half way must not stay in the game. */
        if (g_patchTouched)
            RestoreGameExe();
        ShowLaunchError(page, WRITE_ERROR);
        PostQuitMessage(0);
        return 0;
    }

    FaultPoint("patched");

    EndDialog(page, 0);
    FaultPoint("page-ended");

    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;

    /* Size the buffer from what the system says it needs: any length works. */
    dirLength = GetCurrentDirectoryA(0, NULL);
    dir = (char *)calloc(dirLength + 1, 1);
    if (dir)
        GetCurrentDirectoryA(dirLength + 1, dir);

    ZeroMemory(&process, sizeof(process));
    started = CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, NORMAL_PRIORITY_CLASS,
                             NULL, dir, &startup, &process);
    if (started) {
        FaultPoint("game-started");
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    } else {
        ShowLaunchError(page, START_ERROR);
        PostQuitMessage(0);
    }
    free(dir);

    RestoreGameExe();
    return 1;
}
