// Random CONFIG.CFG texts and pilot files, thousands of them, through the
// real code, each result held against a small model of the rules written
// here from scratch. TARNWICK_SWEEP sets the count (10,000 by default) and
// TARNWICK_SWEEP_SEED the first seed; a failure names the seed of its case.
#include <gtest/gtest.h>

#include <windows.h>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "faults.h"
#include "gamefiles.h"
#include "gamefolder.h"
#include "resource.h"
#include "testpage.h"

namespace {

// splitmix64: small, fast, the same on every machine.
struct Rng {
    uint64_t state;
    uint64_t Next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    size_t Below(size_t n) { return n ? (size_t)(Next() % n) : 0; }
    bool OneIn(size_t n) { return Below(n) == 0; }
};

// Lengths from 0 to 64 KiB, most of them short.
size_t RandomLength(Rng &rng)
{
    switch (rng.Below(8)) {
    case 0: case 1: case 2: return rng.Below(24);
    case 3: case 4: return rng.Below(80);
    case 5: return rng.Below(600);
    case 6: return rng.Below(8 * 1024);
    default: return rng.Below(64 * 1024 + 1);
    }
}

// Bytes with a random mix of the ones the rules care about.
std::string RandomBytes(Rng &rng, size_t length, bool withNul)
{
    static const char letters[] = "abcXYZ019_-\xE4\xD6\xFF";
    const bool wild = rng.OneIn(4);
    const bool cr = !rng.OneIn(3), lf = !rng.OneIn(3), ctrlZ = rng.OneIn(3);
    const bool blanks = !rng.OneIn(4);
    std::string bytes;
    bytes.reserve(length);
    while (bytes.size() < length) {
        size_t pick = rng.Below(20);
        char c;
        if (wild && pick < 4)
            c = (char)rng.Below(256);
        else if (pick == 4 && cr)
            c = '\r';
        else if (pick == 5 && lf)
            c = '\n';
        else if (pick == 6 && cr && lf) {
            bytes += "\r";
            c = '\n';
        } else if (pick == 7 && ctrlZ && rng.OneIn(8))
            c = 0x1A;
        else if (pick == 8 && withNul && rng.OneIn(2))
            c = 0;
        else if (pick >= 9 && pick <= 10 && blanks)
            c = " \t\v\f"[rng.Below(rng.OneIn(3) ? 4 : 1)];
        else
            c = letters[rng.Below(sizeof(letters) - 1)];
        if (!withNul && c == 0)
            continue;
        bytes += c;
    }
    bytes.resize(length);
    return bytes;
}

std::string RandomConfig(Rng &rng)
{
    std::string text = RandomBytes(rng, RandomLength(rng), !rng.OneIn(3));
    if (rng.OneIn(2))
        text = "lastpilot " + text;
    return text;
}

// --- The rules, as a model ------------------------------------------------

// Text mode reading from a byte offset: CR LF is one LF, 0x1A ends the text.
std::string TextRead(const std::string &raw, size_t from)
{
    std::string text;
    for (size_t i = from; i < raw.size(); i++) {
        if (raw[i] == 0x1A)
            break;
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')
            continue;
        text += raw[i];
    }
    return text;
}

// Text mode writing: every LF goes out as CR LF.
std::string TextWrite(const std::string &text)
{
    std::string raw;
    for (char c : text) {
        if (c == '\n')
            raw += '\r';
        raw += c;
    }
    return raw;
}

bool Blank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string FirstWord(const std::string &text)
{
    size_t start = 0;
    while (start < text.size() && Blank(text[start]))
        start++;
    size_t end = start;
    while (end < text.size() && !Blank(text[end]))
        end++;
    std::string word = text.substr(start, end - start);
    return word.substr(0, word.find('\0'));
}

// What is left of the first line from byte 10 on.
std::string FirstLineTail(const std::optional<std::string> &config)
{
    if (!config)
        return "";
    std::string text = TextRead(*config, 10);
    return text.substr(0, text.find('\n'));
}

std::string ModelStoredName(const std::optional<std::string> &config)
{
    return FirstWord(FirstLineTail(config));
}

// The lines after the first, as text.
std::string ModelRest(const std::optional<std::string> &config)
{
    if (!config)
        return "";
    std::string text = TextRead(*config, 0);
    size_t lf = text.find('\n');
    return lf == std::string::npos ? "" : text.substr(lf + 1);
}

// A name never carries a line end or the end-of-text mark into the file.
std::string ModelWrittenName(const std::string &name)
{
    return name.substr(0, name.find_first_of(std::string("\n\x1A", 2)));
}

std::string ModelRewrite(const std::optional<std::string> &config, const std::string &name)
{
    return TextWrite("lastpilot " + ModelWrittenName(name) + "\n" + ModelRest(config));
}

// The name in a pilot file: the bytes read, up to the first NUL.
std::string ModelPilotName(const std::string &file, size_t bytesRead)
{
    std::string name = file.substr(0, bytesRead);
    return name.substr(0, name.find('\0'));
}

std::wstring Lower(const std::string &ansi)
{
    std::wstring wide(ansi.size() + 1, L'\0');
    int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), (int)ansi.size(), &wide[0],
                                (int)wide.size());
    wide.resize(n);
    if (n)
        CharLowerBuffW(&wide[0], n);
    return wide;
}

