#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Prints a print file. With a raw queue named in the settings the file goes to that queue
// as ESC/P bytes; otherwise it is drawn as a PDF and goes to the default CUPS printer, or,
// with no printer set up, is kept beside the print file and opened in the desktop's viewer
// (or, with no viewer, the user is told where it is).
// Every failure is shown to the user through platform().
class Spooler
{
public:
    // The settings entry that names a raw queue for a dot-matrix printer.
    static constexpr const char *RawQueueSection = "IncomeTax";
    static constexpr const char *RawQueueKey = "RawPrinterQueue";

    // Prints the file; returns the program's exit code (0 when printed, 1 on failure).
    int print(const QString &printFile);
    // Only draws the PDF, without printing or opening it.
    int renderOnly(const QString &printFile, const QString &pdfPath);

    // The PDF kept beside a print file: same folder and name, ".pdf".
    static QString pdfBeside(const QString &printFile);
    // The default destination from `lpstat -d`; "" when there is none or CUPS is missing.
    static QString defaultPrinter();

private:
    bool load(const QString &printFile);
    int fail(const QString &text);
    int printRaw(const QString &queue);
    int printPdf(const QString &printer);
    int keepAndShow();
    // Opens the PDF in the desktop's viewer; false when no viewer could show it.
    bool showInViewer(const QString &pdf);
    // Runs a program to its end; on failure leaves its own words in m_processError.
    bool run(const QString &program, const QStringList &arguments, const QByteArray &input = {});

    QString m_printFile;
    QByteArray m_content;
    QString m_processError;
};
