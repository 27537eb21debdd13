#include "gamefolder.h"

#include <windows.h>

#include <algorithm>
#include <stdexcept>

std::string WinPath(const std::string &unixPath)
{
    std::string path = "Z:" + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

GameFolder::GameFolder()
{
    static int counter;
    char temp[MAX_PATH], cwd[4096];
    GetTempPathA(sizeof(temp), temp);
    GetCurrentDirectoryA(sizeof(cwd), cwd);
    previous_ = cwd;
    for (;;) {
        path_ = std::string(temp) + "tarnwick-" + std::to_string(GetCurrentProcessId()) + "-"
              + std::to_string(GetTickCount()) + "-" + std::to_string(++counter);
        if (CreateDirectoryA(path_.c_str(), nullptr))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            throw std::runtime_error("cannot create " + path_);
    }
    SetCurrentDirectoryA(path_.c_str());
}

GameFolder::~GameFolder()
{
    SetCurrentDirectoryA(previous_.c_str());
    RemoveTree(path_);
}

void WriteBytes(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write " + path);
    DWORD written = 0;
    size_t at = 0;
    while (at < bytes.size()) {
        DWORD chunk = (DWORD)std::min<size_t>(bytes.size() - at, 1 << 20);
        if (!WriteFile(file, bytes.data() + at, chunk, &written, nullptr) || written != chunk) {
            CloseHandle(file);
            throw std::runtime_error("short write to " + path);
        }
        at += chunk;
    }
    CloseHandle(file);
}

std::optional<std::string> ReadBytes(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(file, buf, sizeof(buf), &got, nullptr) && got)
        bytes.append(buf, got);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::string &path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ListNames(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

void MakeReadOnly(const std::string &path, bool readOnly)
{
    DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES)
        return;
    attrs = readOnly ? (attrs | FILE_ATTRIBUTE_READONLY) : (attrs & ~FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA(path.c_str(), attrs);
}

bool MakeReadOnlyEnforced(const std::string &path)
{
    MakeReadOnly(path);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    CloseHandle(file);
    return false;
}

void RemoveTree(const std::string &path)
{
    DWORD attrs = GetFileAttributesA(path.c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesA(path.c_str(), attrs & ~FILE_ATTRIBUTE_READONLY);
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    for (const std::string &name : ListNames(path))
        RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
}
