#pragma once

#include "PrintFile.h"

#include <QString>

// Draws the pages of a print file as a PDF the way a dot-matrix printer prints them on
// A4: a fixed-pitch font, 72 lines to a page, 80 characters of normal pitch across the
// printed width and 136 condensed characters across the same width; emphasised and
// double-strike text in bold.
class PdfRenderer
{
public:
    // Characters across the printed width at normal and condensed pitch.
    static constexpr int NormalColumns = 80;
    static constexpr int CondensedColumns = 136;

    // Writes the PDF; on failure returns false and leaves the reason in error().
    // An existing file is only replaced once the new one is complete.
    bool render(const QList<PrintFile::Page> &pages, const QString &pdfPath, const QString &title);
    QString error() const { return m_error; }

private:
    QString m_error;
};
