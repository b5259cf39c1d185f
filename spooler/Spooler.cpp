#include "Spooler.h"

#include "EscpEncoder.h"
#include "PdfRenderer.h"
#include "PrintFile.h"
#include "session/AppSettings.h"
#include "session/Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

constexpr int kProcessTimeoutMs = 120000;
// How long the desktop's opener may take to say that it could not show the PDF.
constexpr int kViewerVerdictMs = 10000;

QString Title(const QString &printFile)
{
    return QFileInfo(printFile).fileName();
}

} // namespace

QString Spooler::pdfBeside(const QString &printFile)
{
    const QFileInfo info(printFile);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".pdf"));
}

QString Spooler::defaultPrinter()
{
    if (QStandardPaths::findExecutable(QStringLiteral("lpstat")).isEmpty())
        return {};
    QProcess lpstat;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    lpstat.setProcessEnvironment(env);
    lpstat.start(QStringLiteral("lpstat"), {QStringLiteral("-d")});
    if (!lpstat.waitForFinished(kProcessTimeoutMs))
        return {};
    // "system default destination: NAME", or "no system default destination".
    const QString marker = QStringLiteral("system default destination:");
    for (const QString &line : QString::fromLocal8Bit(lpstat.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.startsWith(marker))
            return line.mid(marker.size()).trimmed();
    }
    return {};
}

int Spooler::fail(const QString &text)
{
    platform().message(text, Platform::Icon::Critical);
    return 1;
}

bool Spooler::load(const QString &printFile)
{
    m_printFile = QFileInfo(printFile).absoluteFilePath();
    QFile file(m_printFile);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("The report cannot be printed: the print file %1 cannot be read (%2).")
                 .arg(QDir::toNativeSeparators(m_printFile), file.errorString()));
        return false;
    }
    m_content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        fail(QStringLiteral("The report cannot be printed: the print file %1 cannot be read (%2).")
                 .arg(QDir::toNativeSeparators(m_printFile), file.errorString()));
        return false;
    }
    if (m_content.isEmpty()) {
        fail(QStringLiteral("The report cannot be printed: the print file %1 is empty.")
                 .arg(QDir::toNativeSeparators(m_printFile)));
        return false;
    }
    return true;
}

int Spooler::print(const QString &printFile)
{
    if (!load(printFile))
        return 1;
    const QString queue = AppSettings::Get(RawQueueSection, RawQueueKey).trimmed();
    if (!queue.isEmpty())
        return printRaw(queue);
    const QString printer =
        QStandardPaths::findExecutable(QStringLiteral("lp")).isEmpty() ? QString() : defaultPrinter();
    return printer.isEmpty() ? keepAndShow() : printPdf(printer);
}

int Spooler::renderOnly(const QString &printFile, const QString &pdfPath)
{
    if (!load(printFile))
        return 1;
    PdfRenderer renderer;
    if (!renderer.render(PrintFile::Paginate(PrintFile::Parse(m_content)), pdfPath, Title(m_printFile)))
        return fail(QStringLiteral("The report cannot be printed: the PDF %1 cannot be written (%2).")
                        .arg(QDir::toNativeSeparators(pdfPath), renderer.error()));
    return 0;
}

int Spooler::printRaw(const QString &queue)
{
    const QByteArray bytes = Escp::Encode(PrintFile::Paginate(PrintFile::Parse(m_content)));
    if (QStandardPaths::findExecutable(QStringLiteral("lp")).isEmpty())
        return fail(QStringLiteral("The report cannot be printed on %1: the print command \"lp\" is not installed.")
                        .arg(queue));
    if (!run(QStringLiteral("lp"),
             {QStringLiteral("-d"), queue, QStringLiteral("-o"), QStringLiteral("raw"), QStringLiteral("-t"),
              Title(m_printFile)},
             bytes))
        return fail(QStringLiteral("The report cannot be printed on %1: %2").arg(queue, m_processError));
    return 0;
}

int Spooler::printPdf(const QString &printer)
{
    QTemporaryDir folder;
    if (!folder.isValid())
        return fail(QStringLiteral("The report cannot be printed: no temporary folder for the PDF (%1).")
                        .arg(folder.errorString()));
    const QString pdf = folder.filePath(QFileInfo(pdfBeside(m_printFile)).fileName());
    PdfRenderer renderer;
    if (!renderer.render(PrintFile::Paginate(PrintFile::Parse(m_content)), pdf, Title(m_printFile)))
        return fail(
            QStringLiteral("The report cannot be printed: the PDF cannot be written (%1).").arg(renderer.error()));
    // lp hands the whole file to the scheduler before it returns.
    if (!run(QStringLiteral("lp"), {QStringLiteral("-d"), printer, QStringLiteral("-t"), Title(m_printFile), pdf}))
        return fail(QStringLiteral("The report cannot be printed on %1: %2").arg(printer, m_processError));
    return 0;
}

int Spooler::keepAndShow()
{
    const QString pdf = pdfBeside(m_printFile);
    PdfRenderer renderer;
    if (!renderer.render(PrintFile::Paginate(PrintFile::Parse(m_content)), pdf, Title(m_printFile)))
        return fail(QStringLiteral("No printer is set up, and the report cannot be saved as %1 (%2).")
                        .arg(QDir::toNativeSeparators(pdf), renderer.error()));
    if (!showInViewer(pdf)) {
        // Without a viewer the user would otherwise see nothing at all after Print.
        platform().message(QStringLiteral("No printer is set up, and no program to show PDF files was found.\n\n"
                                          "The report was saved as\n%1\n\nOpen it from there to read or print it.")
                               .arg(QDir::toNativeSeparators(pdf)),
                           Platform::Icon::Warning);
        return 1;
    }
    return 0;
}

bool Spooler::showInViewer(const QString &pdf)
{
    // xdg-open ends at once where the desktop hands the file to its own launcher, and runs
    // as long as the viewer elsewhere. It fails quickly when it finds no viewer; when it is
    // still running after a while, the viewer is up, and it is left running (not owned, so
    // not ended with the spooler).
    auto *opener = new QProcess;
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    opener->start(QStringLiteral("xdg-open"), {pdf});
    if (!opener->waitForStarted(kProcessTimeoutMs)) {
        delete opener;
        return false;
    }
    if (!opener->waitForFinished(kViewerVerdictMs))
        return true;
    const bool shown = opener->exitStatus() == QProcess::NormalExit && opener->exitCode() == 0;
    delete opener;
    return shown;
}

bool Spooler::run(const QString &program, const QStringList &arguments, const QByteArray &input)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(kProcessTimeoutMs)) {
        m_processError = process.errorString();
        return false;
    }
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(kProcessTimeoutMs)) {
        m_processError = QStringLiteral("\"%1\" did not finish.").arg(program);
        process.kill();
        process.waitForFinished();
        return false;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        m_processError = said.isEmpty()
                             ? QStringLiteral("\"%1\" failed (exit code %2).").arg(program).arg(process.exitCode())
                             : said;
        return false;
    }
    return true;
}
