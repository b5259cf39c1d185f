#pragma once

#include <QString>

class Sheet;

// Writes a sheet as an Excel workbook (.xlsx): numbers as numbers, texts as texts, with the
// fonts, fills, borders, alignment, number formats, column widths and row heights. The
// workbook is first written beside the target and then renamed over it, so an existing
// file is only replaced by a complete one. False with the reason in error on failure.
bool WriteWorkbook(const Sheet &sheet, const QString &path, QString *error);
