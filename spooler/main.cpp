// inetspooler: prints the statement's print file. Started by IncomeTax with the file's full path.
#include "Spooler.h"
#include "session/mdlDalvoni.h"
#include "ui/QtPlatform.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstring>

namespace {

// Messages go to standard error instead of message windows (for scripts and tests).
bool BatchMode(int argc, char **argv)
{
    if (qEnvironmentVariableIntValue("INETSPOOLER_BATCH") != 0)
        return true;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--batch") == 0)
            return true;
    return false;
}

// --help and --version are answered on the terminal, without a display.
bool OnlyAsksAboutProgram(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
            std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    const bool batch = BatchMode(argc, argv);
    // Without message windows no screen is needed.
    if ((batch || OnlyAsksAboutProgram(argc, argv)) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("inetspooler"));
    QApplication::setApplicationVersion(QLatin1String(mdlDalvoni::kProgramVersion));

    QtPlatform desktop;
    ConsolePlatform console;
    setPlatform(batch ? static_cast<Platform *>(&console) : &desktop);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Prints an IncomeTax print file."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("batch"), QStringLiteral("Write messages to standard error, not to windows.")});
    parser.addOption({QStringLiteral("pdf-only"), QStringLiteral("Only draw the PDF <file>; do not print or open it."),
                      QStringLiteral("file")});
    parser.addPositionalArgument(QStringLiteral("printfile"), QStringLiteral("The print file."));
    parser.process(app);

    // A path with blanks handed over without quotes arrives in pieces.
    const QString printFile = parser.positionalArguments().join(QLatin1Char(' '));
    if (printFile.isEmpty()) {
        platform().message(QStringLiteral("The report cannot be printed: no print file was named."),
                           Platform::Icon::Critical);
        return 2;
    }
    Spooler spooler;
    return parser.isSet(QStringLiteral("pdf-only"))
               ? spooler.renderOnly(printFile, parser.value(QStringLiteral("pdf-only")))
               : spooler.print(printFile);
}
