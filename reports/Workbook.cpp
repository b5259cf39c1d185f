#include "Workbook.h"

#include "OutputFolder.h"
#include "Sheet.h"

#include <QFile>
#include <QFileInfo>

#include <xlsxwriter.h>

#include <QDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

lxw_format *MakeFormat(lxw_workbook *book, const CellFormat &f)
{
    lxw_format *x = workbook_add_format(book);
    const QByteArray family = f.font.family.toUtf8();
    format_set_font_name(x, family.constData());
    format_set_font_size(x, f.font.size);
    if (f.font.bold)
        format_set_bold(x);
    if (f.font.colour != 0)
        format_set_font_color(x, f.font.colour);
    if (f.filled) {
        format_set_pattern(x, LXW_PATTERN_SOLID);
        format_set_bg_color(x, f.fill);
    }
    if (f.borders)
        format_set_border(x, LXW_BORDER_THIN);
    switch (f.hAlign) {
    case HAlign::General:
        break;
    case HAlign::Left:
        format_set_align(x, LXW_ALIGN_LEFT);
        break;
    case HAlign::Centre:
        format_set_align(x, LXW_ALIGN_CENTER);
        break;
    case HAlign::Right:
        format_set_align(x, LXW_ALIGN_RIGHT);
        break;
    }
    if (f.vAlign == VAlign::Centre)
        format_set_align(x, LXW_ALIGN_VERTICAL_CENTER);
    else if (f.vAlign == VAlign::Top)
        format_set_align(x, LXW_ALIGN_VERTICAL_TOP);
    if (f.wrap)
        format_set_text_wrap(x);
    if (!f.numberFormat.isEmpty()) {
        const QByteArray nf = f.numberFormat.toUtf8();
        format_set_num_format(x, nf.constData());
    }
    return x;
}

// Why the workbook was not written, and that nothing was saved, in the clerk's words.
QString FailureText(const QString &path, lxw_error e, int errorNumber)
{
    QString reason;
    bool full = false;
    switch (e) {
    case LXW_ERROR_CREATING_TMPFILE:
        // The writer gathers the workbook in the system's temporary folder first.
        reason = WriteFailureReason(QDir(QDir::tempPath()).filePath(QStringLiteral("x")), errorNumber, &full) +
                 QStringLiteral(" (the temporary folder, where the workbook is put together first)");
        break;
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        reason = QStringLiteral("there was not enough memory for it");
        break;
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
        reason = WriteFailureReason(path, errorNumber, &full);
        break;
    default:
        reason = QStringLiteral("the spreadsheet writer reports: ") + QString::fromUtf8(lxw_strerror(e));
    }
    const bool existed = QFileInfo::exists(path);
    return QStringLiteral("The workbook ") + QDir::toNativeSeparators(path) +
           QStringLiteral(" could not be written: ") + reason + QStringLiteral(".\nNothing was saved") +
           (existed ? QStringLiteral(": the file of that name keeps what it held.") : QStringLiteral(".")) +
           (full ? QStringLiteral(" Free some space on that disk, or choose another folder, and export again.")
                 : QStringLiteral(" Choose another folder and export again."));
}

// A column's width in the spreadsheet's unit (the width of a digit of its 11-point default
// font). The sheet's widths are relative values; read as spreadsheet files count them (1/256
// of that unit) a width of 2,500 gives about ten characters. A column is widened where its
// longest entry needs more in its own font. The rows above firstRow are titles that run on
// across empty neighbours and do not count.
double ColumnWidthChars(const Sheet &sheet, int col, int firstRow)
{
    double chars = sheet.columnWidth(col) / 256.0;
    const int last = sheet.lastRow();
    for (int r = firstRow; r <= last; ++r) {
        const QString shown = sheet.text(r, col);
        if (!shown.isEmpty())
            chars = std::max(chars, shown.size() * sheet.format(r, col).font.size / 8.0 + 1.0);
    }
    return chars;
}

// A text as a header or footer shows it: '&' starts a code there, "&&" is one '&'.
QByteArray HeaderFooterText(const QString &text)
{
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")).toUtf8();
}

