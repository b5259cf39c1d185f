#include "UnsavedWork.h"

#include "session/Platform.h"

namespace {

// Yes throws the work away, so No is the default.
bool AgreeToLose(const QStringList &unsaved, const QString &question)
{
    if (unsaved.isEmpty())
        return true;
    return platform().askYesNo(QStringLiteral("These changes are not saved:   \n\n   ") +
                                   unsaved.join(QStringLiteral("\n   ")) + QStringLiteral("\n\n") + question,
                               Platform::Icon::Question, Platform::Default::No);
}

} // namespace

bool MayCloseScreen(const UnsavedWork &screen)
{
    const QString what = screen.unsavedChanges();
    return what.isEmpty() || AgreeToLose({what}, QStringLiteral("Close the screen and lose them?   "));
}

bool MayEndProgram(const QStringList &unsaved)
{
    return AgreeToLose(unsaved, QStringLiteral("End the program and lose them?   "));
}

ChangedMeanwhile AskChangedMeanwhile(const QString &what, const QStringList &changes)
{
    const QString text = QStringLiteral("Since this screen loaded ") + what +
                         QStringLiteral(", another workstation or program has changed:   \n\n   ") +
                         changes.join(QStringLiteral("\n   ")) +
                         QStringLiteral("\n\nReload: show what is stored now; what you typed here is dropped.   \n"
                                        "Overwrite: store what this screen shows in place of those changes.   \n"
                                        "Cancel: store nothing and keep what you typed on the screen.   ");
    const int pressed =
        platform().askChoice(text, Platform::Icon::Warning,
                             {QStringLiteral("&Reload"), QStringLiteral("&Overwrite"), QStringLiteral("&Cancel")}, 2);
    return pressed == 0   ? ChangedMeanwhile::Reload
           : pressed == 1 ? ChangedMeanwhile::Overwrite
                          : ChangedMeanwhile::Cancel;
}

QString JoinWithAnd(const QStringList &parts)
{
    if (parts.size() <= 1)
        return parts.value(0);
    return parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + parts.last();
}
