// A temporary game folder, made the current directory for one test, and
// small helpers for the files in it.
#ifndef TARNWICK_TEST_GAMEFOLDER_H
#define TARNWICK_TEST_GAMEFOLDER_H

#include <optional>
#include <string>
#include <vector>

// "/a/b" as Wine's Z: drive sees it.
std::string WinPath(const std::string &unixPath);

class GameFolder {
public:
    GameFolder();
    ~GameFolder();
    GameFolder(const GameFolder &) = delete;
    GameFolder &operator=(const GameFolder &) = delete;

    const std::string &Path() const { return path_; }
    std::string File(const std::string &name) const { return path_ + "\\" + name; }

private:
    std::string path_;
    std::string previous_;
};

void WriteBytes(const std::string &path, const std::string &bytes);
std::optional<std::string> ReadBytes(const std::string &path);
bool Exists(const std::string &path);
// Names in a folder as its directory entries spell them, sorted.
std::vector<std::string> ListNames(const std::string &folder);
void MakeReadOnly(const std::string &path, bool readOnly = true);
// Marks a file read-only; false when it can still be opened for writing
// (root under Wine), so a case that needs the mark can skip.
bool MakeReadOnlyEnforced(const std::string &path);
#define READ_ONLY_NOT_ENFORCED "this platform lets the user write to read-only files"
// Removes a file or a whole folder, clearing read-only marks first.
void RemoveTree(const std::string &path);

#endif
