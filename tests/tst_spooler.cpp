// The print spooler: reading print files, the ESC/P bytes for dot-matrix queues, the PDF
// pages, the choice of printer and the failures the user must be told about.
#include "EscpEncoder.h"
#include "PrintFile.h"
#include "Spooler.h"
#include "session/AppSettings.h"
#include "session/Common.h"

#include <QtTest>

namespace {

const QString Rule(80, QLatin1Char('-'));

QString Program()
{
    return QStringLiteral(IT_BINARY_DIR "/inetspooler");
}

QString HeadingLine(const QStringList &cells)
{
    QString line =
        PadText(cells.value(0), 10, "L") + PadText(cells.value(1), 26, "L") + PadText(cells.value(2), 10, "R");
    for (int c = 3; c < 12; ++c)
        line += PadText(cells.value(c), 10, "R");
    return line;
}

QString BodyText(int n)
{
    return HeadingLine({QStringLiteral("E%1").arg(n, 4, 10, QLatin1Char('0')),
                        QStringLiteral("Employee Number %1").arg(n), QStringLiteral("ABCPD%1K").arg(1000 + n), "7.00",
                        "120000.00", "168000.00", "48,000", "67200.00", "14,400", "20160.00", "2400.00",
                        QString::number(n) + ".00"});
}

// A print file laid out as the statement writes it: header, 55 body lines to a page, footer.
QByteArray StatementFile(int employees)
{
    QStringList lines;
    auto header = [&] {
        lines << "\\E\\D" + PadText("ZN - CORPORATE", 40, "L") + "\\e\\d"
              << "\\E\\C" + PadText("CORPORATE", 40, "L") + "\\e\\c"
              << "\\E\\D\\C" + PadText("Income Tax Statement as on 08/12/2026", 80, "L") + "\\e\\d\\c" << Rule
              << "\\D\\C" +
                     HeadingLine({"Code", "Name", "PAN No", "Months", "Gross ", "Gross", "H.R.A", "H.R.A", "P.F", "P.F",
                                  "Profession", "H.Loan"}) +
                     "\\d\\c"
              << "\\D\\C" +
                     HeadingLine({"", "", "", "Rem.", "Pay", "Proj.", "", "Proj.", "", "Proj.", "Tax", "Intr."}) +
                     "\\d\\c"
              << Rule;
    };
    auto footer = [&](bool last) {
        lines << (last ? QString() : Rule) << QString() << QString() << PadText("Circulation Manager   ", 80, "R");
        while (lines.size() % 72 != 0)
            lines << QString();
    };
    header();
    int count = 7;
    for (int n = 1;; ++n) {
        if (count > 61) {
            footer(false);
            header();
            count = 7;
        }
        if (n > employees)
            break;
        lines << "\\C" + BodyText(n) + "\\c";
        ++count;
    }
    footer(true);
    return (lines.join("\r\n") + "\r\n").toLatin1();
}

struct Run
{
    int exitCode = -1;
    QString errors;
};

// Runs the built spooler without message windows, with PATH led by the given folder.
Run RunSpooler(const QStringList &arguments, const QString &pathFirst = {}, bool onlyThatPath = false)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("INETSPOOLER_BATCH", "1");
    if (!pathFirst.isEmpty())
        env.insert("PATH", onlyThatPath ? pathFirst : pathFirst + ":" + env.value("PATH"));
    p.setProcessEnvironment(env);
    p.start(Program(), arguments);
    Run run;
    if (!p.waitForFinished(60000))
        return run;
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.errors = QString::fromLocal8Bit(p.readAllStandardError());
    return run;
}

void WriteFile(const QString &path, const QByteArray &content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteScript(const QString &path, const QString &body)
{
    WriteFile(path, ("#!/bin/sh\n" + body + "\n").toUtf8());
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeUser);
}

// Waits for a file that a detached program writes.
bool WaitForFile(const QString &path)
{
    for (int i = 0; i < 100 && !QFile::exists(path); ++i)
        QTest::qWait(50);
    return QFile::exists(path) && QTest::qWaitFor([&] { return QFileInfo(path).size() > 0; }, 5000);
}

