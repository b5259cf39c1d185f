#include "FormUtil.h"

#include <QLineEdit>
#include <QMdiSubWindow>
#include <QTimer>

namespace {
std::function<QWidget *()> g_mainArea;
}

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
    const int left = (area->width() - frame->width()) / 2;
    const int top = (area->height() - frame->height()) / 2;
    if (frame->isWindow())
        frame->move(area->mapToGlobal(QPoint(qMax(0, left), qMax(0, top))));
    else
        frame->move(qMax(0, left), qMax(0, top));
}

void CloseScreen(QWidget *screen)
{
    if (auto *frame = qobject_cast<QMdiSubWindow *>(screen->parentWidget()))
        frame->close();
    else
        screen->close();
}
