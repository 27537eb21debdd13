// What each page holds, control by control in template order, written out
// from the page descriptions rather than taken from the resource script, so
// a slip in either shows.
#ifndef TARNWICK_E2E_PAGES_H
#define TARNWICK_E2E_PAGES_H

#include <windows.h>

#include <string>
#include <vector>

#include "driver.h"

struct ExpectedControl {
    const char *className;  // Button, Static, Edit, ListBox
    int id;
    const char *text;       // null: the End page's credit line, any text
    DWORD style;            // as the template gives it
    short x, y, cx, cy;     // dialog units
};

struct ExpectedPage {
    Page page;
    const char *templateName;  // as the code names it
    DWORD style;
    std::vector<ExpectedControl> controls;
};

const ExpectedPage &Expected(Page page);
const std::vector<ExpectedPage> &ExpectedPages();

// The Agreement page's disclaimer, 730 characters.
const std::string &DisclaimerText();

const char kCaption[] = "Morvane";

#endif
