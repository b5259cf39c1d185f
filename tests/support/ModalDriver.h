#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

// Drives a modal dialog of our own (the lookup list) through its widgets: the action runs
// as soon as a modal widget of type T is shown, inside its event loop. If none appears
// within the timeout the driver gives up (the test then sees the action not run).
template <typename T> void WhenModalShown(std::function<void(T *)> action, int timeoutMs = 5000)
{
    auto timer = new QTimer;
    auto started = std::make_shared<int>(0);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action, started, timeoutMs] {
        *started += 10;
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            if (w->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(w);
                return;
            }
        }
        if (*started > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}
