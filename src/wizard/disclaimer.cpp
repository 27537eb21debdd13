/*
 * The disclaimer that the Agreement page puts into its text box:
 * thirteen lines joined by CR LF, most with trailing blanks and tabs as
 * the original text had them, no line end after the last; 730 characters.
 */
#include "wizard.h"

#define DISCLAIMER_RULE "======================================================"
/* The two kinds of trailing white space */
#define TAIL_A " \t\t\t\t\t    " /* one blank, five tabs, four blanks */
#define TAIL_B " \t\t\t\t\t\t"    /* one blank, six tabs */

extern const char g_disclaimerText[] =
    DISCLAIMER_RULE TAIL_A "\r\n"
    "WARNING: This Patch will modify you Xwingalliance files." TAIL_A "\r\n"
    DISCLAIMER_RULE TAIL_A "\r\n"
    "The VL, KRS, QVO or Creator of this patch take no responsibility" TAIL_A "\r\n"
    "for any damage incured to your systems nor data. You agree that" TAIL_B "\r\n"
    "any and all responsibilty for any damages incurred is your own." TAIL_B "\r\n"
    "This patch is not created, distrubuted or supported in any way by" TAIL_B "\r\n"
    "Lucas Arts Entertainment Company. Use at your own risk." TAIL_A "\r\n"
    DISCLAIMER_RULE TAIL_B "\r\n"
    "\r\n"
    "\r\n"
    "By pressing 'Next' you agree to the terms provided." TAIL_B "\r\n"
    "If not, press 'Exit' to quit this program.";

static_assert(sizeof(DISCLAIMER_RULE) - 1 == 54, "the rule is 54 equals signs");
static_assert(sizeof(g_disclaimerText) - 1 == 730, "the disclaimer is 730 characters");
