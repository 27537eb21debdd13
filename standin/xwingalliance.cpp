/*
 * Stand-in for the game executable, used by the tests and the demo.
 *
 * Each run appends one block to "standin.log" in its current directory:
 * the command line, the current directory, the show command it was
 * started with, and the two bytes at the patch offset of its own file as
 * it reads them while running. If "standin.hold" exists it then creates
 * "standin.running" and stays up until "standin.hold" is gone, so a test
 * can look at the game folder while the game runs. The exit code is read
 * from "standin.exitcode" when that file exists, otherwise 0.
 */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static const DWORD PATCH_OFFSET = 0x15772E;

static void ReadOwnPatchBytes(char *out, size_t size)
{
    char path[MAX_PATH];
    unsigned char bytes[2];
    DWORD got = 0;
    HANDLE file;

    snprintf(out, size, "unreadable");
    if (!GetModuleFileNameA(NULL, path, sizeof(path)))
        return;
    file = CreateFileA(path, GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    if (SetFilePointer(file, PATCH_OFFSET, NULL, FILE_BEGIN) == PATCH_OFFSET
        && ReadFile(file, bytes, 2, &got, NULL) && got == 2)
        snprintf(out, size, "%02X %02X", bytes[0], bytes[1]);
    else
        snprintf(out, size, "short");
    CloseHandle(file);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE prev, LPSTR cmdLine, int show)
{
    STARTUPINFOA si;
    char cwd[4096], module[MAX_PATH], patch[32];
    FILE *log, *codeFile;
    int exitCode = 0;

    (void)instance; (void)prev; (void)cmdLine; (void)show;

    GetStartupInfoA(&si);
    if (!GetCurrentDirectoryA(sizeof(cwd), cwd))
        cwd[0] = 0;
    if (!GetModuleFileNameA(NULL, module, sizeof(module)))
        module[0] = 0;
    ReadOwnPatchBytes(patch, sizeof(patch));

    log = fopen("standin.log", "ab");
    if (log) {
        fprintf(log, "[run]\r\n");
        fprintf(log, "cmdline=%s\r\n", GetCommandLineA());
        fprintf(log, "cwd=%s\r\n", cwd);
        fprintf(log, "module=%s\r\n", module);
        fprintf(log, "flags=%lu\r\n", (unsigned long)si.dwFlags);
        fprintf(log, "show=%u\r\n", (unsigned)si.wShowWindow);
        fprintf(log, "patch=%s\r\n", patch);
        fclose(log);
    }

    if (GetFileAttributesA("standin.hold") != INVALID_FILE_ATTRIBUTES) {
        FILE *running = fopen("standin.running", "wb");
        if (running)
            fclose(running);
        while (GetFileAttributesA("standin.hold") != INVALID_FILE_ATTRIBUTES)
            Sleep(20);
        DeleteFileA("standin.running");
    }

    codeFile = fopen("standin.exitcode", "rb");
    if (codeFile) {
        if (fscanf(codeFile, "%d", &exitCode) != 1)
            exitCode = 0;
        fclose(codeFile);
    }
    return exitCode;
}
