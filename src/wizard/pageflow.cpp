/*
 * Page flow.
 *
 * Opening each next page with DialogBoxParamA from inside the current
 * page's command handler would nest the pages without bound, and a player
 * going back and forth would run out of stack and windows. Instead a
 * page that moves on only records the next page (OpenPage) after ending
 * itself; its modal loop then ends, the ended page is destroyed, and
 * RunPageLoop opens the recorded page. At most one page exists at a time.
 *
 * Quitting: every way out calls PostQuitMessage(0) (QuitWizard, or
 * LaunchGame on its failure paths). A quit ends the running page one way or
 * another: either the page was ended as well (Exit) and its modal loop stops
 * at once, or the modal loop takes the WM_QUIT message off the queue, puts
 * it back with PostQuitMessage and ends (Wine and Windows both do this).
 * Either way the page ends with no next page recorded, which ends
 * RunPageLoop; the queued quit then ends WinMain's loop. A quit queued
 * while a move is pending (LaunchGame posts it and returns 1 after a failed
 * start) closes the next page as soon as its modal loop runs.
 */
#include "wizard.h"

WizardPage g_nextPage = PAGE_NONE;

void OpenPage(WizardPage page)
{
    g_nextPage = page;
}

bool IsMovingOn(void)
{
    return g_nextPage != PAGE_NONE;
}

void QuitWizard(void)
{
    PostQuitMessage(0);
}

void MovePage(HWND page, WizardPage next)
{
    EndDialog(page, 0);
    OpenPage(next);
}

void ExitWizard(HWND page)
{
    EndDialog(page, 0);
    QuitWizard();
}

void PageDestroyed(void)
{
    if (!IsMovingOn())
        QuitWizard();
}

struct PageTemplate {
    const char *name;
    DLGPROC proc;
};

static const PageTemplate g_pages[] = {
    { NULL, NULL },                         /* PAGE_NONE */
    { "Welcome", WelcomeDlgProc },
    { "Agreement", AgreementDlgProc },
    { "Pilot", PilotDlgProc },
    { "Confirm", ConfirmDlgProc },
    { "End", EndDlgProc },
};

void RunPageLoop(void)
{
    WizardPage page;
    while ((page = g_nextPage) != PAGE_NONE) {
        /* Cleared before the page opens: from here on a WM_DESTROY of this
           page quits unless the page itself records a move. */
        g_nextPage = PAGE_NONE;
        DialogBoxParamA(g_appInstance, g_pages[page].name, NULL, g_pages[page].proc, 0);
    }
    /* A page ended without moving on: the application is quitting. The quit
       message is normally still queued (or queued again by the modal loop
       that took it); asking once more costs nothing and makes sure
       WinMain's loop ends even if a page could not be created. */
    QuitWizard();
}
