#pragma once

#include "PrintFile.h"

#include <QByteArray>

// Turns the print file into ESC/P bytes for a dot-matrix printer on a raw queue.
//
// The printer is reset and told that a form is 72 lines long. Each page's lines go out
// with CR LF; the blank lines that fill a page to 72 are left out and a form feed takes
// the paper to the top of the next form instead, so a page never creeps when the printer
// and the file disagree about the last few lines.
namespace Escp {

inline constexpr char Esc = '\x1b';
inline constexpr char FormFeed = '\x0c';
// Condensed on / off.
inline constexpr char ShiftIn = '\x0f';
inline constexpr char DeviceControl2 = '\x12';

// The codes that take the printer from one set of attributes to another.
QByteArray transition(const PrintFile::Attributes &from, const PrintFile::Attributes &to);

QByteArray encode(const QList<PrintFile::Page> &pages);

} // namespace Escp
