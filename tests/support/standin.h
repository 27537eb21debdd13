// The stand-in game: where it is, and what it wrote about its runs.
#ifndef TARNWICK_TEST_STANDIN_H
#define TARNWICK_TEST_STANDIN_H

#include <map>
#include <string>
#include <vector>

#define PATCH_AT 0x15772E

// The built stand-in's bytes (4 MiB, unpatched).
const std::string &StandinBytes();
// Windows path of the built stand-in.
std::string StandinPath();
// Puts the stand-in into a folder as XWINGALLIANCE.EXE.
void InstallStandin(const std::string &folder);

// One block of standin.log: cmdline, cwd, module, flags, show, patch.
typedef std::map<std::string, std::string> StandinRun;
std::vector<StandinRun> ReadStandinLog(const std::string &folder);

// The stand-in as the linker wrote it, before its padding: shorter than
// the patch offset, and still a program.
std::string ShortStandin();

// The same bytes with the two patch bytes set.
std::string Patched(std::string bytes);

#endif
