/*
 * The first line of CONFIG.CFG, "lastpilot " and the pilot's name.
 *
 * The file is text as the game writes it: CR LF reads as LF, LF writes
 * as CR LF, and a ^Z byte ends the text. The name is read through a
 * text-mode stream; the rewrite applies the same rules to the bytes
 * itself (CopyRest). The new file is
 * written in full to 1234.aaa before CONFIG.CFG is touched, so the
 * player's settings are never left half written.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "gamefiles.h"
#include "fileutil.h"
#include "faultpoint.h"

#define CONFIG_FILE     "CONFIG.CFG"
#define TEMP_FILE       "1234.aaa"
#define PILOT_KEY       "lastpilot "
#define NAME_OFFSET     10
#define COPY_BLOCK      (64 * 1024)

/*
 * The temporary file outlives CONFIG.CFG only when a rewrite was stopped
 * between the delete and the rename; it is complete by then.
 */
static void RecoverConfig(void)
{
    RenameIfMissing(TEMP_FILE, CONFIG_FILE);
}

static int IsBlank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

/* The first word of the first line from byte 10 on; empty when there is none. */
char *ReadLastPilot(void)
{
    FILE *config;
    size_t length = 0, got, start, end;
    char *name;
    int c;

    RecoverConfig();
    config = fopen(CONFIG_FILE, "r");
    if (!config)
        return (char *)calloc(1, 1);

    if (fseek(config, NAME_OFFSET, SEEK_SET) == 0) {
        while ((c = getc(config)) != EOF) {
            length++;
            if (c == '\n')
                break;
        }
    }

    name = (char *)calloc(length + 1, 1);
    if (!name) {
        fclose(config);
        return NULL;
    }
    got = 0;
    if (length && fseek(config, NAME_OFFSET, SEEK_SET) == 0)
        got = fread(name, 1, length, config);
    fclose(config);
    name[got] = 0;

    for (start = 0; start < got && IsBlank((unsigned char)name[start]); start++)
        ;
    for (end = start; end < got && !IsBlank((unsigned char)name[end]); end++)
        ;
    memmove(name, name + start, end - start);
    name[end - start] = 0;
    return name;
}

/*
 * Copies what follows the old first line; 0 on a read or write error.
 *
 * The bytes are copied as they are and the text-mode rules applied here:
 * the text ends at its first ^Z, and a LF without a CR before it gets one.
 * That is exactly what a text-mode read and write would make of them, at a
 * fraction of the cost of the runtime's character-by-character translation.
 */
static int CopyRest(FILE *from, FILE *to)
{
    char *block, *stop, *run, *at, *lf;
    size_t got;
    int firstLine = 1, afterCr = 0, ended = 0, ok = 1;

    block = (char *)malloc(COPY_BLOCK);
    if (!block)
        return 0;
    while (ok && !ended && (got = fread(block, 1, COPY_BLOCK, from)) > 0) {
        stop = (char *)memchr(block, 0x1A, got);
        if (stop)
            ended = 1;
        else
            stop = block + got;
        run = block;
        if (firstLine) {
            lf = (char *)memchr(block, '\n', stop - block);
            if (!lf)
                continue;
            firstLine = 0;
            afterCr = 0;
            run = lf + 1;
        }
        /* Runs of bytes go out whole; only a LF without a CR before it
           needs one put in. */
        for (at = run; (lf = (char *)memchr(at, '\n', stop - at)) != NULL; at = lf + 1) {
            if (lf > run ? lf[-1] == '\r' : afterCr)
                continue;
            if (fwrite(run, 1, lf - run, to) != (size_t)(lf - run) || fputc('\r', to) == EOF) {
                ok = 0;
                break;
            }
            run = lf;
        }
        if (ok && stop > run) {
            if (fwrite(run, 1, stop - run, to) != (size_t)(stop - run))
                ok = 0;
            FaultPoint("temp-partial");
        }
        if (stop > block)
            afterCr = stop[-1] == '\r';
    }
    if (ferror(from))
        ok = 0;
    free(block);
    return ok;
}

/*
 * How much of a name goes into the first line. A name is whatever a pilot
 * file begins with; a LF in it would add a line to the game's settings,
 * and a ^Z would end the text there, so that the game and every later
 * rewrite would lose all the lines after it.
 */
static size_t WrittenLength(const char *name)
{
    return strcspn(name, "\n\x1A");
}

/* Makes name the stored pilot, carrying the rest of the file over. */
int WriteLastPilot(const char *name)
{
    FILE *config = NULL, *temp;
    size_t length;
    int ok, created;

    RecoverConfig();
    created = !NameExists(CONFIG_FILE);
    if (!created) {
        /* A CONFIG.CFG that cannot be read is left exactly as it is. */
        if (PlainFileSize(CONFIG_FILE) < 0)
            return 1;
        config = fopen(CONFIG_FILE, "rb");
        if (!config)
            return 1;
    }

    temp = fopen(TEMP_FILE, "wb");
    if (!temp) {
        if (config)
            fclose(config);
        return 1;
    }

    length = WrittenLength(name);
    ok = fputs(PILOT_KEY, temp) >= 0
        && fwrite(name, 1, length, temp) == length
        && fputs("\r\n", temp) >= 0;
    if (ok && config)
        ok = CopyRest(config, temp);
    /* fclose need not report a failed write of the last buffer, and a
       short 1234.aaa must never replace CONFIG.CFG. */
    if (ok && fflush(temp) != 0)
        ok = 0;
    if (config)
        fclose(config);
    if (fclose(temp) != 0)
        ok = 0;
    FaultPoint("temp-closed");

    if (!ok || (!created && remove(CONFIG_FILE) != 0)) {
        remove(TEMP_FILE);
        return 1;
    }
    if (!created)
        FaultPoint("config-deleted");
    FaultPoint("temp-renaming");
    rename(TEMP_FILE, CONFIG_FILE);
    return 1;
}
