// Shared by the end-to-end cases: a game folder with the program in it, and
// the ways to reach each page.
#ifndef TARNWICK_E2E_WIZARDCASE_H
#define TARNWICK_E2E_WIZARDCASE_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "driver.h"
#include "gamefolder.h"

// How a case gets to the page it is about.
enum class Route {
    FirstWelcome,   // the modeless page the program starts with
    WelcomeAgain,   // modal, through the Agreement page's "<- Prev"
    Agreement,
    Pilot,
    Confirm,
    End,            // after a run of the stand-in game
};
const char *RouteName(Route route);
Page PageOf(Route route);

// "CONFIG.CFG" as the game leaves it: the stored pilot (in another case than
// its pilot file, so that a rewrite shows), then its settings.
extern const char kConfig[];

class WizardCase {
protected:
    GameFolder folder;
    std::unique_ptr<Wizard> wizard;

    std::string File(const std::string &name) const { return folder.File(name); }
    void Write(const std::string &name, const std::string &bytes) const;
    std::string Read(const std::string &name) const;
    // The stand-in game, pilots Alpha, Bravo and Charlie, and kConfig.
    void MakeGameFolder() const;
    void Start(const StartOptions &options = StartOptions());
    // Starts the program and walks to the route's page; null (with a
    // failure recorded) when it does not get there.
    HWND Reach(Route route, const StartOptions &options = StartOptions());
    // The program has ended by itself with exit code 0.
    void ExpectCleanExit() const;
};

class WizardTest : public ::testing::Test, public WizardCase {};

// The page's caption, texts, identifiers and enabled buttons as described.
void ExpectPageContent(HWND page, Page kind);
// The first difference between two texts, for a readable failure.
std::string FirstDifference(const std::string &expected, const std::string &actual);

#endif
