/*
 * Everything that reads or changes the game's files, or runs the game.
 * All names are bare file names resolved against the current directory,
 * which is expected to be the game's folder.
 */
#ifndef TARNWICK_GAMEFILES_H
#define TARNWICK_GAMEFILES_H

#include <windows.h>

/* launch.cpp: back up, patch, run and restore the game executable */
int BackupGameExe(const char *name);
int PatchGameExe(const char *name);
int RestoreGameExe(void);
int LaunchGame(HWND page);

/* config.cpp: the "lastpilot" line of CONFIG.CFG */
char *ReadLastPilot(void);
int WriteLastPilot(const char *name);

/* roster.cpp: the pilot files and the Pilot page's list */
void FillPilotList(HWND page, HWND list);
char *GetSelectedPilot(HWND list);

#endif