// LB_SELECTSTRING from index 0: the items after it first, then item 0; the
// first whose text starts with the name, ignoring case. None: item 0 stays.
int ModelSelection(const std::vector<std::string> &items, const std::string &stored)
{
    if (stored.empty())
        return 0;
    std::wstring want = Lower(stored);
    for (size_t k = 1; k <= items.size(); k++) {
        size_t i = k % items.size();
        if (Lower(items[i]).compare(0, want.size(), want) == 0)
            return (int)i;
    }
    return 0;
}

// --- The sweep ----------------------------------------------------------------

std::string Shown(const std::optional<std::string> &bytes)
{
    if (!bytes)
        return "(none)";
    std::string s = bytes->size() > 200 ? bytes->substr(0, 200) + "..." : *bytes;
    return std::to_string(bytes->size()) + " bytes " + ::testing::PrintToString(s);
}

size_t EnvNumber(const char *name, size_t fallback)
{
    const char *value = getenv(name);
    return value && *value ? (size_t)strtoull(value, nullptr, 0) : fallback;
}

// Ends the process with a message if one case runs for too long.
struct Watchdog {
    volatile LONG progress = 0;
    volatile LONG64 seed = 0;
    HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;
    Watchdog() { thread = CreateThread(nullptr, 0, Run, this, 0, nullptr); }
    ~Watchdog()
    {
        SetEvent(stop);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CloseHandle(stop);
    }
    static DWORD WINAPI Run(void *param)
    {
        Watchdog *self = (Watchdog *)param;
        LONG seen = -1;
        while (WaitForSingleObject(self->stop, 20000) == WAIT_TIMEOUT) {
            if (self->progress == seen) {
                fprintf(stderr, "hung on the case with seed %llu\n",
                        (unsigned long long)self->seed);
                fflush(stderr);
                TerminateProcess(GetCurrentProcess(), 3);
            }
            seen = self->progress;
        }
        return 0;
    }
};

struct Sweep {
    HWND page, list, next;
    int failures = 0;
    bool used[4] = {};

    // One case; false when it broke a rule (the reason is reported).
    bool Case(uint64_t seed)
    {
        Rng rng{seed};
        std::optional<std::string> config;
        if (!rng.OneIn(8))
            config = RandomConfig(rng);
        if (config)
            WriteBytes("CONFIG.CFG", *config);
        else
            DeleteFileA("CONFIG.CFG");
        // Four places for pilot files, each used or not; files are only
        // deleted when a place falls empty, which keeps the sweep quick.
        static const char *const places[] = {"p0.plt", "p\xE4" "1.plt", "p2.plt", "\xC4" "3.plt"};
        std::map<std::string, std::string> pilotFiles;
        for (int i = 0; i < 4; i++) {
            if (rng.Below(10) < 4) {
                pilotFiles[places[i]] = RandomBytes(rng, RandomLength(rng), !rng.OneIn(4));
                WriteBytes(places[i], pilotFiles[places[i]]);
                used[i] = true;
            } else if (used[i]) {
                DeleteFileA(places[i]);
                used[i] = false;
            }
        }

        // The names the files hold, in the order the search gives them.
        std::vector<std::string> want;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA("*.plt", &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                want.push_back(ModelPilotName(pilotFiles[found.cFileName],
                                              want.empty() ? 13 : 12));
            while (FindNextFileA(search, &found));
            FindClose(search);
        }

        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        EnableWindow(next, TRUE);
        FillPilotList(page, list);

        std::vector<std::string> items;
        int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; i++) {
            std::string text(SendMessageA(list, LB_GETTEXTLEN, i, 0) + 1, '\0');
            text.resize(SendMessageA(list, LB_GETTEXT, i, (LPARAM)&text[0]));
            items.push_back(text);
        }
        std::vector<std::string> sortedItems = items, sortedWant = want;
        std::sort(sortedItems.begin(), sortedItems.end());
        std::sort(sortedWant.begin(), sortedWant.end());
        if (sortedItems != sortedWant)
            return Fail(seed, config, "the list holds other names than the pilot files");
        if ((IsWindowEnabled(next) != FALSE) != !items.empty())
            return Fail(seed, config, "\"Next ->\" enabled with an empty list, or the reverse");

