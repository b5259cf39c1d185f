// The tax statement: the sheet built from the stored tax records, the screen's keys and
// lookup, the print file (against golden files) and the workbook export read back.
#include "CompanyTest.h"
#include "DemoData.h"
#include "ModalDriver.h"
#include "RecordingPlatform.h"
#include "Screens.h"
#include "TestDb.h"
#include "lookup/EmployeeLookup.h"
#include "lookup/frmListView.h"
#include "reports/OutputFolder.h"
#include "reports/Statement.h"
#include "reports/StatementPrint.h"
#include "reports/Workbook.h"
#include "reports/frmrptIT.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/RegimeChoice.h"
#include "tax/TaxRecord.h"
#include "ui/FormUtil.h"

#include <QCursor>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <numeric>

using namespace mdlDalvoni;

namespace {

const QDate kFrom(2018, 4, 1);
const QDate kTo(2019, 3, 31);

// Adds employee slno with code and name, and his tax record of the period; the amounts
// follow from base (gross base*1000, every other column a step apart); extra ("emp_hra=0")
// changes some of them afterwards.
void AddRecord(int slno, const QString &code, const QString &name, double base = 1, const QDate &from = kFrom,
               const QString &extra = QString())
{
    const QString s = QString::number(slno);
    if (TestDb::Count(QStringLiteral("hr0910.hr_employee WHERE emp_slno='") + s + QLatin1Char('\'')) == 0)
        TestDb::AddEmployee(s, QString(), code, name);
    QString cols = QStringLiteral("emp_slno,emp_code,comp_code,emp_months_rem,emp_it_from,emp_it_to");
    QString vals = QStringLiteral("'%1','%2','C01',9,'%3','%4'").arg(s, SqlEscape(code), SqlDate(from), SqlDate(kTo));
    const char *amounts[] = {
        "emp_gross",    "emp_gross_proj",  "emp_hra",        "emp_hra_proj",        "emp_pf",
        "emp_pf_proj",  "emp_pro_tax",     "emp_hl_int",     "emp_hl_int_limit",    "emp_mc",
        "emp_mc_limit", "emp_ta",          "emp_ta_proj",    "emp_80c_total",       "emp_80c_limit",
        "emp_80c_net",  "emp_taxable_amt", "emp_excemption", "emp_net_taxable_amt", "emp_cess",
        "emp_payable",  "emp_sal_cut",     "emp_balance"};
    int i = 0;
    for (const char *a : amounts) {
        cols += QLatin1Char(',') + QLatin1String(a);
        vals += QLatin1Char(',') + PlainNumber(base * 1000 + 100.25 * i++);
    }
    TestDb::Exec(QStringLiteral("INSERT INTO hr_it (") + cols + QStringLiteral(") VALUES (") + vals + QLatin1Char(')'));
    if (!extra.isEmpty())
        TestDb::Exec(QStringLiteral("UPDATE hr_it SET ") + extra + QStringLiteral(" WHERE emp_slno='") + s +
                     QLatin1Char('\''));
}

QString GoldenPath(const QString &name)
{
    return QStringLiteral(IT_SOURCE_DIR "/tests/golden/") + name;
}

// Compares the print text with its golden file (IT_UPDATE_GOLDEN=1 writes it instead).
bool MatchesGolden(const QByteArray &text, const QString &name)
{
    QFile f(GoldenPath(name));
    if (qEnvironmentVariableIsSet("IT_UPDATE_GOLDEN")) {
        f.open(QIODevice::WriteOnly);
        f.write(text);
        return true;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        qWarning() << "missing golden file" << name;
        return false;
    }
    const QByteArray golden = f.readAll();
    if (golden == text)
        return true;
    const QList<QByteArray> a = golden.split('\n'), b = text.split('\n');
    for (int i = 0; i < std::max(a.size(), b.size()); ++i)
        if (a.value(i) != b.value(i)) {
            qWarning() << "line" << i + 1 << "expected" << a.value(i) << "got" << b.value(i);
            break;
        }
    return false;
}

QByteArray PrintOf(int *lastRow = nullptr)
{
    Sheet sheet;
    const int last = Statement::Build(sheet, TestDb::Open(), QStringLiteral("C01"), kFrom, kTo, QString(),
                                      QDate(2019, 3, 31), kFrom, kTo);
    if (lastRow)
        *lastRow = last;
    // The title carries the date in the system's short form: fixed here for the golden files.
    sheet.setText(3, 1, QStringLiteral("Income Tax Statement as on 31/03/2019"));
    return StatementPrint::Text(sheet, last);
}

// A file of the workbook (an .xlsx is a zip of XML parts).
QString WorkbookPart(const QString &file, const QString &part)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), file, part});
    unzip.waitForFinished();
    return QString::fromUtf8(unzip.readAllStandardOutput());
}

} // namespace

