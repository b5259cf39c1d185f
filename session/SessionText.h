#pragma once

#include <QString>

// The texts the shell shows: the main window's status line, financial-year label and caption.
namespace SessionText {

// The status line's product words: the main window's load writes the first, the
// financial-year switch the second.
inline const char *const kLoadProducts = "Corvantis Accounts +  ";
inline const char *const kSwitchProducts = "Corvantis Inventory  +  ";

// The first panel of the main window's status bar for the current session.
QString StatusLine(const QString &products);
// "Financial Year <from> - <to>".
QString FinYearCaption();
// The main window's caption after a company choice.
QString MainCaption();

} // namespace SessionText
