#pragma once

#include <QApplication>
#include <QList>
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
