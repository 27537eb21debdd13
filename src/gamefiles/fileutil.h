/* Small file helpers shared by the game-file code. */
#ifndef TARNWICK_FILEUTIL_H
#define TARNWICK_FILEUTIL_H

/* Size of a plain file, or -1 when it is missing or not a plain file. */
long long PlainFileSize(const char *name);

/* Nonzero when the name exists, whatever it is. */
int NameExists(const char *name);

/* Gives the plain file "from" the name "to" when nothing holds that name. */
void RenameIfMissing(const char *from, const char *to);

#endif
