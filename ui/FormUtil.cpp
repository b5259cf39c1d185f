#include "FormUtil.h"

#include "Desktop.h"

#include "session/ColumnLengths.h"
#include "session/mdlDalvoni.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>

namespace {
std::function<QWidget *()> g_mainArea;
}

// Every program that shows a screen links this file, so the desktop conventions hold in the
// program, its tools and the tests alike, from the moment the application object exists.
Q_COREAPP_STARTUP_FUNCTION(ApplyDesktopConventions)

int TwipsToPixels(int twips)
{
    return (twips + 7) / 15;
}

int PixelsToTwips(int pixels)
{
    return pixels * 15;
}

void SelectAllText(QLineEdit *box)
{
    if (!box)
        return;
    // Deferred: a mouse click that gave the focus would otherwise place the caret after us.
    QTimer::singleShot(0, box, [box] { box->selectAll(); });
    box->selectAll();
}

void ShowAsReadOnly(QLineEdit *box)
{
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    QPalette shade = box->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        shade.setColor(group, QPalette::Base, shade.color(group, QPalette::Window));
    box->setPalette(shade);
}

void LimitToColumn(QLineEdit *box, const QString &table, const QString &column)
{
    const int length = ColumnLengths::Of(mdlDalvoni::Db(), table, column);
    if (box && length > 0)
        box->setMaxLength(length);
}

void SetMainAreaProvider(std::function<QWidget *()> provider)
{
    g_mainArea = std::move(provider);
}

void CentreInMain(QWidget *window)
{
    if (!window || !g_mainArea)
        return;
    QWidget *area = g_mainArea();
    if (!area)
        return;
    QWidget *frame = window;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget()))
        frame = sub;
    if (frame->isWindow()) {
        // A window of its own goes over the middle of the main area, or of the screen while
        // the main window is not on screen yet (the company list right after login).
        QRect target(area->mapToGlobal(QPoint(0, 0)), area->size());
        if (!area->window()->isVisible() && frame->screen())
            target = frame->screen()->availableGeometry();
        frame->move(target.left() + (target.width() - frame->width()) / 2,
                    target.top() + (target.height() - frame->height()) / 2);
        return;
    }
    const int left = (area->width() - frame->width()) / 2;
    const int top = (area->height() - frame->height()) / 2;
    frame->move(qMax(0, left), qMax(0, top));
}

void CloseScreen(QWidget *screen)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(screen->parentWidget()))
        frame->close();
    else
        screen->close();
}

void BindKey(QWidget *screen, const QKeySequence &key, std::function<void()> action)
{
    auto *shortcut = new QShortcut(key, screen);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    QObject::connect(shortcut, &QShortcut::activated, screen, std::move(action));
}

void CloseOnEscape(QWidget *screen)
{
    BindKey(screen, QKeySequence(Qt::Key_Escape), [screen] { CloseScreen(screen); });
}

namespace {

// A control the clerk can Tab to on the screen.
bool TakesTabFocus(const QWidget *screen, const QWidget *w)
{
    return w != screen && screen->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(screen) &&
           (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy();
}

} // namespace

void FocusFirstField(QWidget *screen)
{
    QWidget *target = screen->focusWidget();
    if (!target || target == screen || !TakesTabFocus(screen, target)) {
        target = nullptr;
        for (QWidget *w = screen->nextInFocusChain(); w && w != screen; w = w->nextInFocusChain()) {
            if (TakesTabFocus(screen, w)) {
                target = w;
                break;
            }
        }
    }
    // Of a pair of options the one that is checked, as Tab would reach it.
    if (auto *option = qobject_cast<QRadioButton *>(target); option && option->autoExclusive() && !option->isChecked())
        for (auto *sibling : option->parentWidget()->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly))
            if (sibling->isChecked() && sibling->isEnabled() && sibling->isVisibleTo(screen))
                target = sibling;
    // As Tab gives it: a box's text selected, a button's or an option's focus drawn.
    if (target)
        target->setFocus(Qt::TabFocusReason);
    else
        screen->setFocus(Qt::TabFocusReason);
}
