/*
 * Benchmark of the game-file operations and of the program's start.
 *
 * Each figure times one of our operations against a baseline of plain
 * system calls, side by side in the same rounds (the order turns from
 * round to round), and prints the medians and their ratio to the
 * baseline's. Every folder is made fresh under %TEMP% and removed again;
 * the files are set up outside the timed part, and each result is checked
 * outside it too, so a fast figure is never one of work left undone.
 *
 * The last lines are one per figure, for scripts:
 *     NAME: ratio R (target T) ok      or      ... MISSED
 *
 * Usage: bench [rounds [figure...]]   (7 rounds of all five by default)
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gamefiles.h"

#define GAME_EXE        "XWINGALLIANCE.EXE"
#define BACKUP_FILE     "4321.aaa"
#define PATCH_OFFSET    0x15772E
#define CONFIG_LINES    100000
#define PILOT_FILES     2000
#define PILOT_FILE_SIZE 4096
#define PILOT_LIST_ID   1034
#define WINDOW_TIMEOUT  30000
#define CONFIG_BLOCK    65536

/*
 * One figure: column 0 is our operation, column 1 the baseline. Where the
 * target is out of reach, more columns time the least that our work can
 * cost with plain system calls, or a variant of it, to show where the time
 * goes; they are printed, not judged.
 */
#define MAX_COLUMNS 4

struct Figure {
    const char *name;
    double target;
    int columns;
    const char *labels[MAX_COLUMNS];
    std::vector<double> ms[MAX_COLUMNS];
};

static LARGE_INTEGER g_frequency;
static std::string g_benchRoot;
static std::string g_standinPath;
static std::string g_wizardPath;
static std::string g_emptyDialogPath;
static int g_folderCount;
static int g_rounds = 7;

static void Fail(const char *what, const std::string &detail)
{
    fprintf(stderr, "bench: %s: %s (error %lu)\n", what, detail.c_str(),
            (unsigned long)GetLastError());
    exit(2);
}

static double NowMs(void)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)g_frequency.QuadPart;
}

/* "/a/b" as Wine's Z: drive sees it. */
static std::string WinPath(const char *unixPath)
{
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

static void WriteWholeFile(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;

    if (file == INVALID_HANDLE_VALUE)
        Fail("cannot create", path);
    if (!bytes.empty() && (!WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL)
                           || written != bytes.size()))
        Fail("cannot write", path);
    CloseHandle(file);
}

static std::string ReadWholeFile(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                              OPEN_EXISTING, 0, NULL);
    std::string bytes;
    char buf[65536];
    DWORD got = 0;

    if (file == INVALID_HANDLE_VALUE)
        Fail("cannot open", path);
    while (ReadFile(file, buf, sizeof(buf), &got, NULL) && got)
        bytes.append(buf, got);
    CloseHandle(file);
    return bytes;
}

static long long FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;

    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

/* A fresh empty folder under the benchmark's own folder. */
static std::string MakeFolder(void)
{
    std::string path = g_benchRoot + "\\" + std::to_string(++g_folderCount);

    if (!CreateDirectoryA(path.c_str(), NULL))
        Fail("cannot create folder", path);
    return path;
}

