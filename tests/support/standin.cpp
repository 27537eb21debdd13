#include "standin.h"

#include "gamefolder.h"

#include <windows.h>

#include <algorithm>

#include <stdexcept>

std::string StandinPath()
{
    return WinPath(STANDIN_GAME_PATH);
}

const std::string &StandinBytes()
{
    static std::string bytes;
    if (bytes.empty()) {
        auto read = ReadBytes(StandinPath());
        if (!read || read->size() <= PATCH_AT + 2)
            throw std::runtime_error("stand-in game missing: " + StandinPath());
        bytes = *read;
    }
    return bytes;
}

void InstallStandin(const std::string &folder)
{
    WriteBytes(folder + "\\XWINGALLIANCE.EXE", StandinBytes());
}

std::vector<StandinRun> ReadStandinLog(const std::string &folder)
{
    std::vector<StandinRun> runs;
    auto log = ReadBytes(folder + "\\standin.log");
    if (!log)
        return runs;
    size_t at = 0;
    while (at < log->size()) {
        size_t end = log->find("\r\n", at);
        if (end == std::string::npos)
            end = log->size();
        std::string line = log->substr(at, end - at);
        at = end + 2;
        if (line == "[run]") {
            runs.emplace_back();
        } else if (!runs.empty()) {
            size_t eq = line.find('=');
            if (eq != std::string::npos)
                runs.back()[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    return runs;
}

std::string Patched(std::string bytes)
{
    if (bytes.size() < PATCH_AT + 2)
        bytes.resize(PATCH_AT + 2, '\0');
    bytes[PATCH_AT] = (char)0x90;
    bytes[PATCH_AT + 1] = (char)0x90;
    return bytes;
}

std::string ShortStandin()
{
    const std::string &bytes = StandinBytes();
    auto *dos = (const IMAGE_DOS_HEADER *)bytes.data();
    auto *nt = (const IMAGE_NT_HEADERS *)(bytes.data() + dos->e_lfanew);
    auto *sections = IMAGE_FIRST_SECTION(nt);
    size_t end = 0;
    for (int i = 0; i < nt->FileHeader.NumberOfSections; i++)
        end = std::max<size_t>(end, sections[i].PointerToRawData + sections[i].SizeOfRawData);
    return bytes.substr(0, end);
}
