#pragma once

#include <QString>
#include <functional>

class QKeySequence;
class QLineEdit;
class QWidget;

// Design sizes are kept in twips (1440 an inch); at 96 dpi 15 twips make one pixel.
int TwipsToPixels(int twips);
int PixelsToTwips(int pixels);

// Selects the whole text of a box (focus handlers of most text boxes).
void SelectAllText(QLineEdit *box);

// A box that shows a figure the screen does not store: read-only, in the window's colour
// rather than an input box's white, and passed over by Tab (a click still selects its text).
void ShowAsReadOnly(QLineEdit *box);

// Gives a typed text box the length of the column its text is stored in or compared with,
// as the session's server declares it. A box whose column length is not known keeps its own.
void LimitToColumn(QLineEdit *box, const QString &table, const QString &column);

// Moves a screen to the middle of the main window's inner area. When the main window does
// not exist yet, the registered provider creates and loads it; without a provider (tests,
// tools) nothing moves.
void CentreInMain(QWidget *window);
// Registers the function that returns the main window's inner area, creating the main
// window first when asked to.
void SetMainAreaProvider(std::function<QWidget *()> provider);

// Closes a screen: its frame in the main window when it sits in one, else the screen itself.
void CloseScreen(QWidget *screen);

// The keys of a screen, wherever on it the focus is: a key that a button's caption names
// runs `action` (which clicks the button, or decides first which button the key means).
void BindKey(QWidget *screen, const QKeySequence &key, std::function<void()> action);
// Escape closes the screen as its close box does: a screen holding unsaved work asks first,
// one that is busy stays open. A control that takes Escape itself (a cell being edited)
// keeps it.
void CloseOnEscape(QWidget *screen);

// Gives a screen the focus where the clerk works next: the control it last had, or that the
// screen chose while it opened, else the first control of its tab order that takes the
// focus (the code box where there is one).
void FocusFirstField(QWidget *screen);
