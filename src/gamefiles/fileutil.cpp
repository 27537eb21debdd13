#include <windows.h>
#include <stdio.h>

#include "fileutil.h"
#include "faultpoint.h"

long long PlainFileSize(const char *name)
{
    WIN32_FILE_ATTRIBUTE_DATA data;

    if (!GetFileAttributesExA(name, GetFileExInfoStandard, &data))
        return -1;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

int NameExists(const char *name)
{
    return GetFileAttributesA(name) != INVALID_FILE_ATTRIBUTES;
}

void RenameIfMissing(const char *from, const char *to)
{
    if (!NameExists(to) && PlainFileSize(from) >= 0)
        rename(from, to);
}

void (*g_faultHook)(const char *point);

void FaultPoint(const char *point)
{
    if (g_faultHook)
        g_faultHook(point);
}