/* The folders hold plain files only. */
static void RemoveFolder(const std::string &path)
{
    WIN32_FIND_DATAA found;
    HANDLE search;

    SetCurrentDirectoryA(g_benchRoot.c_str());
    search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((path + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    if (!RemoveDirectoryA(path.c_str()))
        Fail("cannot remove folder", path);
}

static void InstallGame(const std::string &folder, const char *asName)
{
    if (!CopyFileA(g_standinPath.c_str(), (folder + "\\" + asName).c_str(), FALSE))
        Fail("cannot copy the stand-in game to", folder);
}

static void EnterFolder(const std::string &folder)
{
    if (!SetCurrentDirectoryA(folder.c_str()))
        Fail("cannot enter", folder);
}

static void PumpMessages(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

#define OURS     0
#define BASELINE 1

/* Which column the pass-th timing of a round is for: the order turns each round. */
static int PassColumn(const Figure *figure, int round, int pass)
{
    return (pass + round) % figure->columns;
}

static void Record(Figure *figure, int column, double start)
{
    figure->ms[column].push_back(NowMs() - start);
}

/* (a) The launch's work before the game starts: the backup and the patch. */
static void LaunchPrepRound(Figure *figure, int round)
{
    long long gameSize = FileSize(g_standinPath);
    std::string folders[2] = { MakeFolder(), MakeFolder() };
    double start;
    int pass, column;

    for (column = 0; column < 2; column++)
        InstallGame(folders[column], GAME_EXE);
    for (pass = 0; pass < 2; pass++) {
        column = PassColumn(figure, round, pass);
        EnterFolder(folders[column]);
        if (column == OURS) {
            start = NowMs();
            int backedUp = BackupGameExe(GAME_EXE);
            int patched = PatchGameExe(GAME_EXE);
            Record(figure, column, start);
            if (!backedUp || !patched || FileSize(BACKUP_FILE) != gameSize)
                Fail("backup or patch failed in", folders[column]);
            std::string exe = ReadWholeFile(GAME_EXE);
            if ((unsigned char)exe[PATCH_OFFSET] != 0x90
                || (unsigned char)exe[PATCH_OFFSET + 1] != 0x90)
                Fail("patch not written in", folders[column]);
        } else {
            start = NowMs();
            BOOL copied = CopyFileA(GAME_EXE, BACKUP_FILE, FALSE);
            Record(figure, column, start);
            if (!copied)
                Fail("CopyFileA failed in", folders[column]);
        }
    }
    for (column = 0; column < 2; column++)
        RemoveFolder(folders[column]);
}

/* A game folder as a launch leaves it while the game runs. */
static std::string MakeLaunchedFolder(void)
{
    std::string folder = MakeFolder();

    InstallGame(folder, GAME_EXE);
    EnterFolder(folder);
    if (!BackupGameExe(GAME_EXE) || !PatchGameExe(GAME_EXE))
        Fail("backup or patch failed in", folder);
    return folder;
}

/*
 * (b) Putting the unpatched executable back after the game. The restore
 * acts only on a complete backup made by this process, hence a backup in
 * each round before the timing. Column 2: deleting the patched 4 MiB file
 * and renaming the backup, which no restore can do without.
 */
static void RestoreRound(Figure *figure, int round)
{
    long long gameSize = FileSize(g_standinPath);
    std::string folders[3];
    double start;
    int pass, column;
    BOOL done;

    folders[2] = MakeLaunchedFolder();
    folders[OURS] = MakeLaunchedFolder();   /* the last backup made is the one restored */
    folders[BASELINE] = MakeFolder();
    InstallGame(folders[BASELINE], BACKUP_FILE);
    for (pass = 0; pass < 3; pass++) {
        column = PassColumn(figure, round, pass);
        EnterFolder(folders[column]);
        start = NowMs();
        if (column == OURS) {
            RestoreGameExe();
            done = TRUE;
        } else if (column == BASELINE) {
            done = MoveFileA(BACKUP_FILE, "XWINGALLIANCE.exe");
        } else {
            done = DeleteFileA("XWINGALLIANCE.exe") && MoveFileA(BACKUP_FILE, "XWINGALLIANCE.exe");
        }
        Record(figure, column, start);
        if (!done || FileSize(BACKUP_FILE) >= 0 || FileSize("XWINGALLIANCE.exe") != gameSize)
            Fail("no restore in", folders[column]);
    }
    for (column = 0; column < 3; column++)
        RemoveFolder(folders[column]);
}

/* A CONFIG.CFG of the given number of lines, CR LF, as the game writes it. */
static std::string ConfigText(int lines)
{
    std::string text = "lastpilot Marek\r\n";
    char line[64];
    int i;

    for (i = 1; i < lines; i++) {
        snprintf(line, sizeof(line), "setting%06d %d\r\n", i, (i * 7919) % 100000);
        text += line;
    }
    return text;
}

/* 0x80 in each byte of word that equals c, 0 in every other byte. */
static unsigned long long BytesEqual(unsigned long long word, unsigned char c)
{
    const unsigned long long low7 = 0x7f7f7f7f7f7f7f7full;
    unsigned long long x = word ^ (0x0101010101010101ull * c);

    return ~(((x & low7) + low7) | x | low7);
}

/*
 * A rewrite through binary streams that leaves the same bytes on disk as
 * the text mode one: the text ends at a ^Z, a LF without a CR before it
 * gains one, every other byte is copied as it is. Each block is scanned
 * eight bytes at a time, and runs without a bare LF are written straight
 * from it. The block is reused: fresh memory costs a page fault per 4 KiB.
 */
static void RewriteConfigBinary(const char *name)
{
    static char block[CONFIG_BLOCK + 8];
    FILE *config = fopen("CONFIG.CFG", "rb"), *temp = fopen("1234.aaa", "wb");
    int inFirstLine = 1, lastWasCr = 0, ended = 0;
    size_t got;

    if (!config || !temp)
        Fail("cannot open", "CONFIG.CFG or 1234.aaa");
    fprintf(temp, "lastpilot %s\r\n", name);
    while (!ended && (got = fread(block, 1, CONFIG_BLOCK, config)) > 0) {
        size_t at = 0, from;
        if (inFirstLine) {
            while (at < got && block[at] != '\n' && block[at] != 0x1a)
                at++;
            if (at == got)
                continue;
            if (block[at] == 0x1a)
                break;
            inFirstLine = 0;
            lastWasCr = 0;
            at++;
        }
        from = at;
        memset(block + got, 0, 8);
        while (at < got) {
            unsigned long long word;
            memcpy(&word, block + at, 8);
            unsigned long long cr = BytesEqual(word, '\r');
            int crBefore = at > 0 ? block[at - 1] == '\r' : lastWasCr;
            unsigned long long odd = (BytesEqual(word, '\n') & ~(cr << 8 | (crBefore ? 0x80 : 0)))
                                   | BytesEqual(word, 0x1a);
            size_t stop = at + 8 < got ? at + 8 : got;
            if (odd || stop < at + 8) {
                for (; at < stop; at++) {
                    char c = block[at];
                    if (c == 0x1a) {
                        ended = 1;
                        break;
                    }
                    if (c == '\n' && !(at > 0 ? block[at - 1] == '\r' : lastWasCr)) {
                        fwrite(block + from, 1, at - from, temp);
                        fputc('\r', temp);
                        from = at;
                    }
                }
                if (ended)
                    break;
            }
            at = stop;
        }
        fwrite(block + from, 1, at - from, temp);
        if (at > 0)
            lastWasCr = block[at - 1] == '\r';
    }
    fclose(config);
    fclose(temp);
    remove("CONFIG.CFG");
    rename("1234.aaa", "CONFIG.CFG");
}

/*
 * (c) Rewriting the first line of a long CONFIG.CFG. Column 2: the least a
 * rewrite through 1234.aaa costs, a copy and the replacing of CONFIG.CFG;
 * column 3: the rewrite through binary streams.
 */
static void WriteLastPilotRound(Figure *figure, int round, const std::string &config)
{
    std::string folders[4];
    std::string expected = "lastpilot Kestrel\r\n" + config.substr(config.find('\n') + 1);
    double start;
    int pass, column;

    for (column = 0; column < 4; column++) {
        folders[column] = MakeFolder();
        WriteWholeFile(folders[column] + "\\CONFIG.CFG", config);
    }
    for (pass = 0; pass < 4; pass++) {
        column = PassColumn(figure, round, pass);
        EnterFolder(folders[column]);
        start = NowMs();
        if (column == OURS) {
            WriteLastPilot("Kestrel");
        } else if (column == BASELINE) {
            CopyFileA("CONFIG.CFG", "1234.aaa", FALSE);
        } else if (column == 2) {
            CopyFileA("CONFIG.CFG", "1234.aaa", FALSE);
            DeleteFileA("CONFIG.CFG");
            MoveFileA("1234.aaa", "CONFIG.CFG");
        } else {
            RewriteConfigBinary("Kestrel");
        }
        Record(figure, column, start);
        if (column == BASELINE || column == 2) {
            if (FileSize(column == BASELINE ? "1234.aaa" : "CONFIG.CFG") != (long long)config.size())
                Fail("copy failed in", folders[column]);
        } else if (ReadWholeFile("CONFIG.CFG") != expected || FileSize("1234.aaa") >= 0) {
            Fail("CONFIG.CFG not rewritten right in", folders[column]);
        }
    }
    for (column = 0; column < 4; column++)
        RemoveFolder(folders[column]);
}

/*
 * The pilot folder: PILOT_FILES files in no sorted order, each named after
 * the pilot its first bytes hold, and a CONFIG.CFG naming one of them.
 */
static std::string MakePilotFolder(std::string *storedName)
{
    std::string folder = MakeFolder();
    std::string content(PILOT_FILE_SIZE, '\x5a');
    unsigned seed = 12345;
    char name[16];
    int i, j;

    for (i = 0; i < PILOT_FILES; i++) {
        for (j = 0; j < 6; j++) {
            seed = seed * 1103515245u + 12345u;
            name[j] = (char)((j ? 'a' : 'A') + (seed >> 16) % 26);
        }
        snprintf(name + 6, sizeof(name) - 6, "%04d", i);
        memset(&content[0], 0, 16);
        memcpy(&content[0], name, strlen(name));
        WriteWholeFile(folder + "\\" + name + ".plt", content);
        if (i == PILOT_FILES / 2)
            *storedName = name;
    }
    WriteWholeFile(folder + "\\CONFIG.CFG", "lastpilot " + *storedName + "\r\nsetting 1\r\n");
    return folder;
}

/* The Pilot page's list, in a hidden window standing in for the page. */
static HWND MakePilotList(HWND page)
{
    HWND list = CreateWindowExA(0, "LISTBOX", "",
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_SORT
        | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT,
        128, 98, 150, 130, page, (HMENU)(INT_PTR)PILOT_LIST_ID, GetModuleHandleA(NULL), NULL);
    if (!list)
        Fail("cannot create", "the list box");
    return list;
}

static void CheckPilotList(HWND list, const char *who, const std::string &storedName)
{
    char selected[64] = "";
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);

    if (SendMessageA(list, LB_GETCOUNT, 0, 0) != PILOT_FILES)
        Fail("wrong number of pilots from", who);
    if (storedName.empty())
        return;
    if (index == LB_ERR || SendMessageA(list, LB_GETTEXTLEN, index, 0) >= (LRESULT)sizeof(selected))
        Fail("no selection from", who);
    SendMessageA(list, LB_GETTEXT, index, (LPARAM)selected);
    if (storedName != selected)
        Fail("stored pilot not selected by", who);
}

/* The walk over the pilot files, adding each name; readFiles takes it from the file. */
static void AddPilotsPlainly(HWND list, int readFiles)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("*.plt", &found);
    DWORD bytes = 13, got;
    char name[16];

    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        memset(name, 0, sizeof(name));
        if (readFiles) {
            HANDLE file = CreateFileA(found.cFileName, GENERIC_READ, FILE_SHARE_READ, NULL,
                                      OPEN_EXISTING, 0, NULL);
            if (file != INVALID_HANDLE_VALUE) {
                ReadFile(file, name, bytes, &got, NULL);
                CloseHandle(file);
            }
            bytes = 12;
        } else {
            memcpy(name, found.cFileName, strlen(found.cFileName) - 4);
        }
        SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

/*
 * (d) Filling the Pilot page's list from the pilot files. Column 2: the
 * walk that also opens and reads each file with CreateFileA and ReadFile,
 * as the names are inside the files.
 */
static void FillPilotListRound(Figure *figure, int round, HWND page,
                               const std::string &storedName)
{
    double start;
    int pass, column;

    for (pass = 0; pass < 3; pass++) {
        column = PassColumn(figure, round, pass);
        HWND list = MakePilotList(page);
        PumpMessages();
        start = NowMs();
        if (column == OURS)
            FillPilotList(page, list);
        else
            AddPilotsPlainly(list, column == 2);
        Record(figure, column, start);
        CheckPilotList(list, figure->labels[column], column == OURS ? storedName : "");
        DestroyWindow(list);
        PumpMessages();
    }
}

static DWORD g_searchProcess;
static HWND g_foundWindow;

static BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM)
{
    DWORD process = 0;

    GetWindowThreadProcessId(window, &process);
    if (process == g_searchProcess && IsWindowVisible(window)) {
        g_foundWindow = window;
        return FALSE;
    }
    return TRUE;
}

/* Milliseconds from CreateProcessA until a visible window of the process exists. */
static double TimeFirstWindow(const std::string &program, const std::string &folder)
{
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    std::string commandLine = "\"" + program + "\"";
    double start, elapsed = -1;

    ZeroMemory(&startup, sizeof(startup));
    startup.cb = sizeof(startup);
    start = NowMs();
    if (!CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL,
                        folder.c_str(), &startup, &process))
        Fail("cannot start", program);
    g_searchProcess = process.dwProcessId;
    g_foundWindow = NULL;
    for (;;) {
        EnumWindows(FindVisibleWindow, 0);
        if (g_foundWindow) {
            elapsed = NowMs() - start;
            break;
        }
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0)
            Fail("exited before showing a window", program);
        if (NowMs() - start > WINDOW_TIMEOUT)
            break;
        Sleep(1);
    }
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (elapsed < 0)
        Fail("no window within 30 s from", program);
    return elapsed;
}

