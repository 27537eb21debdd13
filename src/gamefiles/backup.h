/* Names and figures the backup, the patch and the restore share. */
#ifndef TARNWICK_BACKUP_H
#define TARNWICK_BACKUP_H

#define GAME_EXE        "XWINGALLIANCE.EXE"
#define RESTORED_EXE    "XWINGALLIANCE.exe"
#define BACKUP_FILE     "4321.aaa"
#define PATCH_OFFSET    0x15772EL
#define PATCH_BYTE      0x90

/* Size of the complete backup made by this process, -1 while there is none. */
extern long long g_backupSize;

#endif