class tst_Statement : public CompanyTest
{
    Q_OBJECT

private slots:
    void layoutAndRows()
    {
        AddRecord(2, QStringLiteral("E002"), QStringLiteral("SECOND"), 2);
        AddRecord(1, QStringLiteral("E001"), QStringLiteral("FIRST"), 1, kFrom,
                  QStringLiteral("emp_hra=0, emp_pf=2500.6, emp_balance=-1250"));
        TestDb::Exec("UPDATE hr0910.hr_employee SET emp_pan=NULL WHERE emp_slno='2'");
        // Another period (a day off) and another company are not listed.
        AddRecord(3, QStringLiteral("E003"), QStringLiteral("THIRD"), 3, kFrom.addDays(1));
        AddRecord(4, QStringLiteral("E004"), QStringLiteral("FOURTH"), 4);
        TestDb::Exec("UPDATE hr_it SET comp_code='C02' WHERE emp_slno='4'");

        frmrptIT form;
        QVERIFY(ShowActive(form));
        QCOMPARE(form.ui.DTFrom->date(), kFrom);
        QCOMPARE(form.ui.DTTo->date(), kTo);
        QCOMPARE(form.CurrentRow, 0);
        const Sheet &s = form.ui.FBook->sheet();
        QCOMPARE(s.text(3, 1), QString()); // the title waits for the first build
        QCOMPARE(s.text(4, 2), QStringLiteral("Name"));

        form.ui.CmShow->click();
        QCOMPARE(form.CurrentRow, 7);
        QCOMPARE(s.lastRow(), 7);
        QCOMPARE(s.columnCount(), 29);
        QCOMPARE(s.text(3, 1), QStringLiteral("Income Tax Statement as on ") + ShortDate(QDate::currentDate()));
        QCOMPARE(s.text(6, 1), QStringLiteral("E001")); // ordered by code
        QCOMPARE(s.text(6, 2), QStringLiteral("FIRST"));
        QCOMPARE(s.text(6, 3), QStringLiteral("PAN1"));
        QCOMPARE(s.text(7, 3), QString()); // a missing PAN stays empty
        QVERIFY(!s.isNumber(6, 4));
        QCOMPARE(s.text(6, 4), QStringLiteral("9"));
        QVERIFY(s.isNumber(6, 5));
        QCOMPARE(s.value(6, 5).toDouble(), 1000.0);
        QCOMPARE(s.text(6, 7), QString());               // zero shows empty
        QCOMPARE(s.text(6, 9), QStringLiteral("2,501")); // 2500.6
        QCOMPARE(s.value(6, 9).toDouble(), 2500.6);
        QCOMPARE(s.text(6, 27), QStringLiteral("-1,250"));
        QCOMPARE(s.text(7, 6), QStringLiteral("2,100")); // 2000 + 100.25
        // Fonts, fill, borders and alignment of the layout and the rows.
        QCOMPARE(s.format(1, 1).font, (CellFont{QStringLiteral("Segoe UI"), 14, true, RgbColour(0, 0, 128)}));
        QCOMPARE(s.format(2, 1).font.size, 10.0);
        QCOMPARE(s.format(3, 1).font.size, 8.0);
        QCOMPARE(s.rowHeight(1), 500);
        QCOMPARE(s.format(5, 27).font, (CellFont{QStringLiteral("Arial"), 8, true, 0}));
        QVERIFY(s.format(4, 1).borders && s.format(4, 1).filled);
        QCOMPARE(s.format(4, 1).fill, RgbColour(192, 192, 192));
        QCOMPARE(s.format(4, 1).hAlign, HAlign::Right);
        QCOMPARE(s.format(6, 1).font, (CellFont{QStringLiteral("Segoe UI"), 8, false, 0}));
        QCOMPARE(s.format(6, 1).hAlign, HAlign::General);
        QCOMPARE(s.format(6, 4).hAlign, HAlign::Right);
        QCOMPARE(s.format(6, 4).vAlign, VAlign::Centre);
        QCOMPARE(s.format(6, 27).numberFormat, QStringLiteral("#,##"));
        QCOMPARE(s.columnWidth(2), 4000);
        QCOMPARE(s.columnWidth(27), 2500);
        QCOMPARE(form.ui.FBook->model()->rowCount(), 7);

        // Showing again gives the same sheet, not the rows twice.
        form.ui.CmShow->click();
        QCOMPARE(form.CurrentRow, 7);
        QCOMPARE(s.lastRow(), 7);
        QCOMPARE(form.ui.FBook->model()->rowCount(), 7);

        // One employee; then a code with blanks around it.
        form.ui.TxEmpCode->setText(QStringLiteral("  E002 "));
        QTest::keyClick(form.ui.TxEmpCode, Qt::Key_F5);
        QCOMPARE(form.CurrentRow, 6);
        QCOMPARE(s.lastRow(), 6);
        QCOMPARE(s.text(6, 2), QStringLiteral("SECOND"));
        QCOMPARE(s.format(7, 1), CellFormat()); // the old second row is cleared, formats too

        // Only blanks: a code of nothing, so nobody; a quote is only text.
        form.ui.TxEmpCode->setText(QStringLiteral("   "));
        form.ui.CmShow->click();
        QCOMPARE(form.CurrentRow, 5);
        QCOMPARE(s.lastRow(), 5);
        RecordingPlatform rec;
        form.ui.TxEmpCode->setText(QStringLiteral("E0'1\\"));
        form.ui.CmShow->click();
        QCOMPARE(form.CurrentRow, 5);
        QVERIFY(rec.messages.isEmpty());

        // A period that matches no record.
        form.ui.TxEmpCode->clear();
        form.ui.DTFrom->setDate(QDate(2017, 4, 1));
        form.ui.CmShow->click();
        QCOMPARE(form.CurrentRow, 5);
        QCOMPARE(s.text(4, 1), QStringLiteral("Code"));
    }

