#pragma once

#include <QString>
#include <QStringList>

// A screen that can hold edits not yet stored (the worksheet's declarations, a head being
// entered): it says so, so that nothing is thrown away without a question when the screen
// or the program ends.
class UnsavedWork
{
public:
    virtual ~UnsavedWork() = default;
    // What the screen holds that is not stored, in a few words ("the declarations of ASHA
    // RAO"); empty when everything it shows is stored.
    virtual QString unsavedChanges() const = 0;
};

// Asks before a screen holding unsaved changes closes; true when it may close (nothing is
// unsaved, or the user agrees to lose it).
bool MayCloseScreen(const UnsavedWork &screen);

// Asks before the program ends while screens hold unsaved changes (one line each, "screen:
// what"); true when it may end (nothing is unsaved, or the user agrees to lose it).
bool MayEndProgram(const QStringList &unsaved);

// What the clerk chose when the figures a save would replace were changed on another
// workstation (or by another program) after the screen loaded them.
enum class ChangedMeanwhile { Reload, Overwrite, Cancel };
// Asks, naming them (what: "the entries of ASHA RAO") and what changed (one line each). Enter
// and Escape choose Cancel, which stores nothing and keeps what the clerk typed.
ChangedMeanwhile AskChangedMeanwhile(const QString &what, const QStringList &changes);

// "a", "a and b", "a, b and c".
QString JoinWithAnd(const QStringList &parts);
