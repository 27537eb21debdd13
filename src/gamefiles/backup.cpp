/*
 * Backing the game executable up to 4321.aaa.
 *
 * The backup is the only copy of the player's unpatched game while the
 * game runs, so it is checked before anything is patched: a copy that is
 * short, unreadable or could not be flushed is removed and reported.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "gamefiles.h"
#include "backup.h"
#include "fileutil.h"
#include "faultpoint.h"

#define COPY_BLOCK (64 * 1024)

long long g_backupSize = -1;

/*
 * A launch that was cut short (the program killed while the game ran)
 * leaves the patched executable and the pristine backup behind. Copying
 * over that backup would throw the only unpatched copy away, so recognise
 * it: the executable is exactly the backup with the patch applied.
 */
static int IsPristineLeftover(const char *name, long long exeSize)
{
    long long backupSize = PlainFileSize(BACKUP_FILE);
    long long patchedSize, pos = 0;
    unsigned char *exeBuf, *backupBuf;
    FILE *exe, *backup;
    int same = 1, differs = 0;

    if (backupSize < 0)
        return 0;
    patchedSize = backupSize > PATCH_OFFSET + 2 ? backupSize : PATCH_OFFSET + 2;
    if (exeSize != patchedSize)
        return 0;

    exe = fopen(name, "rb");
    backup = fopen(BACKUP_FILE, "rb");
    exeBuf = (unsigned char *)malloc(COPY_BLOCK);
    backupBuf = (unsigned char *)calloc(COPY_BLOCK, 1);
    if (!exe || !backup || !exeBuf || !backupBuf)
        same = 0;

    while (same && pos < exeSize) {
        size_t want = exeSize - pos < COPY_BLOCK ? (size_t)(exeSize - pos) : COPY_BLOCK;
        size_t i, haveBackup = 0;

        if (fread(exeBuf, 1, want, exe) != want) {
            same = 0;
            break;
        }
        /* A backup shorter than the patch offset was lengthened with zeros. */
        if (pos < backupSize) {
            size_t left = (size_t)(backupSize - pos < (long long)want ? backupSize - pos : want);
            haveBackup = fread(backupBuf, 1, left, backup);
            if (haveBackup != left) {
                same = 0;
                break;
            }
        }
        memset(backupBuf + haveBackup, 0, want - haveBackup);

        for (i = 0; i < want; i++) {
            long long at = pos + (long long)i;
            if (at == PATCH_OFFSET || at == PATCH_OFFSET + 1) {
                if (exeBuf[i] != PATCH_BYTE) {
                    same = 0;
                    break;
                }
                if (backupBuf[i] != PATCH_BYTE || at >= backupSize)
                    differs = 1;
            } else if (exeBuf[i] != backupBuf[i]) {
                same = 0;
                break;
            }
        }
        pos += want;
    }

    free(exeBuf);
    free(backupBuf);
    if (exe)
        fclose(exe);
    if (backup)
        fclose(backup);
    return same && differs;
}

/* Copies the executable to the backup file; 1 only for a complete copy. */
int BackupGameExe(const char *name)
{
    long long size = PlainFileSize(name), copied = 0;
    FILE *src, *dst;
    char *buf;
    int ok = 1;

    g_backupSize = -1;
    if (size < 0)
        return 0;
    if (IsPristineLeftover(name, size)) {
        g_backupSize = PlainFileSize(BACKUP_FILE);
        return 1;
    }

    src = fopen(name, "rb");
    if (!src)
        return 0;
    buf = (char *)malloc(COPY_BLOCK);
    if (!buf) {
        fclose(src);
        return 0;
    }
    dst = fopen(BACKUP_FILE, "wb");
    if (!dst) {
        free(buf);
        fclose(src);
        return 0;
    }

    for (;;) {
        size_t got = fread(buf, 1, COPY_BLOCK, src);
        if (got && fwrite(buf, 1, got, dst) != got) {
            ok = 0;
            break;
        }
        if (!copied && got)
            FaultPoint("backup-partial");
        copied += got;
        if (got < COPY_BLOCK) {
            if (ferror(src))
                ok = 0;
            break;
        }
    }
    free(buf);
    fclose(src);
    if (fclose(dst) != 0)
        ok = 0;
    /* The executable changed size under us, or the disk lied. */
    if (ok && (copied != size || PlainFileSize(BACKUP_FILE) != size))
        ok = 0;

    if (!ok) {
        remove(BACKUP_FILE);
        return 0;
    }
    g_backupSize = size;
    FaultPoint("backup-done");
    return 1;
}