        const std::string stored = ModelStoredName(config);
        std::string chosen;
        if (!items.empty()) {
            int selected = (int)SendMessageA(list, LB_GETCURSEL, 0, 0);
            int expected = ModelSelection(items, stored);
            if (selected != expected)
                return Fail(seed, config, "selected item " + std::to_string(selected)
                                              + ", the rules say " + std::to_string(expected)
                                              + " for " + ::testing::PrintToString(stored));
            char *pilot = GetSelectedPilot(list);
            if (!pilot || pilot != items[selected] || _msize(pilot) <= strlen(pilot))
                return Fail(seed, config, "GetSelectedPilot differs from the selected item");
            chosen = pilot;
            free(pilot);
        } else {
            chosen = RandomBytes(rng, rng.Below(40), false);
        }

        char *name = ReadLastPilot();
        if (!name)
            return Fail(seed, config, "ReadLastPilot returned no block");
        std::string read = name;
        bool fits = _msize(name) > read.size();
        free(name);
        if (read != stored)
            return Fail(seed, config, "ReadLastPilot gave " + ::testing::PrintToString(read)
                                          + ", the rules say "
                                          + ::testing::PrintToString(stored));
        if (!fits || read.size() > FirstLineTail(config).size())
            return Fail(seed, config, "the name is longer than its block or its line");

        WriteLastPilot(chosen.c_str());
        auto after = FileBytes("CONFIG.CFG");
        std::string expected = ModelRewrite(config, chosen);
        if (after != expected || Exists("1234.aaa"))
            return Fail(seed, config, "rewrite for " + ::testing::PrintToString(chosen)
                                          + " gave " + Shown(after) + ", the rules say "
                                          + Shown(expected));

        // The chosen pilot reads back, and the game, reading the new file,
        // finds the same lines after the first as before.
        name = ReadLastPilot();
        read = name ? name : "<null>";
        free(name);
        if (read != FirstWord(ModelWrittenName(chosen)))
            return Fail(seed, config, "the chosen pilot " + ::testing::PrintToString(chosen)
                                          + " reads back as " + ::testing::PrintToString(read));
        if (ModelRest(after) != ModelRest(config))
            return Fail(seed, config, "after the pilot " + ::testing::PrintToString(chosen)
                                          + " the game reads other lines: " + Shown(after));
        return true;
    }

    bool Fail(uint64_t seed, const std::optional<std::string> &config, const std::string &why)
    {
        if (++failures <= 5)
            ADD_FAILURE() << "seed " << seed << ": " << why << "\n  CONFIG.CFG was "
                          << Shown(config);
        return false;
    }
};

TEST(Faults, SweepOfRandomConfigAndPilotFiles)
{
    const size_t cases = EnvNumber("TARNWICK_SWEEP", 10000);
    const uint64_t firstSeed = EnvNumber("TARNWICK_SWEEP_SEED", 20240601);
    GameFolder folder;
    Sweep sweep;
    // As at WM_INITDIALOG: the page is not shown while its list fills.
    sweep.page = MakeTestPage(true);
    ShowWindow(sweep.page, SW_HIDE);
    sweep.list = GetDlgItem(sweep.page, IDC_PILOT_LIST);
    sweep.next = GetDlgItem(sweep.page, IDC_PILOT_NEXT);
    Watchdog watchdog;

    auto start = std::chrono::steady_clock::now();
    for (size_t i = 0; i < cases; i++) {
        watchdog.seed = (LONG64)(firstSeed + i);
        sweep.Case(firstSeed + i);
        InterlockedIncrement(&watchdog.progress);
        if (i % 500 == 0 || i + 1 == cases) {
            ASSERT_EQ(_heapchk(), _HEAPOK) << "after the case with seed " << firstSeed + i;
            ASSERT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr))
                << "after the case with seed " << firstSeed + i;
        }
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("sweep: %zu cases from seed %llu in %.1f s, %d broke a rule\n", cases,
           (unsigned long long)firstSeed, seconds, sweep.failures);
    EXPECT_EQ(sweep.failures, 0);
    DestroyWindow(sweep.page);
}

}  // namespace
