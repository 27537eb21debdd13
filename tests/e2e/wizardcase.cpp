#include "wizardcase.h"

#include <sstream>

#include "pages.h"
#include "standin.h"

const char kConfig[] = "lastpilot alpha\r\nvolume 7\r\nmusic on\r\n";

const char *RouteName(Route route)
{
    switch (route) {
    case Route::FirstWelcome: return "FirstWelcome";
    case Route::WelcomeAgain: return "WelcomeAgain";
    case Route::Agreement: return "Agreement";
    case Route::Pilot: return "Pilot";
    case Route::Confirm: return "Confirm";
    case Route::End: return "End";
    }
    return "?";
}

Page PageOf(Route route)
{
    switch (route) {
    case Route::FirstWelcome:
    case Route::WelcomeAgain: return Page::Welcome;
    case Route::Agreement: return Page::Agreement;
    case Route::Pilot: return Page::Pilot;
    case Route::Confirm: return Page::Confirm;
    case Route::End: return Page::End;
    }
    return Page::None;
}

void WizardCase::Write(const std::string &name, const std::string &bytes) const
{
    WriteBytes(File(name), bytes);
}

std::string WizardCase::Read(const std::string &name) const
{
    auto bytes = ReadBytes(File(name));
    return bytes ? *bytes : "<missing>";
}

void WizardCase::MakeGameFolder() const
{
    InstallStandin(folder.Path());
    Write("alpha.plt", PilotFile("Alpha"));
    Write("bravo.plt", PilotFile("Bravo"));
    Write("charlie.plt", PilotFile("Charlie"));
    Write("CONFIG.CFG", kConfig);
}

void WizardCase::Start(const StartOptions &options)
{
    wizard = std::make_unique<Wizard>(folder.Path(), options);
}

HWND WizardCase::Reach(Route route, const StartOptions &options)
{
    Start(options);
    HWND page = nullptr;
    switch (route) {
    case Route::FirstWelcome: page = wizard->GoTo(Page::Welcome); break;
    case Route::WelcomeAgain: page = wizard->GoToWelcomeAgain(); break;
    default: page = wizard->GoTo(PageOf(route)); break;
    }
    EXPECT_TRUE(page) << "on the way to " << RouteName(route) << ": " << wizard->Describe();
    return page;
}

void WizardCase::ExpectCleanExit() const
{
    ASSERT_TRUE(wizard->WaitForExit()) << wizard->Describe();
    EXPECT_EQ(0u, wizard->ExitCode());
}

std::string FirstDifference(const std::string &expected, const std::string &actual)
{
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        at++;
    if (at == expected.size() && at == actual.size())
        return "none";
    std::ostringstream out;
    out << "at offset " << at << " of " << expected.size() << " expected / " << actual.size()
        << " read: expected 0x" << std::hex
        << (at < expected.size() ? (unsigned)(unsigned char)expected[at] : 0u) << ", read 0x"
        << (at < actual.size() ? (unsigned)(unsigned char)actual[at] : 0u);
    return out.str();
}

void ExpectPageContent(HWND page, Page kind)
{
    ASSERT_EQ(kind, KindOf(page));
    EXPECT_EQ(kCaption, WindowText(page));
    const std::vector<ExpectedControl> &expected = Expected(kind).controls;
    std::vector<Control> actual = ReadControls(page);
    ASSERT_EQ(expected.size(), actual.size()) << "controls on the " << kind << " page";
    for (size_t i = 0; i < expected.size(); i++) {
        const ExpectedControl &e = expected[i];
        const Control &a = actual[i];
        SCOPED_TRACE(std::string(PageName(kind)) + " control #" + std::to_string(i + 1) + " \""
                     + (e.text ? e.text : "credit line") + "\"");
        EXPECT_STRCASEEQ(e.className, a.className.c_str());
        EXPECT_EQ(e.id, a.id);
        if (std::string(e.className) == "Edit")
            EXPECT_EQ(DisclaimerText(), a.text) << FirstDifference(DisclaimerText(), a.text);
        else if (e.text)
            EXPECT_EQ(e.text, a.text);
        else
            EXPECT_NE(std::string::npos, a.text.find('@')) << "a name and e-mail address: " << a.text;
        EXPECT_TRUE(a.visible);
        EXPECT_EQ((e.style & WS_DISABLED) == 0, a.enabled);
    }
}
