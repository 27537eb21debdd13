#include "gamefiles.h"
int BackupGameExe(const char *) { return 0; }
int PatchGameExe(const char *) { return 0; }
int RestoreGameExe(void) { return 1; }
int LaunchGame(HWND) { return 0; }
