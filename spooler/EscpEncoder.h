#pragma once

#include "PrintFile.h"

#include <QByteArray>

// Turns the print file into ESC/P bytes for a dot-matrix printer on a raw queue.
//
// The printer is reset and told that a form is 72 lines long. Each page's lines go out
// with CR LF; the blank lines that fill a page to 72 are left out and a form feed takes
// the paper to the top of the next form instead, so a page never creeps when the printer
// and the file disagree about the last few lines.
//
// The statement's 136-character lines run full fields together ("6.001418938.00"). They go
// out at 20 characters an inch (elite and condensed) with a blank between each two fields:
// 147 characters, 7.35 inches, inside the 8 inches of the 80-character rules.
namespace Escp {

inline constexpr char Esc = '\x1b';
inline constexpr char FormFeed = '\x0c';
// Condensed on / off.
inline constexpr char ShiftIn = '\x0f';
inline constexpr char DeviceControl2 = '\x12';
// kElite (12 characters an inch; 20 when condensed) and back to pica (10).
inline constexpr const char *kElite = "\x1bM";
inline constexpr const char *kPica = "\x1bP";

// The codes that take the printer from one set of attributes to another.
QByteArray Transition(const PrintFile::Attributes &from, const PrintFile::Attributes &to);

QByteArray Encode(const QList<PrintFile::Page> &pages);

} // namespace Escp
