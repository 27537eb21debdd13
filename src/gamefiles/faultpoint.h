/*
 * Named points of a launch and of a CONFIG.CFG rewrite. The fault tests
 * set g_faultHook to stop the process at one of them and then look at what
 * the player's files are left as; the program itself never sets it, and
 * unset it does nothing.
 *
 * Launch:  "backup-partial"  the first block of the backup is written
 *          "backup-done"     the backup is complete and closed
 *          "patched"         the patch is written and closed
 *          "page-ended"      the Confirm page has been ended
 *          "game-started"    the game process has been created
 *          "restore-deleted" the patched executable is deleted, the
 *                            backup not yet renamed
 * Rewrite: "temp-partial"    the first block after the new first line is
 *                            written to 1234.aaa
 *          "temp-closed"     1234.aaa is complete and closed
 *          "config-deleted"  the old CONFIG.CFG is deleted
 *          "temp-renaming"   1234.aaa is about to take the name CONFIG.CFG
 */
#ifndef TARNWICK_FAULTPOINT_H
#define TARNWICK_FAULTPOINT_H

extern void (*g_faultHook)(const char *point);

void FaultPoint(const char *point);

#endif
