// No room left on the disk: during the backup, the patch and the rewrite.
// Each case runs in a game folder on a small tmpfs of its own, mounted for
// it (this needs root with the right to mount; elsewhere the case skips).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <algorithm>
#include <vector>

#include "faults.h"
#include "gamefiles.h"
#include "gamefolder.h"
#include "standin.h"

namespace {

const char FILLER[] = "filler.bin";
const ULONGLONG MiB = 1 << 20;

// Runs a command in the Unix shell under the Windows process (Wine starts
// native programs too) and returns its exit status, -1 when there is no
// such shell. The started process does not report the shell's end, so the
// shell leaves its status in a file.
int RunUnix(const std::string &command)
{
    static int count;
    std::string status = "/tmp/tarnwick-sh-" + std::to_string(GetCurrentProcessId()) + "-"
                       + std::to_string(++count);
    std::string line = "/bin/sh -c \"(" + command + "); echo $? >" + status + ".part; mv "
                     + status + ".part " + status + "\"";
    std::vector<char> buffer(line.begin(), line.end());
    buffer.push_back(0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return -1;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::string file = WinPath(status);
    if (!WaitUntil([&] { return Exists(file); }, 30000))
        return -1;
    int code = atoi(ReadBytes(file).value_or("-1").c_str());
    DeleteFileA(file.c_str());
    return code;
}

ULONGLONG FreeBytes()
{
    ULARGE_INTEGER free = {}, total = {};
    GetDiskFreeSpaceExA(".", &free, &total, nullptr);
    return free.QuadPart;
}

// Leaves exactly this much room on the disk of the current directory.
void LeaveFree(ULONGLONG bytes)
{
    ULONGLONG now = FreeBytes();
    ASSERT_GE(now, bytes);
    WriteBytes(FILLER, std::string(now - bytes, 'f'));
    ASSERT_EQ(FreeBytes(), bytes);
}

ULONGLONG Pages(size_t bytes)
{
    return (bytes + 4095) / 4096 * 4096;
}

struct FullCase {
    const char *what;
    std::function<void()> setup;   // the player's files, before the disk fills
    std::function<ULONGLONG()> room;
    bool launch;                   // else a rewrite for "Bravo"
    std::vector<std::string> namesAfter;
    std::function<void()> check;
};

class DiskFull : public ::testing::TestWithParam<FullCase> {
protected:
    void SetUp() override
    {
        unix_ = "/tmp/tarnwick-full-" + std::to_string(GetCurrentProcessId()) + "-"
              + std::to_string(GetTickCount());
        int mount = RunUnix("mkdir -p " + unix_ + " && mount -t tmpfs -o size=6m tmpfs " + unix_
                            + " 2>/dev/null");
        if (mount < 0)
            GTEST_SKIP() << "no Unix shell to mount a small disk with";
        mounted_ = mount == 0;
        if (!mounted_) {
            RunUnix("rmdir " + unix_);
            GTEST_SKIP() << "cannot mount a small tmpfs at " << unix_
                         << " (needs root and the right to mount)";
        }
        ULARGE_INTEGER total = {};
        GetDiskFreeSpaceExA((WinPath(unix_) + "\\").c_str(), nullptr, &total, nullptr);
        ASSERT_GT(total.QuadPart, 0u);
        ASSERT_LE(total.QuadPart, 8 * MiB) << unix_ << " is not the small disk";
        GetCurrentDirectoryA(sizeof(previous_), previous_);
        ASSERT_TRUE(SetCurrentDirectoryA(WinPath(unix_).c_str()));
    }
    void TearDown() override
    {
        if (previous_[0])
            SetCurrentDirectoryA(previous_);
        if (mounted_)
            RunUnix("umount " + unix_ + " || umount -l " + unix_ + "; rmdir " + unix_);
    }

private:
    std::string unix_;
    bool mounted_ = false;
    char previous_[MAX_PATH] = "";
};

const std::string CONFIG = "lastpilot Alpha\r\nscreen 640\r\n";
const std::string BIG_CONFIG = "lastpilot Alpha\r\n" + SettingLines(50000);

TEST_P(DiskFull, NothingChanged)
{
    const FullCase &c = GetParam();
    c.setup();
    LeaveFree(c.room());

    if (c.launch) {
        LaunchOutcome r = LaunchOnTestPage();
        EXPECT_EQ(r.box.text, WRITE_ERROR);
        EXPECT_EQ(r.box.caption, "Error");
        EXPECT_TRUE(r.quit);
        EXPECT_TRUE(ReadStandinLog(".").empty()) << "the game ran";
    } else {
        EXPECT_EQ(WriteLastPilot("Bravo"), 1);
    }
    EXPECT_EQ(ListNames("."), c.namesAfter);
    c.check();
}

INSTANTIATE_TEST_SUITE_P(Faults, DiskFull, ::testing::Values(
    FullCase{"BackupDoesNotFit",
             [] {
                 InstallStandin(".");
                 WriteBytes("CONFIG.CFG", CONFIG);
             },
             [] { return MiB; }, true, {"CONFIG.CFG", "XWINGALLIANCE.EXE", FILLER},
             [] {
                 EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), StandinBytes()));
                 EXPECT_EQ(FileBytes("CONFIG.CFG"), CONFIG);
             }},
    // The backup just fits; the patch, which lengthens a short executable,
    // does not: the backup is put back in its place.
    FullCase{"PatchDoesNotFit",
             [] { WriteBytes("XWINGALLIANCE.EXE", ShortStandin()); },
             [] { return Pages(ShortStandin().size()); }, true,
             {"XWINGALLIANCE.exe", FILLER},
             [] { EXPECT_TRUE(SameBytes(FileBytes("XWINGALLIANCE.EXE"), ShortStandin())); }},
    FullCase{"RewriteDoesNotFit", [] { WriteBytes("CONFIG.CFG", BIG_CONFIG); },
             [] { return 64 * 1024ull; }, false, {"CONFIG.CFG", FILLER},
             [] { EXPECT_TRUE(SameBytes(FileBytes("CONFIG.CFG"), BIG_CONFIG)); }},
    // 1234.aaa can be created, but its first buffer cannot be written out.
    FullCase{"RewriteOnAFullDisk", [] { WriteBytes("CONFIG.CFG", CONFIG); },
             [] { return 0ull; }, false, {"CONFIG.CFG", FILLER},
             [] { EXPECT_EQ(FileBytes("CONFIG.CFG"), CONFIG); }},
    FullCase{"NewConfigOnAFullDisk", [] {}, [] { return 0ull; }, false, {FILLER}, [] {}}),
    [](const auto &info) { return std::string(info.param.what); });

}  // namespace
