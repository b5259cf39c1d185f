#include "Desktop.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

static void InitProgramResources()
{
    // The icon lives in this library's resources; a static library must register them itself.
    Q_INIT_RESOURCE(desktop);
}

namespace {

// Enter or the keypad's Enter on a focused, enabled push button clicks it at once, on every
// screen and in every message box, before any screen's own key handling sees the key.
class EnterClicksFocusedButton : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto *button = qobject_cast<QPushButton *>(watched);
        if (!button || !button->isEnabled() || !button->isVisible())
            return false;
        // A held key clicks once, as a held Space does.
        if (!key->isAutoRepeat())
            button->click();
        return true;
    }
};

QPointer<QObject> g_buttonKeys;

} // namespace

QIcon ProgramIcon()
{
    static const bool registered = (InitProgramResources(), true);
    Q_UNUSED(registered);
    return QIcon(QStringLiteral(":/incometax/incometax.png"));
}

void ApplyDesktopConventions()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app || g_buttonKeys)
        return;
    QApplication::setWindowIcon(ProgramIcon());
    g_buttonKeys = new EnterClicksFocusedButton(app);
    app->installEventFilter(g_buttonKeys);
}
