#pragma once

#include <QString>

class Sheet;

// How the workbook prints and scrolls besides A4 landscape, one page wide: the rows printed
// at the top of every page and the rows and columns that stay in view on screen (sheet rows
// and columns from 1; 0 for none), and the title in the page footer beside the page number.
struct WorkbookPages
{
    int repeatFirstRow = 0;
    int repeatLastRow = 0;
    int frozenRows = 0;
    int frozenColumns = 0;
    QString footerTitle;
};

// Writes a sheet as an Excel workbook (.xlsx): numbers as numbers, texts as texts, with the
// fonts, fills, borders, alignment, number formats, column widths (the sheet's,
// widened where the longest entry below the titles needs more) and row heights. The
// workbook is first written beside the target and then renamed over it, so an existing
// file is only replaced by a complete one. False with the reason in error on failure.
bool WriteWorkbook(const Sheet &sheet, const QString &path, QString *error, const WorkbookPages &pages = {});