    // Each employee's regime of the session's financial year stands in a last column, after
    // every column of the record, on the screen and in the workbook; the print file is the
    // same with it as without it.
    void regimeColumn()
    {
        TestDb::AddNewRegimeYear(*DemoData::NewRegimeYear(2024), 2018); // the new regime the default
        // A period that starts a month into the financial year: the regimes are still the year's.
        const QDate from = kFrom.addMonths(1);
        AddRecord(1, QStringLiteral("E001"), QStringLiteral("FIRST"), 1, from);
        AddRecord(2, QStringLiteral("E002"), QStringLiteral("SECOND"), 2, from);
        AddRecord(3, QStringLiteral("E003"), QStringLiteral("THIRD"), 3, from);
        const AuditStamp stamp{QStringLiteral("1"), QDateTime(kFrom, QTime(9, 0))};
        RegimeChoice::Save(TestDb::Open(), QStringLiteral("1"), kFrom, kTo, TaxRegime::Old, stamp);
        RegimeChoice::Save(TestDb::Open(), QStringLiteral("2"), kFrom, kTo, TaxRegime::New, stamp);
        // A choice of another year does not count.
        RegimeChoice::Save(TestDb::Open(), QStringLiteral("3"), kFrom.addYears(-1), kTo.addYears(-1), TaxRegime::Old,
                           stamp);

        RecordingPlatform rec;
        frmrptIT form;
        QVERIFY(ShowActive(form));
        form.ui.DTFrom->setDate(from);
        form.ui.CmShow->click();
        const Sheet &s = form.ui.FBook->sheet();
        QCOMPARE(form.CurrentRow, 8);
        QCOMPARE(s.columnCount(), 29);
        QCOMPARE(s.text(4, 28), QStringLiteral("Regime"));
        // Last, the balance spread over the months remaining, rounded up to the rupee.
        QCOMPARE(s.text(4, 29) + ' ' + s.text(5, 29), QStringLiteral("Per Month"));
        for (int row = 6; row <= 8; ++row)
            QCOMPARE(s.value(row, 29).toDouble(),
                     TaxRecord::PerMonth(s.value(row, 27).toDouble(), int(s.value(row, 4).toDouble())));
        QCOMPARE(s.format(6, 29).numberFormat, QStringLiteral("#,##"));
        QCOMPARE(s.text(5, 28), QString());
        QCOMPARE(s.format(4, 28), s.format(4, 27));
        QCOMPARE(s.text(4, 27), QStringLiteral("Balance"));
        const QStringList regimes = {s.text(6, 28), s.text(7, 28), s.text(8, 28)};
        QCOMPARE(regimes, QStringList({"Old", "New", "New"}));
        QCOMPARE(s.format(6, 28).font, s.format(6, 27).font);
        QCOMPARE(s.format(6, 28).hAlign, HAlign::Right);
        QCOMPARE(s.value(6, 27).toDouble(), 1000 + 100.25 * 22); // the record's columns where they were

        // On screen every column, the last one too, is as wide as its heading and figures.
        const QFontMetrics bold(QFont(QStringLiteral("Arial"), 8, QFont::Bold));
        QVERIFY(form.ui.FBook->columnWidth(27) > bold.horizontalAdvance(QStringLiteral("Regime")));
        QVERIFY(form.ui.FBook->columnWidth(4) < TwipsToPixels(2500));

        // The workbook: the regimes in column AB.
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("statement.xlsx"));
        rec.saveAnswers << target;
        form.ui.CmExport->click();
        QVERIFY(rec.messages.isEmpty());
        const QString sheetXml = WorkbookPart(target, QStringLiteral("xl/worksheets/sheet1.xml"));
        const QString strings = WorkbookPart(target, QStringLiteral("xl/sharedStrings.xml"));
        QVERIFY(sheetXml.contains(QStringLiteral("<c r=\"AB4\"")));
        QVERIFY(sheetXml.contains(QStringLiteral("<c r=\"AB8\"")));
        QVERIFY(sheetXml.contains(QStringLiteral("<c r=\"AC4\"")));
        QVERIFY(!sheetXml.contains(QStringLiteral("<c r=\"AD")));
        QVERIFY(strings.contains(QStringLiteral("<t>Regime</t>")) && strings.contains(QStringLiteral("<t>New</t>")));