/* (e) From process start to the first page on screen. */
static void FirstPageRound(Figure *figure, int round, const std::string &folder)
{
    int pass, column;

    for (pass = 0; pass < 2; pass++) {
        column = PassColumn(figure, round, pass);
        figure->ms[column].push_back(
            TimeFirstWindow(column == OURS ? g_wizardPath : g_emptyDialogPath, folder));
    }
}

static void ClearFigure(Figure *figure)
{
    int column;

    for (column = 0; column < MAX_COLUMNS; column++)
        figure->ms[column].clear();
}

static double Median(std::vector<double> values)
{
    size_t n = values.size();

    std::sort(values.begin(), values.end());
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

static double Ratio(const Figure *figure, int column)
{
    return Median(figure->ms[column]) / Median(figure->ms[BASELINE]);
}

static void PrintFigures(const Figure *figures, int count)
{
    int i, column;

    printf("\n%d rounds; ms: median and fastest; ratio: median against the baseline's median\n\n",
           g_rounds);
    printf("%-12s %-40s %9s %9s %7s  %s\n", "figure", "", "median", "fastest", "ratio", "target");
    for (i = 0; i < count; i++) {
        const Figure *f = &figures[i];
        if (f->ms[OURS].empty())
            continue;
        for (column = 0; column < f->columns; column++) {
            const std::vector<double> &ms = f->ms[column];
            char target[32];
            if (column == OURS)
                snprintf(target, sizeof(target), "%.1f", f->target);
            else
                snprintf(target, sizeof(target), column == BASELINE ? "(baseline)" : "(for comparison)");
            printf("%-12s %-40s %9.3f %9.3f %7.2f  %s\n", column == OURS ? f->name : "",
                   f->labels[column], Median(ms), *std::min_element(ms.begin(), ms.end()),
                   Ratio(f, column), target);
        }
    }
    printf("\n");
    for (i = 0; i < count; i++) {
        if (figures[i].ms[OURS].empty())
            continue;
        double ratio = Ratio(&figures[i], OURS);
        printf("%s: ratio %.2f (target %.1f) %s\n", figures[i].name, ratio, figures[i].target,
               ratio <= figures[i].target ? "ok" : "MISSED");
    }
}

static void Progress(const char *name)
{
    fprintf(stderr, "bench: %s\n", name);
}

static void RunLaunchPrep(Figure *figure)
{
    int round;

    for (round = 0; round < g_rounds; round++)
        LaunchPrepRound(figure, round);
}

static void RunRestore(Figure *figure)
{
    int round;

    for (round = 0; round < g_rounds; round++)
        RestoreRound(figure, round);
}

static void RunWritePilot(Figure *figure)
{
    std::string config = ConfigText(CONFIG_LINES);
    int round;

    for (round = 0; round < g_rounds; round++)
        WriteLastPilotRound(figure, round, config);
}

static void RunFillPilots(Figure *figure)
{
    std::string storedName, pilots = MakePilotFolder(&storedName);
    HWND page;
    int round;

    EnterFolder(pilots);
    page = CreateWindowExA(0, "STATIC", "Pilot", WS_POPUP, 0, 0, 400, 300, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
    if (!page)
        Fail("cannot create", "the hidden page");
    /* A first round, not counted, brings the new folder's entries into the caches. */
    FillPilotListRound(figure, 0, page, storedName);
    ClearFigure(figure);
    for (round = 0; round < g_rounds; round++)
        FillPilotListRound(figure, round, page, storedName);
    DestroyWindow(page);
    RemoveFolder(pilots);
}

static void RunFirstPage(Figure *figure)
{
    std::string gameFolder = MakeFolder();
    int round;

    InstallGame(gameFolder, GAME_EXE);
    WriteWholeFile(gameFolder + "\\CONFIG.CFG", "lastpilot Marek\r\n");
    WriteWholeFile(gameFolder + "\\Marek.plt", std::string("Marek\0\0\0\0\0\0\0\0\0\0\0", 16));
    /* Likewise a first start of each program, which loads it from disk. */
    FirstPageRound(figure, 0, gameFolder);
    ClearFigure(figure);
    for (round = 0; round < g_rounds; round++)
        FirstPageRound(figure, round, gameFolder);
    RemoveFolder(gameFolder);
}

int main(int argc, char **argv)
{
    Figure figures[] = {
        { "launch_prep", 1.5, 2,
          { "BackupGameExe+PatchGameExe", "CopyFileA of the game (4 MiB)" }, {} },
        { "restore", 2.0, 3,
          { "RestoreGameExe", "MoveFileA of the game", "DeleteFileA+MoveFileA" }, {} },
        { "write_pilot", 3.0, 4,
          { "WriteLastPilot (100,000 lines)", "CopyFileA of the CONFIG.CFG",
            "CopyFileA+DeleteFileA+MoveFileA", "the same rewrite by binary streams" }, {} },
        { "fill_pilots", 1.5, 3,
          { "FillPilotList (2,000 files)", "FindFirst/NextFileA+LB_ADDSTRING",
            "the same + CreateFileA/ReadFile each" }, {} },
        { "first_page", 1.2, 2,
          { "TarnwickPatch.exe", "empty dialog program" }, {} },
    };
    void (*runs[])(Figure *) = {
        RunLaunchPrep, RunRestore, RunWritePilot, RunFillPilots, RunFirstPage,
    };
    const int count = sizeof(figures) / sizeof(figures[0]);
    char temp[MAX_PATH];
    int i, j;

    if (argc > 1)
        g_rounds = std::max(1, atoi(argv[1]));
    for (j = 2; j < argc; j++) {
        for (i = 0; i < count && strcmp(argv[j], figures[i].name) != 0; i++)
            ;
        if (i == count)
            Fail("no such figure", argv[j]);
    }
    QueryPerformanceFrequency(&g_frequency);
    g_standinPath = WinPath(STANDIN_GAME);
    g_wizardPath = WinPath(WIZARD_PROGRAM);
    g_emptyDialogPath = WinPath(EMPTY_DIALOG_PROGRAM);
    if (FileSize(g_standinPath) <= PATCH_OFFSET + 2)
        Fail("stand-in game missing or short", g_standinPath);

    GetTempPathA(sizeof(temp), temp);
    g_benchRoot = std::string(temp) + "tarnwick-bench-" + std::to_string(GetCurrentProcessId());
    if (!CreateDirectoryA(g_benchRoot.c_str(), NULL))
        Fail("cannot create", g_benchRoot);

    for (i = 0; i < count; i++) {
        int wanted = argc <= 2;
        for (j = 2; j < argc; j++)
            wanted |= strcmp(argv[j], figures[i].name) == 0;
        if (!wanted)
            continue;
        Progress(figures[i].name);
        runs[i](&figures[i]);
    }

    SetCurrentDirectoryA(temp);
    RemoveDirectoryA(g_benchRoot.c_str());
    PrintFigures(figures, count);
    return 0;
}
