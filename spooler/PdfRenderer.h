#pragma once

#include "PrintFile.h"

#include <QString>

// Draws the pages of a print file as a PDF the way a dot-matrix printer prints them on
// A4: a fixed-pitch font, 72 lines to a page, 80 characters of normal pitch across the
// printed width and the statement's 136 condensed characters across the same width, its
// fields one blank apart so that no two figures touch; emphasised and double-strike text in
// bold. Names in Indian scripts are drawn with fonts that have their letters, squeezed into
// their field where they are wider than it.
class PdfRenderer
{
public:
    // Characters across the printed width at normal and condensed pitch: the statement's
    // 136, and one blank between each two of its 12 fields.
    static constexpr int NormalColumns = 80;
    static constexpr int FieldGap = 1;
    static constexpr int CondensedColumns =
        PrintFile::StatementLineWidth + int(PrintFile::StatementFields.size() - 1) * FieldGap;

    // Writes the PDF; on failure returns false and leaves the reason in error().
    // An existing file is only replaced once the new one is complete.
    bool render(const QList<PrintFile::Page> &pages, const QString &pdfPath, const QString &title);
    QString error() const { return m_error; }

private:
    QString m_error;
};
