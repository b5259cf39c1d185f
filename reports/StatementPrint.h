#pragma once

#include <QByteArray>
#include <QString>

class Sheet;

// The statement's print file for the spooler: the first twelve columns as fixed-width text
// lines with the printer markers, 72 lines a page, each line ended by CR LF.
namespace StatementPrint {

constexpr int kPageLines = 72;
constexpr int kLastBodyLine = 61; // body lines fill lines 8 to 62 of a page: 55 of them

// The whole file. lastRow is the last employee row of the sheet (5 or less: none).
// row receives the row where the listing stopped (one after the last printed row).
QByteArray Text(const Sheet &sheet, int lastRow, int *row = nullptr);

// Writes the file; false when it cannot be written completely, with error saying so in the
// clerk's words ("The print file /x/os.prn could not be written: the disk ... is full.").
bool Write(const QString &path, const QByteArray &text, QString *error);

} // namespace StatementPrint