        // The print file prints the first twelve columns: the regimes and the tax per month
        // change nothing in it.
        Sheet without = s;
        without.clear({4, 28, 8, 29});
        QCOMPARE(StatementPrint::Text(s, form.CurrentRow), StatementPrint::Text(without, form.CurrentRow));
    }

    void keysAndLookup()
    {
        TestDb::AddEmployee(QStringLiteral("11"), QStringLiteral("E"), QStringLiteral("011"), QStringLiteral("RAVI"));
        TestDb::AddEmployee(QStringLiteral("12"), QStringLiteral("E"), QStringLiteral("012"), QStringLiteral("O'NEIL"),
                            QStringLiteral("HO"), 1);
        RecordingPlatform rec;
        frmrptIT form;
        QVERIFY(ShowActive(form));

        // Pick from the list: code, name and the two tags come back, the slots are emptied.
        form.ui.TxEmpCode->setFocus();
        form.ui.TxEmpCode->setText(QStringLiteral(" e01 "));
        WhenModalShown<frmListView>([](frmListView *d) { QTest::keyClick(d->ui.TxtSearch, Qt::Key_Return); });
        QTest::keyClick(form.ui.TxEmpCode, Qt::Key_F1);
        QCOMPARE(form.ui.TxEmpCode->text(), QStringLiteral("E011"));
        QCOMPARE(form.ui.LbName->text(), QStringLiteral("RAVI"));
        QCOMPARE(form.ui.LbName->property("Tag").toString(), QStringLiteral("11"));
        QCOMPARE(form.ui.TxEmpCode->property("Tag").toString(), QStringLiteral("PAN11"));
        QCOMPARE(ListPick1, QString());

        // Typing empties the name; Enter moves on to Show.
        QVERIFY(ShowActive(form));
        form.ui.TxEmpCode->setFocus();
        QTest::keyClick(form.ui.TxEmpCode, Qt::Key_Backspace);
        QCOMPARE(form.ui.LbName->text(), QString());
        QTest::keyClick(form.ui.TxEmpCode, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form.ui.CmShow);
        form.ui.DTFrom->setFocus();
        QTest::keyClick(form.ui.DTFrom, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), form.ui.CmShow);

        // A quote in the search text is searched for, not an error; closing with no pick
        // empties the box and the name.
        form.ui.TxEmpCode->setText(QStringLiteral("O'NE"));
        bool listed = false;
        WhenModalShown<frmListView>([&listed](frmListView *d) {
            listed = d->grid().rowCount() > 1;
            QTest::keyClick(d->ui.TxtSearch, Qt::Key_Escape);
        });
        QTest::keyClick(form.ui.TxEmpCode, Qt::Key_F1);
        QVERIFY(rec.messages.isEmpty());
        QVERIFY(!listed); // a disabled employee matched by name only is not listed
        QCOMPARE(form.ui.TxEmpCode->text(), QString());
        QCOMPARE(form.ui.LbName->text(), QString());

        // ... but matched by his code he is.
        QVERIFY(EmployeeLookupSql(QStringLiteral("C01"), QStringLiteral("e012"), BlankCode::Searches)
                    .contains(QStringLiteral("like '%E012%'")));
        form.ui.TxEmpCode->setText(QStringLiteral("e012"));
        WhenModalShown<frmListView>([](frmListView *d) { QTest::keyClick(d->ui.TxtSearch, Qt::Key_Return); });
        QTest::keyClick(form.ui.TxEmpCode, Qt::Key_F1);
        QCOMPARE(form.ui.LbName->text(), QStringLiteral("O'NEIL"));

        // F9 closes.
        QVERIFY(ShowActive(form));
        QTest::keyClick(form.ui.TxEmpCode, Qt::Key_F9);
        QVERIFY(!form.isVisible());
    }

    void printFiles_data()
    {
        QTest::addColumn<int>("employees");
        QTest::addColumn<QString>("golden");
        QTest::newRow("none") << 0 << "print-none.prn";
        QTest::newRow("55: a last page of header and footer") << 55 << "print-55.prn";
        QTest::newRow("56: one body line on page two") << 56 << "print-56.prn";
    }
    void printFiles()
    {
        QFETCH(int, employees);
        QFETCH(QString, golden);
        for (int i = 1; i <= employees; ++i)
            AddRecord(i, QStringLiteral("E%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("EMPLOYEE %1").arg(i),
                      i);
        int last = 5;
        QByteArray text;
        if (employees == 0) {
            // Before any Show: the title line stays empty.
            Sheet layout;
            Statement::DrawLayout(layout);
            text = StatementPrint::Text(layout, layout.lastRow());
            QVERIFY(text.contains("\\E\\D\\C" + QByteArray(80, ' ') + "\\e\\d\\c"));
        } else {
            text = PrintOf(&last);
        }
        QCOMPARE(last, 5 + employees);
        QVERIFY(MatchesGolden(text, golden));

        // Every page has 72 lines, ended by CR LF; body and heading lines 136 wide.
        QList<QByteArray> lines = text.split('\n');
        QVERIFY(lines.takeLast().isEmpty());
        const int pages = employees < 55 ? 1 : 2;
        QCOMPARE(lines.size(), 72 * pages);
        int bodies = 0;
        for (const QByteArray &l : lines) {
            QVERIFY(l.endsWith('\r'));
            if (l.startsWith("\\C")) {
                ++bodies;
                QCOMPARE(l.size(), 2 + 136 + 2 + 1);
            }
        }
        QCOMPARE(bodies, employees);
        QCOMPARE(lines.at(4).size(), 4 + 136 + 4 + 1);
    }

    void printCutsAndZeroLimits()
    {
        // A 30-character name and a 12-character code are cut; a zero housing-loan limit
        // does not end the listing.
        AddRecord(1, QStringLiteral("ABCDEFGHIJKL"), QStringLiteral("NAME OF THIRTY CHARACTERS LONG"), 1, kFrom,
                  QStringLiteral("emp_hl_int_limit=0, emp_hra=1250, emp_gross=1250.4"));
        AddRecord(2, QStringLiteral("E002"), QStringLiteral("AFTER THE ZERO LIMIT"), 2);
        int last = 0;
        const QByteArray text = PrintOf(&last);
        QVERIFY(MatchesGolden(text, QStringLiteral("print-cut-and-zero-limit.prn")));
        QVERIFY(text.contains("\\CABCDEFGHIJNAME OF THIRTY CHARACTERS       PAN1"));
        QVERIFY(text.contains("AFTER THE ZERO LIMIT"));
        QVERIFY(text.contains("   1250.00")); // 1,250 as shown, printed with two decimals
        QVERIFY(text.contains("     1,250")); // H.R.A printed as shown
    }

    void printFromTheScreen()
    {
        AddRecord(1, QStringLiteral("E001"), QStringLiteral("FIRST"));
        RecordingPlatform rec;
        frmrptIT form;
        QVERIFY(ShowActive(form));
        // Before any Show: one page, no body line; the export then has rows to write.
        QTest::keyClick(&form, Qt::Key_F7);
        QCOMPARE(rec.started.size(), 1);
        const QString file = QDir(OutputFolder()).filePath(QStringLiteral("os.prn"));
        QCOMPARE(rec.started.at(0).first, QCoreApplication::applicationDirPath() + QStringLiteral("/inetspooler"));
        QCOMPARE(rec.started.at(0).second, QStringList{file});
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count('\n'), 72);
        f.close();
        QCOMPARE(form.CurrentRow, 6);
        // The screen tells where the print file went.
        QCOMPARE(form.findChild<QLabel *>("LbOutputFile")->text(), QStringLiteral("Print file written: %1").arg(file));

        form.ui.CmShow->click();
        form.ui.CmPrint->click();
        QCOMPARE(form.CurrentRow, 7); // where the listing stopped
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("\\CE001      FIRST"));
        f.close();
        QVERIFY(rec.messages.isEmpty());

        // A print file that cannot be written is reported, with why and that nothing was printed,
        // and the next print works.
        QVERIFY(QFile::remove(file));
        QVERIFY(QDir().mkdir(file));
        form.ui.CmPrint->click();
        QVERIFY2(rec.lastMessage().startsWith(QStringLiteral("File Cannot be Printed.   \nThe print file ") + file +
                                              QStringLiteral(" could not be written: ")) &&
                     rec.lastMessage().endsWith(QStringLiteral(".\nNothing was sent to the printer.   ")),
                 qPrintable(rec.lastMessage()));
        QVERIFY(form.findChild<QLabel *>("LbOutputFile")->text().isEmpty());
        QCOMPARE(rec.started.size(), 2);
        QVERIFY(QDir().rmdir(file));
        rec.clear();
        form.ui.CmPrint->click();
        QVERIFY(rec.messages.isEmpty());
        QVERIFY(QFile::exists(file));

        // A spooler that cannot start is reported; the next print works again.
        rec.startResult = false;
        form.ui.CmPrint->click();
        QCOMPARE(rec.lastMessage(), QStringLiteral("File Cannot be Printed.   \nThe print program ") +
                                        rec.started.last().first +
                                        QStringLiteral(" could not be started: it may be missing from the program's "
                                                       "folder.\nNothing was sent to the printer.   "));
        rec.startResult = true;
        rec.clear();
        form.ui.CmPrint->click();
        QVERIFY(rec.messages.isEmpty());
        QCOMPARE(rec.started.size(), 1);
    }

    // A full disk, on export and print, is told as such, with what was and was not stored: a
    // small disk that the test run mounts (IT_TEST_SMALL_DISK).
    void aFullDisk_data()
    {
        QTest::addColumn<QString>("output");
        QTest::newRow("export, new file") << "export";
        QTest::newRow("export over a file") << "export over";
        QTest::newRow("print") << "print";
    }
    void aFullDisk()
    {
        QFETCH(QString, output);
        const QString disk = qEnvironmentVariable("IT_TEST_SMALL_DISK");
        if (disk.isEmpty())
            QSKIP("no small disk (scripts/test.sh mounts one)");
        for (int i = 1; i <= 60; ++i)
            AddRecord(i, QStringLiteral("E%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("EMPLOYEE %1").arg(i),
                      i);
        Sheet sheet;
        const int last =
            Statement::Build(sheet, TestDb::Open(), "C01", kFrom, kTo, QString(), QDate(2018, 10, 15), kFrom, kTo);
        const QString target = QDir(disk).filePath(output == QLatin1String("print") ? "os.prn" : "statement.xlsx");
        // All of the disk but a few kilobytes taken by another file.
        QFile filler(QDir(disk).filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly));
        filler.write(QByteArray(std::max<qint64>(0, QStorageInfo(disk).bytesAvailable() - 4096), 'x'));
        filler.close();
        if (output == QLatin1String("export over")) {
            QFile old(target);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("old contents");
        }
        QString error;
        bool written;
        if (output == QLatin1String("print"))
            written = StatementPrint::Write(target, StatementPrint::Text(sheet, last), &error);
        else
            written = WriteWorkbook(sheet, target, &error);
        QVERIFY(QFile::remove(filler.fileName()));
        QVERIFY(!written);
        const QString full = QStringLiteral("the disk that holds the folder ") + disk + QStringLiteral(" is full.");
        if (output == QLatin1String("print")) {
            QCOMPARE(error,
                     QStringLiteral("The print file ") + target + QStringLiteral(" could not be written: ") + full);
            QVERIFY(!QFile::exists(target));
        } else {
            QCOMPARE(error, QStringLiteral("The workbook ") + target + QStringLiteral(" could not be written: ") +
                                full +
                                (output == QLatin1String("export over")
                                     ? QStringLiteral("\nNothing was saved: the file of that name keeps what it held.")
                                     : QStringLiteral("\nNothing was saved.")) +
                                QStringLiteral(" Free some space on that disk, or choose another folder, and export "
                                               "again."));
            QFile kept(target);
            QCOMPARE(kept.exists(), output == QLatin1String("export over"));
            if (kept.open(QIODevice::ReadOnly))
                QCOMPARE(kept.readAll(), QByteArray("old contents"));
        }
        QCOMPARE(QDir(disk).entryList(QDir::Files).size(), output == QLatin1String("export over") ? 1 : 0);
        QFile::remove(target);
    }

    void outputFolder()
    {
        // The program's own folder when it can be written, else the user's data folder; the
        // installed copy always the data folder, though root can write its folder.
        QTemporaryDir own;
        QCOMPARE(OutputFolderFor(own.path()), QFileInfo(own.path()).absoluteFilePath());
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        const QString fallback = OutputFolderFor(QStringLiteral("/nonexistent/program/folder"));
        QCOMPARE(fallback, data);
        QVERIFY(QFileInfo(fallback).isDir());
        QCOMPARE(OutputFolderFor(own.path(), own.path() + QStringLiteral("/.")), data);
        QCOMPARE(OutputFolderFor(own.path(), own.path() + QStringLiteral("/elsewhere")),
                 QFileInfo(own.path()).absoluteFilePath());
    }

    void exportWorkbook()
    {
        AddRecord(1, QStringLiteral("E001"), QStringLiteral("FIRST RAMACHANDRAN VENKATARAMAN IYENGAR"), 1, kFrom,
                  QStringLiteral("emp_pf=2500.6, emp_hra=0"));
        RecordingPlatform rec;
        frmrptIT form;
        QVERIFY(ShowActive(form));
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("statement.xlsx"));

        // Nothing built yet.
        form.ui.CmExport->click();
        QCOMPARE(rec.lastMessage(), QStringLiteral("No details found.   "));
        QVERIFY(rec.saveRequests.isEmpty());

        form.ui.CmShow->click();
        rec.clear();
        rec.saveAnswers << dir.filePath(QStringLiteral("statement")); // the extension is added
        QTest::keyClick(&form, Qt::Key_F11);
        QVERIFY(rec.messages.isEmpty());
        QCOMPARE(rec.saveRequests.size(), 1);
        QCOMPARE(rec.saveRequests.at(0).folder, QDir(OutputFolder()).filePath(QStringLiteral("Excel Files")));
        QVERIFY(QDir(rec.saveRequests.at(0).folder).exists());
        QCOMPARE(rec.saveRequests.at(0).filter, QStringLiteral("Excel Files (*.xlsx)"));
        QCOMPARE(rec.saveRequests.at(0).proposedName, QStringLiteral("Income TaxStatement HO 01-Apr-2018.xlsx"));
        QVERIFY(QFile::exists(target));
        QVERIFY(!QFile::exists(target + QStringLiteral(".part")));
        QCOMPARE(form.findChild<QLabel *>("LbOutputFile")->text(), QStringLiteral("Exported to ") + target);
        QVERIFY(QApplication::overrideCursor() == nullptr);

        const QString sheetXml = WorkbookPart(target, QStringLiteral("xl/worksheets/sheet1.xml"));
        const QString styles = WorkbookPart(target, QStringLiteral("xl/styles.xml"));
        const QString strings = WorkbookPart(target, QStringLiteral("xl/sharedStrings.xml"));
        QVERIFY(sheetXml.contains(QStringLiteral("<c r=\"I6\" s=\"")));
        QVERIFY(sheetXml.contains(QStringLiteral("<v>2500.6</v>"))); // numbers stay numbers
        QVERIFY(sheetXml.contains(QStringLiteral("<v>1000</v>")));
        QVERIFY(sheetXml.contains(QStringLiteral("ht=\"25\" customHeight=\"1\""))); // row 1: 500 twips
        QVERIFY(sheetXml.contains(QStringLiteral("<cols>")));
        // Printed: A4 landscape, one page wide, the heading rows on every page, page numbers;
        // on screen the headings and the code and name columns stay in view.
        QVERIFY(sheetXml.contains(QStringLiteral("<pageSetUpPr fitToPage=\"1\"/>")));
        QVERIFY(sheetXml.contains(
            QStringLiteral("<pageSetup paperSize=\"9\" fitToHeight=\"0\" orientation=\"landscape\"/>")));
        QVERIFY(sheetXml.contains(QStringLiteral("<pane xSplit=\"2\" ySplit=\"5\" topLeftCell=\"C6\"")));
        QVERIFY(sheetXml.contains(QStringLiteral("<oddFooter>&amp;LIncome Tax Statement as on ")));
        QVERIFY(
            WorkbookPart(target, QStringLiteral("xl/workbook.xml"))
                .contains(QStringLiteral("<definedName name=\"_xlnm.Print_Titles\" localSheetId=\"0\">Sheet1!$4:$5")));
        // Columns about ten characters wide, not the screen's pixels, so that one page wide
        // stays legible; wider where an entry needs it (the 39-letter name).
        QList<double> widths;
        static const QRegularExpression col(QStringLiteral("<col min=\"\\d+\" max=\"\\d+\" width=\"([\\d.]+)\""));
        for (auto m = col.globalMatch(sheetXml); m.hasNext();)
            widths << m.next().captured(1).toDouble();
        QCOMPARE(widths.size(), 29);
        // (the tax per month, last, adds a column of some twelve characters)
        const double total = std::accumulate(widths.begin(), widths.end(), 0.0);
        QVERIFY2(widths[1] >= 39 && total < 330 + 12,
                 qPrintable(QString::number(widths[1]) + ' ' + QString::number(total)));
        QVERIFY(styles.contains(QStringLiteral("formatCode=\"#,##\"")));
        QVERIFY(styles.contains(QStringLiteral("<name val=\"Segoe UI\"/>")));
        QVERIFY(styles.contains(QStringLiteral("<sz val=\"14\"/>")));
        QVERIFY(styles.contains(QStringLiteral("<color rgb=\"FF000080\"/>")));   // navy
        QVERIFY(styles.contains(QStringLiteral("<fgColor rgb=\"FFC0C0C0\"/>"))); // silver fill
        QVERIFY(styles.contains(QStringLiteral("<left style=\"thin\">")));
        QVERIFY(strings.contains(QStringLiteral("ZN - CORPORATE")));
        QVERIFY(strings.contains(QStringLiteral("FIRST")));
        QVERIFY(strings.contains(QStringLiteral("Income Tax Statement as on ")));

        // Cancel, and the overwrite answered No, leave the old file as it was.
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old contents");
        old.close();
        rec.clear();
        form.ui.CmExport->click(); // no answer: cancelled
        QVERIFY(rec.messages.isEmpty());
        QVERIFY(rec.questions.isEmpty());
        rec.saveAnswers << target;
        rec.answers << false;
        form.ui.CmExport->click();
        QCOMPARE(rec.questions, QStringList{QStringLiteral("Are you sure you want to overwrite")});
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("old contents"));
        old.close();
        QVERIFY(QApplication::overrideCursor() == nullptr);

        // Yes replaces it.
        rec.saveAnswers << target;
        rec.answers << true;
        form.ui.CmExport->click();
        QVERIFY(old.open(QIODevice::ReadOnly));
        QVERIFY(old.readAll().startsWith("PK"));
        old.close();

        // A folder that cannot be written: the reason is shown, nothing else is touched.
        rec.clear();
        rec.saveAnswers << dir.filePath(QStringLiteral("missing/statement.xlsx"));
        form.ui.CmExport->click();
        QCOMPARE(rec.messages.size(), 1);
        QVERIFY(!rec.lastMessage().isEmpty());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(tst_Statement)
#include "tst_statement.moc"
