/*
 * The first line of CONFIG.CFG, "lastpilot " and the pilot's name.
 *
 * Both files are used in text mode, as the game writes them: CR LF reads
 * as LF, LF writes as CR LF, and a ^Z byte ends the text. The new file is
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
    if (!NameExists(CONFIG_FILE) && PlainFileSize(TEMP_FILE) >= 0)
        rename(TEMP_FILE, CONFIG_FILE);
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

/* Copies what follows the old first line; 0 on a read or write error. */
static int CopyRest(FILE *from, FILE *to)
{
    char *buf;
    size_t got;
    int c, ok = 1;

    while ((c = getc(from)) != EOF && c != '\n')
        ;
    if (ferror(from))
        return 0;

    buf = (char *)malloc(COPY_BLOCK);
    if (!buf)
        return 0;
    while ((got = fread(buf, 1, COPY_BLOCK, from)) > 0) {
        if (fwrite(buf, 1, got, to) != got) {
            ok = 0;
            break;
        }
        FaultPoint("temp-partial");
    }
    if (ferror(from))
        ok = 0;
    free(buf);
    return ok;
}

/*
 * How much of a name goes into the first line. A name is whatever a pilot
 * file begins with; a LF in it would add a line to the game's settings,
 * and a ^Z would end the text there, so that the game and every later
 * rewrite would lose all the lines after it.
 */
static int WrittenLength(const char *name)
{
    return (int)strcspn(name, "\n\x1A");
}

/* Makes name the stored pilot, carrying the rest of the file over. */
int WriteLastPilot(const char *name)
{
    FILE *config = NULL, *temp;
    int ok, created;

    RecoverConfig();
    created = !NameExists(CONFIG_FILE);
    if (!created) {
        /* A CONFIG.CFG that cannot be read is left exactly as it is. */
        if (PlainFileSize(CONFIG_FILE) < 0)
            return 1;
        config = fopen(CONFIG_FILE, "r");
        if (!config)
            return 1;
    }

    temp = fopen(TEMP_FILE, "w");
    if (!temp) {
        if (config)
            fclose(config);
        return 1;
    }

    ok = fprintf(temp, "%s", PILOT_KEY) >= 0
        && fprintf(temp, "%.*s", WrittenLength(name), name) >= 0
        && fprintf(temp, "%c", 10) >= 0;
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
