// Drives TarnwickPatch.exe from outside, the way a player meets it: a copy
// of the program started from a game folder, its pages found on screen and
// read through window messages, buttons pressed, keys typed, mouse clicked.
#ifndef TARNWICK_E2E_DRIVER_H
#define TARNWICK_E2E_DRIVER_H

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

#include "boxwatch.h"

enum class Page { None, Welcome, Agreement, Pilot, Confirm, End, Unknown };
const char *PageName(Page page);
std::ostream &operator<<(std::ostream &out, Page page);

// Waits long enough for a page under a loaded machine, short enough that a
// failing case does not hold up the run.
const DWORD kWaitMs = 10000;
// How long a page is watched to see that an input changed nothing.
const DWORD kSettleMs = 500;

struct Control {
    HWND window = nullptr;
    std::string className;
    int id = 0;
    DWORD style = 0;
    std::string text;
    bool enabled = false;
    bool visible = false;
    RECT rect = {};  // in the page's client coordinates
};

// The page's child windows in their window order, which is template order.
std::vector<Control> ReadControls(HWND page);
// Which page a dialog window is, told by its control identifiers.
Page KindOf(HWND page);
// A dialog of the program that is none of its pages: a message box.
bool IsMessageBox(HWND window);

std::vector<std::string> ListItems(HWND list);
int ListSelection(HWND list);

struct WindowCount {
    int topLevel = 0;  // EnumWindows, by process id
    int all = 0;       // the same with every descendant
    int thread = 0;    // EnumThreadWindows on the program's thread
};

struct MemoryUse {
    size_t workingSet = 0;
    size_t privateBytes = 0;  // PagefileUsage: memory committed to the process
};

struct StartOptions {
    // A desktop of its own, for cases that send real keyboard and mouse
    // input: other programs' pages cannot take the foreground or sit under
    // the pointer there.
    bool ownDesktop = false;
    std::string arguments;  // appended to the command line
};

class Wizard {
public:
    // Copies the program into the folder and starts it there (cwd = folder).
    explicit Wizard(const std::string &folder, const StartOptions &options = StartOptions());
    // Kills the program if it is still running, so no case leaves one behind.
    ~Wizard();
    Wizard(const Wizard &) = delete;
    Wizard &operator=(const Wizard &) = delete;

    DWORD ProcessId() const { return process_.dwProcessId; }
    bool Running() const;

    // The visible page, or null.
    HWND CurrentPage() const;
    // A visible message box of the program, or null.
    HWND CurrentBox() const;
    // Waits for a visible page of this kind other than `previous`; null when
    // none came in time or the program ended.
    HWND WaitForPage(Page kind, HWND previous = nullptr, DWORD timeoutMs = kWaitMs) const;
    HWND WaitForBox(DWORD timeoutMs = kWaitMs) const;

    // BM_CLICK posted to the page's control.
    void Press(HWND page, int id) const;
    // Presses a button and waits for the page it leads to.
    HWND Move(HWND page, int id, Page next) const;
    // From the first Welcome page along "Next ->" to the given page; the
    // folder needs a pilot file to pass the Pilot page and the game to reach
    // the End page. Null when the way was blocked.
    HWND GoTo(Page target);
    // The Welcome page opened by the Agreement page's "<- Prev".
    HWND GoToWelcomeAgain();

    bool WaitForExit(DWORD timeoutMs = kWaitMs) const;
    DWORD ExitCode() const;
    // True when the program is still running with this page on screen after
    // watching it for `ms`.
    bool StaysOn(HWND page, DWORD ms = kSettleMs) const;
    void Kill();

    // What is on screen, for failure messages.
    std::string Describe() const;

    WindowCount CountWindows() const;
    MemoryUse Memory() const;
    // The control with the keyboard focus in the program's thread.
    HWND Focus() const;
    int FocusId() const;

    // Real input, for a program on its own desktop. BringToFront waits
    // until the page is the foreground window and one of its controls has
    // the focus.
    bool BringToFront(HWND page) const;
    void TypeKeys(HWND page, const std::vector<WORD> &keys) const;
    void ClickAt(POINT screen, int clicks = 1) const;
    void ClickInto(HWND control, int clicks = 1) const;

private:
    std::string folder_;
    PROCESS_INFORMATION process_ = {};
    HANDLE job_ = nullptr;
    HDESK desktop_ = nullptr;
    HDESK previousDesktop_ = nullptr;
    std::string desktopName_;
};

// Windows path of the program under test.
std::string ProgramPath();

// A pilot file as the game writes it: the name, a NUL, and the rest of a
// pilot's record (here filler).
std::string PilotFile(const std::string &name);

#endif