// How the sheet prints from a spreadsheet program: A4 landscape, one page wide and as many
// tall as it takes, narrow margins, the heading rows on every page, and a footer with the
// title and the page number; on screen the frozen rows and columns stay in view.
lxw_error SetUpPages(lxw_worksheet *ws, const WorkbookPages &pages)
{
    constexpr uint8_t PaperA4 = 9;
    worksheet_set_paper(ws, PaperA4);
    worksheet_set_landscape(ws);
    worksheet_fit_to_pages(ws, 1, 0);
    worksheet_set_margins(ws, 0.4, 0.4, 0.6, 0.6); // inches: left, right, top, bottom
    worksheet_center_horizontally(ws);
    if (pages.frozenRows > 0 || pages.frozenColumns > 0)
        worksheet_freeze_panes(ws, pages.frozenRows, pages.frozenColumns);
    if (pages.repeatFirstRow > 0) {
        const lxw_error err = worksheet_repeat_rows(ws, pages.repeatFirstRow - 1, pages.repeatLastRow - 1);
        if (err != LXW_NO_ERROR)
            return err;
    }
    QByteArray footer;
    if (!pages.footerTitle.isEmpty())
        footer = "&L" + HeaderFooterText(pages.footerTitle);
    footer += "&RPage &P of &N";
    return worksheet_set_footer(ws, footer.constData());
}

} // namespace

bool WriteWorkbook(const Sheet &sheet, const QString &path, QString *error, const WorkbookPages &pages)
{
    const QString temporary = path + QStringLiteral(".part");
    const QByteArray tempName = QFile::encodeName(temporary);
    lxw_workbook *book = workbook_new(tempName.constData());
    if (!book) {
        if (error)
            *error = QStringLiteral("The file cannot be created: ") + QDir::toNativeSeparators(temporary);
        return false;
    }
    lxw_worksheet *ws = workbook_add_worksheet(book, nullptr);

    // One workbook format for each sheet format; the default one stays the workbook's own.
    std::vector<lxw_format *> formats(sheet.formats().size(), nullptr);
    for (size_t i = 1; i < formats.size(); ++i)
        formats[i] = MakeFormat(book, sheet.formats()[i]);

    for (int c = 1; c <= sheet.columnCount(); ++c) {
        const int twips = sheet.columnWidth(c);
        if (twips == 0) {
            lxw_row_col_options hidden{};
            hidden.hidden = 1;
            worksheet_set_column_opt(ws, c - 1, c - 1, LXW_DEF_COL_WIDTH, nullptr, &hidden);
        } else {
            worksheet_set_column(ws, c - 1, c - 1, ColumnWidthChars(sheet, c, std::max(pages.repeatFirstRow, 1)),
                                 nullptr);
        }
    }

    lxw_error err = SetUpPages(ws, pages);
    const int rows = sheet.lastRow();
    for (int r = 1; r <= rows && err == LXW_NO_ERROR; ++r) {
        if (sheet.hasRowHeight(r))
            worksheet_set_row(ws, r - 1, sheet.rowHeight(r) / 20.0, nullptr);
        const int cols = std::max(sheet.columnCount(), 1);
        for (int c = 1; c <= cols && err == LXW_NO_ERROR; ++c) {
            lxw_format *f = formats[sheet.formatId(r, c)];
            const QVariant v = sheet.value(r, c);
            if (!v.isValid()) {
                if (f)
                    err = worksheet_write_blank(ws, r - 1, c - 1, f);
            } else if (sheet.isNumber(r, c)) {
                err = worksheet_write_number(ws, r - 1, c - 1, v.toDouble(), f);
            } else {
                const QByteArray text = v.toString().toUtf8();
                err = worksheet_write_string(ws, r - 1, c - 1, text.constData(), f);
            }
        }
    }
    errno = 0;
    const lxw_error closed = workbook_close(book);
    // The writer keeps the system's reason in errno (its "zip" errors say no more than that).
    const int closeErrno = errno;
    if (err == LXW_NO_ERROR)
        err = closed;
    if (err != LXW_NO_ERROR) {
        QFile::remove(temporary);
        if (error)
            *error = FailureText(path, err, closeErrno);
        return false;
    }
    // rename() replaces the old file in one step.
    if (std::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0) {
        const int code = errno;
        QFile::remove(temporary);
        if (error)
            *error = FailureText(path, LXW_ERROR_CREATING_XLSX_FILE, code);
        return false;
    }
    return true;
}
