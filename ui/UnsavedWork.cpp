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

QString JoinWithAnd(const QStringList &parts)
{
    if (parts.size() <= 1)
        return parts.value(0);
    return parts.mid(0, parts.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + parts.last();
}