// The words pdftotext finds on the pages, with their extent in points.
struct Word
{
    QString text;
    double xMin = 0, yMin = 0, xMax = 0;
};
QList<Word> PdfWords(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    p.waitForFinished(60000);
    const QString xml = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\"[^>]*>([^<]*)<");
    QList<Word> words;
    for (auto m = word.globalMatch(xml); m.hasNext();) {
        const auto match = m.next();
        words.append({match.captured(4), match.captured(1).toDouble(), match.captured(2).toDouble(),
                      match.captured(3).toDouble()});
    }
    return words;
}

QString PdfText(const QString &pdf)
{
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class tst_Spooler : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_fakeBin;

    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(Program()), qPrintable(Program()));
        m_fakeBin = path("bin");
        QVERIFY(QDir().mkpath(m_fakeBin));
    }

    void init()
    {
        AppSettings::Save(Spooler::RawQueueSection, Spooler::RawQueueKey, QString());
        for (const QString &f : QDir(m_fakeBin).entryList(QDir::Files))
            QFile::remove(QDir(m_fakeBin).filePath(f));
    }

    void markersSwitchAttributes_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("attributes"); // per piece: E, D, C or '-', pieces separated by '|'
        QTest::newRow("emphasised and double") << QByteArray("\\E\\DZN\\e\\d") << QByteArray("ZN") << "ED|-";
        QTest::newRow("condensed") << QByteArray("\\Cbody\\c") << QByteArray("body") << "C|-";
        QTest::newRow("all three") << QByteArray("\\E\\D\\Ctitle\\e\\d\\c") << QByteArray("title") << "EDC|-";
        QTest::newRow("double and condensed") << QByteArray("\\D\\Chead\\d\\c") << QByteArray("head") << "DC|-";
        QTest::newRow("plain rule") << QByteArray("----") << QByteArray("----") << "-";
        QTest::newRow("empty line") << QByteArray("") << QByteArray("") << "-";
        QTest::newRow("mid-line switch") << QByteArray("a\\Eb\\ec") << QByteArray("abc") << "-|E|-";
        QTest::newRow("no marker letter stays") << QByteArray("C:\\Xy\\") << QByteArray("C:\\Xy\\") << "-";
        QTest::newRow("switched on and off at once") << QByteArray("\\E\\eab") << QByteArray("ab") << "-";
    }
    void markersSwitchAttributes()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, text);
        QFETCH(QString, attributes);
        const QList<PrintFile::Line> lines = PrintFile::Parse(line + "\r\n");
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().plainText(), text);
        QStringList shown;
        for (const PrintFile::Piece &p : lines.first().pieces) {
            QString s;
            if (p.attributes.emphasised)
                s += 'E';
            if (p.attributes.doubleStrike)
                s += 'D';
            if (p.attributes.condensed)
                s += 'C';
            shown << (s.isEmpty() ? "-" : s);
        }
        QCOMPARE(shown.join('|'), attributes);
    }

    void linesAndPages()
    {
        // CR LF and lone LF both end lines; attributes left on carry into the next line.
        const QList<PrintFile::Line> lines = PrintFile::Parse("\\Cone\r\ntwo\\c\nthree");
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(1).pieces.first().attributes.condensed);
        QVERIFY(!lines.at(2).pieces.first().attributes.condensed);
        QCOMPARE(lines.at(2).plainText(), QByteArray("three"));

        const QList<PrintFile::Page> pages = PrintFile::Paginate(PrintFile::Parse(StatementFile(56)));
        QCOMPARE(pages.size(), 2);
        QCOMPARE(pages.at(0).size(), 72);
        QCOMPARE(pages.at(1).size(), 72);
        QCOMPARE(PrintFile::Paginate(PrintFile::Parse(QByteArray(73 * 2, '\n').replace("\n\n", "x\n"))).size(), 2);
    }

    void escpCodes_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("E") << QByteArray("\\Ea\\e")
                           << QByteArray("\x1b"
                                         "Ea\x1b"
                                         "F");
        QTest::newRow("D") << QByteArray("\\Da\\d")
                           << QByteArray("\x1b"
                                         "Ga\x1b"
                                         "H");
        QTest::newRow("C") << QByteArray("\\Ca\\c")
                           << QByteArray("\x0f"
                                         "a\x12");
        QTest::newRow("E D") << QByteArray("\\E\\Da\\e\\d")
                             << QByteArray("\x1b"
                                           "E\x1b"
                                           "Ga\x1b"
                                           "F\x1b"
                                           "H");
        QTest::newRow("E C") << QByteArray("\\E\\Ca\\e\\c")
                             << QByteArray("\x1b"
                                           "E\x0f"
                                           "a\x1b"
                                           "F\x12");
        QTest::newRow("E D C") << QByteArray("\\E\\D\\Ca\\e\\d\\c")
                               << QByteArray("\x1b"
                                             "E\x1b"
                                             "G\x0f"
                                             "a\x1b"
                                             "F\x1b"
                                             "H\x12");
        QTest::newRow("D C") << QByteArray("\\D\\Ca\\d\\c")
                             << QByteArray("\x1b"
                                           "G\x0f"
                                           "a\x1b"
                                           "H\x12");
    }
    void escpCodes()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, bytes);
        const QByteArray out = Escp::Encode(PrintFile::Paginate(PrintFile::Parse(line + "\r\n")));
        const QByteArray start = QByteArray("\x1b@\x1b"
                                            "C") +
                                 char(72);
        QCOMPARE(out, start + bytes + "\r\n\x0c");
        QVERIFY(!out.contains('\\'));
    }

    void escpPages()
    {
        // Each form ends with a form feed after its last printed line, not with blank filler.
        const QByteArray out = Escp::Encode(PrintFile::Paginate(PrintFile::Parse(StatementFile(56))));
        QCOMPARE(out.count('\x0c'), 2);
        const QByteArray firstPage = out.left(out.indexOf('\x0c'));
        QCOMPARE(firstPage.count("\r\n"), 7 + 55 + 4);
        QVERIFY(firstPage.endsWith("Circulation Manager   \r\n"));
        QVERIFY(out.contains("\x0f\x1b"
                             "M" +
                             BodyText(56).toLatin1().left(10) + ' '));
        // A line that leaves an attribute on does not leave the printer that way.
        const QByteArray open = Escp::Encode(PrintFile::Paginate(PrintFile::Parse("\\Eopen\r\n")));
        QVERIFY(open.endsWith("\x0c\x1b"
                              "F"));
    }

    void pdfPages_data()
    {
        QTest::addColumn<int>("employees");
        QTest::addColumn<int>("pages");
        QTest::newRow("no statement") << 0 << 1;
        QTest::newRow("55: last page header and footer only") << 55 << 2;
        QTest::newRow("56") << 56 << 2;
        QTest::newRow("120") << 120 << 3;
    }
    void pdfPages()
    {
        QFETCH(int, employees);
        QFETCH(int, pages);
        const QString prn = path("pages.prn");
        const QString pdf = path("pages.pdf");
        WriteFile(prn, StatementFile(employees));
        const Run run = RunSpooler({"--pdf-only", pdf, prn});
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        const QString text = PdfText(pdf);
        QStringList pageTexts = text.split('\f');
        if (pageTexts.last().trimmed().isEmpty())
            pageTexts.removeLast();
        QCOMPARE(pageTexts.size(), pages);
        QVERIFY2(!text.contains('\\'), "marker text printed");
        for (const QString &page : pageTexts) {
            QVERIFY(page.contains("ZN - CORPORATE"));
            QVERIFY(page.contains("Circulation Manager"));
            QVERIFY(page.contains(QRegularExpression("Profession\\s+H\\.Loan")));
        }
        // Every condensed body line comes out whole, on one line of its page, in order.
        const QStringList textLines = text.split('\n');
        qsizetype from = 0;
        for (int n = 1; n <= employees; ++n) {
            const QStringList fields = BodyText(n).simplified().split(' ');
            const QString pattern =
                "^\\s*" + QStringList(fields).replaceInStrings(QRegularExpression("(\\W)"), "\\\\1").join("\\s+") +
                "\\s*$";
            const qsizetype at = textLines.indexOf(QRegularExpression(pattern), from);
            QVERIFY2(at >= 0, qPrintable(QStringLiteral("body line %1 not found whole").arg(n)));
            from = at + 1;
        }
    }

    void pdfLinesFitTheRules()
    {
        // The 136 condensed characters, with the gaps between their fields, span the width of
        // the 80-character rules.
        const QString prn = path("width.prn");
        const QString pdf = path("width.pdf");
        WriteFile(prn, (Rule + "\r\n\\C" + QString(136, 'W') + "\\c\r\n").toLatin1());
        QCOMPARE(RunSpooler({"--pdf-only", pdf, prn}).exitCode, 0);
        const QList<Word> words = PdfWords(pdf);
        QCOMPARE(words.size(), 1 + 12);
        QVERIFY(qAbs(words[0].xMin - words[1].xMin) < 1.0);
        QVERIFY2(qAbs(words[0].xMax - words.last().xMax) < 3.0,
                 qPrintable(QStringLiteral("rule ends at %1, body at %2").arg(words[0].xMax).arg(words.last().xMax)));
    }

    void statementFieldsStandApart_data()
    {
        // A line, and the words it prints as (fields a blank apart where it is a statement line).
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("printed");
        QTest::addColumn<bool>("statementLine");
        QTest::newRow("amounts of ten lakh and more")
            << QByteArray("\\C" +
                          HeadingLine({"SAT0000001", "RAMACHANDRANIYERANANDAKRIS", "ABCPD1234K", "6.00", "1418938.00",
                                       "1349988.00", "1,234,567", "1234567.00", "1,234,567", "1234567.00", "2400.00",
                                       "1000000.00"})
                              .toLatin1() +
                          "\\c")
            << QByteArray("SAT0000001 RAMACHANDRANIYERANANDAKRIS ABCPD1234K       6.00 1418938.00 1349988.00  "
                          "1,234,567 1234567.00  1,234,567 1234567.00    2400.00 1000000.00")
            << true;
        QTest::newRow("heading")
            << QByteArray("\\D\\C" +
                          HeadingLine({"Code", "Name", "PAN No", "Months", "Gross ", "Gross", "H.R.A", "H.R.A", "P.F",
                                       "P.F", "Profession", "H.Loan"})
                              .toLatin1() +
                          "\\d\\c")
            << QByteArray(
                   "Code       Name                           PAN No     Months     Gross       Gross      H.R.A  "
                   "    H.R.A        P.F        P.F Profession     H.Loan")
            << true;
        QTest::newRow("other width stays as written") << QByteArray("\\C" + QByteArray(125, 'x') + "1234567.00\\c")
                                                      << QByteArray(125, 'x') + "1234567.00" << false;
    }
    void statementFieldsStandApart()
    {
        // The print file runs full fields together; neither the printer nor the PDF may.
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, printed);
        QFETCH(bool, statementLine);
        const QByteArray escp = Escp::Encode(PrintFile::Paginate(PrintFile::Parse(line + "\r\n")));
        QVERIFY2(escp.contains(statementLine ? "\x1bM" + printed + "\x1bP" : printed), escp.constData());
        QCOMPARE(escp.contains("\x1bM"), statementLine);

        const QString prn = path("apart.prn");
        const QString pdf = path("apart.pdf");
        WriteFile(prn, line + "\r\n");
        QCOMPARE(RunSpooler({"--pdf-only", pdf, prn}).exitCode, 0);
        const QList<Word> words = PdfWords(pdf);
        QStringList texts;
        for (qsizetype i = 0; i < words.size(); ++i) {
            texts << words[i].text;
            if (i > 0)
                QVERIFY2(words[i].xMin > words[i - 1].xMax + 0.5,
                         qPrintable(words[i - 1].text + " touches " + words[i].text));
        }
        QCOMPARE(texts, QString::fromLatin1(printed).split(' ', Qt::SkipEmptyParts));
    }

    void indianScriptNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("font");
        QTest::newRow("Devanagari") << QString("राजेश कुमार शर्मा") << "NotoSansDevanagari";
        QTest::newRow("Tamil") << QString("முருகன் சுப்பிரமணியம்") << "NotoSansTamil";
        QTest::newRow("Bengali") << QString("সৌমিত্র চট্টোপাধ্যায়") << "NotoSansBengali";
    }
    void indianScriptNames()
    {
        // The name is drawn with a font that has its letters (not as a black bar), and the
        // fields after it stand where they stand on a row with a Latin name.
        QFETCH(QString, name);
        QFETCH(QString, font);
        const QString prn = path("names.prn");
        const QString pdf = path("names.pdf");
        auto row = [](const QString &code, const QString &n) {
            return "\\C" + HeadingLine({code, n, "ABCPD1234K", "6.00", "120000.00"}) + "\\c\r\n";
        };
        WriteFile(prn, (row("E0001", name) + row("E0002", "ANAND RAMACHANDRAN IYER")).toUtf8());
        QCOMPARE(RunSpooler({"--pdf-only", pdf, prn}).exitCode, 0);
        QProcess fonts;
        fonts.start("pdffonts", {pdf});
        fonts.waitForFinished(60000);
        QVERIFY2(fonts.readAllStandardOutput().contains(font.toLatin1()), qPrintable(font + " is not in the PDF"));
        QList<Word> pans;
        double nameEnd = 0;
        for (const Word &w : PdfWords(pdf)) {
            if (w.text == "ABCPD1234K")
                pans << w;
            else if (pans.isEmpty() && w.text != "E0001")
                nameEnd = std::max(nameEnd, w.xMax);
        }
        QCOMPARE(pans.size(), 2);
        QVERIFY(qAbs(pans[0].xMin - pans[1].xMin) < 0.1);
        QVERIFY(nameEnd > 0 && nameEnd < pans[0].xMin);
    }

    void rawQueueGetsEscpBytes()
    {
        const QString prn = path("raw.prn");
        const QByteArray content = StatementFile(3);
        WriteFile(prn, content);
        WriteScript(m_fakeBin + "/lp", "echo \"$@\" > '" + path("lp.args") + "'\ncat > '" + path("lp.data") + "'");
        AppSettings::Save(Spooler::RawQueueSection, Spooler::RawQueueKey, "Epson-LX300");
        const Run run = RunSpooler({prn}, m_fakeBin);
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QCOMPARE(QString::fromUtf8(ReadFile(path("lp.args"))).trimmed(), QString("-d Epson-LX300 -o raw -t raw.prn"));
        const QByteArray sent = ReadFile(path("lp.data"));
        QCOMPARE(sent, Escp::Encode(PrintFile::Paginate(PrintFile::Parse(content))));
        QVERIFY(sent.contains("\x1b"
                              "E\x1b"
                              "GZN - CORPORATE"));
        QVERIFY(sent.contains("\x0f\x1b"
                              "M" +
                              BodyText(1).toLatin1().left(10) + ' '));
        QVERIFY(!sent.contains("\\C"));
    }

    void defaultPrinterGetsPdf()
    {
        const QString prn = path("office.prn");
        WriteFile(prn, StatementFile(2));
        WriteScript(m_fakeBin + "/lpstat", "echo 'system default destination: Office-Laser'");
        WriteScript(m_fakeBin + "/lp",
                    "echo \"$@\" > '" + path("lp.args") + "'\nfor f; do :; done\ncp \"$f\" '" + path("sent.pdf") + "'");
        const Run run = RunSpooler({prn}, m_fakeBin);
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QVERIFY(QString::fromUtf8(ReadFile(path("lp.args"))).startsWith("-d Office-Laser -t office.prn /"));
        QVERIFY(ReadFile(path("sent.pdf")).startsWith("%PDF"));
        QVERIFY(PdfText(path("sent.pdf")).contains("Employee Number 2"));
        // The PDF for the printer is not left behind.
        QVERIFY(!QFile::exists(path("office.pdf")));
    }

    void withoutPrinterPdfIsKeptAndShown_data()
    {
        QTest::addColumn<bool>("lpInstalled");
        QTest::addColumn<QString>("viewer"); // the fake xdg-open: shows, fails, or is absent
        QTest::newRow("no default destination") << true << "shows";
        QTest::newRow("no lp at all") << false << "shows";
        QTest::newRow("no viewer for PDF files") << true << "fails";
        QTest::newRow("no xdg-open") << false << "absent";
    }
    void withoutPrinterPdfIsKeptAndShown()
    {
        QFETCH(bool, lpInstalled);
        QFETCH(QString, viewer);
        const QString folder = path("My Reports");
        QVERIFY(QDir().mkpath(folder));
        const QString prn = folder + "/os.prn";
        WriteFile(prn, StatementFile(1));
        QFile::remove(folder + "/os.pdf");
        QFile::remove(path("opened"));
        WriteScript(m_fakeBin + "/lpstat", "echo 'no system default destination'");
        if (lpInstalled)
            WriteScript(m_fakeBin + "/lp", "exit 1");
        if (viewer == "shows")
            WriteScript(m_fakeBin + "/xdg-open", "echo \"$1\" > '" + path("opened") + "'");
        else if (viewer == "fails")
            WriteScript(m_fakeBin + "/xdg-open", "echo 'xdg-open: no method available for opening' >&2\nexit 3");
        // Without lp the PATH holds only the fake tools.
        const Run run = RunSpooler({prn}, m_fakeBin, !lpInstalled);
        QVERIFY(ReadFile(folder + "/os.pdf").startsWith("%PDF"));
        if (viewer == "shows") {
            QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
            QVERIFY(WaitForFile(path("opened")));
            QCOMPARE(QString::fromUtf8(ReadFile(path("opened"))).trimmed(), folder + "/os.pdf");
        } else {
            // Nothing shows on the screen: the user is told where the report is.
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.errors.contains(folder + "/os.pdf"), qPrintable(run.errors));
        }
    }

    void failuresAreReported()
    {
        // A missing file.
        Run run = RunSpooler({path("missing.prn")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("cannot be read") && run.errors.contains("missing.prn"), qPrintable(run.errors));

        // An empty file.
        WriteFile(path("empty.prn"), {});
        run = RunSpooler({path("empty.prn")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY(run.errors.contains("is empty"));

        // No file named.
        QCOMPARE(RunSpooler({}).exitCode, 2);

        // The PDF cannot be written.
        WriteFile(path("ok.prn"), StatementFile(1));
        run = RunSpooler({"--pdf-only", path("no such folder/x.pdf"), path("ok.prn")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("cannot be written"), qPrintable(run.errors));

        // The printer refuses the job: lp's own words reach the user.
        WriteScript(m_fakeBin + "/lpstat", "echo 'system default destination: Office-Laser'");
        WriteScript(m_fakeBin + "/lp", "echo 'lp: The printer or class does not exist.' >&2\nexit 1");
        run = RunSpooler({path("ok.prn")}, m_fakeBin);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("The printer or class does not exist."), qPrintable(run.errors));

        // The raw queue refuses the job.
        AppSettings::Save(Spooler::RawQueueSection, Spooler::RawQueueKey, "Epson-LX300");
        run = RunSpooler({path("ok.prn")}, m_fakeBin);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("Epson-LX300"), qPrintable(run.errors));
    }

    void pathWithBlanksInPieces()
    {
        // A path handed over unquoted arrives as several arguments.
        const QString folder = path("Program Files/IncomeTax");
        QVERIFY(QDir().mkpath(folder));
        WriteFile(folder + "/os.prn", StatementFile(1));
        const QString pdf = path("pieces.pdf");
        const QStringList pieces = (folder + "/os.prn").split(' ');
        const Run run = RunSpooler(QStringList{"--pdf-only", pdf} + pieces);
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QVERIFY(QFile::exists(pdf));
    }

    void installLaysOutProgramsSideBySide()
    {
        if (!QFile::exists(IT_BINARY_DIR "/IncomeTax"))
            QSKIP("IncomeTax is not built in this build folder");
        const QString prefix = path("install prefix");
        QProcess install;
        install.start("cmake", {"--install", IT_BINARY_DIR, "--prefix", prefix});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        const QFileInfo main(prefix + "/bin/IncomeTax");
        const QFileInfo spooler(prefix + "/bin/inetspooler");
        QVERIFY(main.isExecutable());
        QVERIFY(spooler.isExecutable());
        QVERIFY(QFile::exists(prefix + "/share/icons/hicolor/scalable/apps/incometax.svg"));
        QVERIFY(QFile::exists(prefix + "/share/icons/hicolor/48x48/apps/incometax.png"));
        const QString entry = QString::fromUtf8(ReadFile(prefix + "/share/applications/incometax.desktop"));
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        // The installed path has a blank in it, so the command is quoted.
        QVERIFY2(entry.contains("\nExec=\"" + main.absoluteFilePath() + "\"\n"), qPrintable(entry));
        QVERIFY(entry.contains("\nIcon=incometax\n"));
    }
};

QTEST_GUILESS_MAIN(tst_Spooler)
#include "tst_spooler.moc"
