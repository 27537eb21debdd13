// Finds a message box as a person would see it, reads it and presses OK.
#ifndef TARNWICK_TEST_BOXWATCH_H
#define TARNWICK_TEST_BOXWATCH_H

#include <windows.h>

#include <string>

struct SeenBox {
    bool found = false;
    std::string caption;
    std::string text;
    bool hasIcon = false;      // an icon is shown beside the text
    bool errorIcon = false;    // and it is the system's error icon (same process only)
    HWND owner = nullptr;
};

// Reads a message box window (caption, text, icon) without touching it.
SeenBox ReadBox(HWND box);
// A visible dialog window of the given process that accept() takes, or null.
HWND FindDialogOf(DWORD processId, bool (*accept)(HWND));
// A visible message box of the given process, or null.
HWND FindBox(DWORD processId);
// Presses the box's only button with a click message.
void PressOk(HWND box);

// Watches from a thread of its own for a message box of this process,
// so the test's thread can sit in the modal call that shows it.
class BoxWatcher {
public:
    BoxWatcher();
    ~BoxWatcher();
    BoxWatcher(const BoxWatcher &) = delete;
    BoxWatcher &operator=(const BoxWatcher &) = delete;
    // Stops watching; returns the first box seen (it was dismissed).
    SeenBox Stop();

private:
    static DWORD WINAPI Run(void *self);
    HANDLE thread_ = nullptr;
    HANDLE stop_ = nullptr;
    SeenBox seen_;
};

std::string WideToAnsi(const std::wstring &text);
// WM_GETTEXT across processes, as the W message.
std::string WindowText(HWND window);
std::string ClassName(HWND window);

#endif
