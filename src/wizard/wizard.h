/*
 * The wizard: start-up, the five pages and the navigation between them.
 */
#ifndef TARNWICK_WIZARD_H
#define TARNWICK_WIZARD_H

#include <windows.h>

/* winmain.cpp: the module instance, passed whenever a page is opened */
extern HINSTANCE g_appInstance;

/* disclaimer.cpp: the Agreement page's text, 730 characters */
extern const char g_disclaimerText[];

/* One dialog procedure per page (welcome.cpp ... end.cpp) */
INT_PTR CALLBACK WelcomeDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AgreementDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PilotDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ConfirmDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK EndDlgProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam);

/*
 * pageflow.cpp: bounded nesting.
 *
 * A page that moves on ends itself with EndDialog and then calls OpenPage
 * with the page to show next; OpenPage only records it. RunPageLoop, called
 * from WinMain's loop once the first (modeless) Welcome page has asked for
 * the Agreement page, opens the recorded pages one after the other, each as
 * a modal dialog with no owner, so that at most one page is open at a time
 * however often the player goes back and forth.
 */
enum WizardPage {
    PAGE_NONE = 0,
    PAGE_WELCOME,
    PAGE_AGREEMENT,
    PAGE_PILOT,
    PAGE_CONFIRM,
    PAGE_END
};

/* The page recorded by the last OpenPage and not yet opened; PAGE_NONE when
   no move is pending. */
extern WizardPage g_nextPage;

/* Records the page to open once the current page's modal loop has ended. */
void OpenPage(WizardPage page);

/* True while a page is being left for the recorded next page: the leaving
   page's WM_DESTROY must then not quit. */
bool IsMovingOn(void);

/* Ends the application: PostQuitMessage(0). */
void QuitWizard(void);

/* Ends the page and records the page to open next. */
void MovePage(HWND page, WizardPage next);

/* Ends the page and the application. */
void ExitWizard(HWND page);

/* WM_DESTROY of a page: quits unless the player is moving on. */
void PageDestroyed(void);

/* Opens the recorded pages one after the other until a page ends without
   recording a next one (every such end is a quit), then makes sure the
   quit message is queued for WinMain's loop and returns. */
void RunPageLoop(void);

#endif
