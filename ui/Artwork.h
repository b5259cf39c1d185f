#pragma once

#include <QPixmap>
#include <QSize>

// The suite's picture (a ledger with a rupee coin), drawn at any size for the splash,
// the login and the main window.
QPixmap SuitePicture(const QSize &size);
// The main window's background: a quiet gradient with the picture faintly in one corner.
QPixmap MainBackground(const QSize &size);
