#pragma once

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QMimeData>
#include <QWidget>
#include <QtTest>

// Small helpers of the tests that show windows (offscreen).

// Shows a window and waits until it is the active one; false when it never becomes active.
[[nodiscard]] inline bool ShowActive(QWidget &w)
{
    w.show();
    w.activateWindow();
    QApplication::setActiveWindow(&w);
    return QTest::qWaitForWindowActive(&w);
}

// The program's top-level windows of type T now in existence, shown or not.
template <typename T> QList<T *> TopLevelWindows()
{
    QList<T *> found;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *t = qobject_cast<T *>(w))
            found.append(t);
    return found;
}

// Opens a box's context menu as a right click on a desktop does (the box loses the focus to
// the menu and gets it back) and triggers the entry whose text starts with `entry`; returns
// the texts of all entries.
inline QStringList TriggerMenuEntry(QLineEdit *box, const QString &entry)
{
    QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(box, &out);
    QStringList entries;
    QTimer::singleShot(0, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *a : menu->actions()) {
            entries << a->text();
            if (!entry.isEmpty() && a->text().startsWith(entry))
                a->trigger();
        }
        menu->close();
    });
    QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box, &e);
    QFocusEvent in(QEvent::FocusIn, Qt::PopupFocusReason);
    QApplication::sendEvent(box, &in);
    return entries;
}

// True for a route that needs the platform's selection (X11) where the platform has none
// (offscreen): the test skips it there.
inline bool SelectionMissing(const QString &route)
{
    return route == QLatin1String("middle click") && !QGuiApplication::clipboard()->supportsSelection();
}

// Brings text into a box the way a user can: "keys", "Ctrl+V", "Shift+Insert", "menu paste"
// (the context menu's Paste), "middle click" (the selection's paste), "input method" (a
// commit), "drop", or "set" (text set by a screen).
inline void EnterByRoute(QLineEdit *box, const QString &route, const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (route == QLatin1String("keys")) {
        QTest::keyClicks(box, text);
    } else if (route == QLatin1String("Ctrl+V")) {
        clipboard->setText(text);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    } else if (route == QLatin1String("Shift+Insert")) {
        clipboard->setText(text);
        QTest::keyClick(box, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (route == QLatin1String("menu paste")) {
        clipboard->setText(text);
        TriggerMenuEntry(box, QStringLiteral("&Paste"));
    } else if (route == QLatin1String("middle click")) {
        clipboard->setText(text, QClipboard::Selection);
        QTest::mouseClick(box, Qt::MiddleButton, Qt::NoModifier, QPoint(4, 4));
    } else if (route == QLatin1String("input method")) {
        QInputMethodEvent commit(QStringLiteral("5"), {});
        commit.setCommitString(text);
        QApplication::sendEvent(box, &commit);
    } else if (route == QLatin1String("drop")) {
        QMimeData mime;
        mime.setText(text);
        QDropEvent drop(QPointF(4, 4), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(box, &drop);
    } else {
        QVERIFY2(route == QLatin1String("set"), qPrintable(route));
        box->setText(text);
    }
}
