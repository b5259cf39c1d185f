// The year's tax certificates from the stored records: the text of the PDFs against the rows
// of the three layouts (Form 16 Part B of 2018-19, with the 115BAC question in 2025-26, Form
// 130 in 2026-27) under both regimes; records that do not add up refused with the reason;
// missing employer details refused before anything is written; the missing PAN, the missing
// record and a folder that cannot be written; and itbatch --certificates as a user runs it.
#include "CompanyTest.h"
#include "ModalDriver.h"
#include "RecordingPlatform.h"
#include "Screens.h"
#include "TestDb.h"

#include "DemoData.h"
#include "config/EmployerDetails.h"
#include "config/frmEmployerDetails.h"
#include "lookup/frmListView.h"
#include "reports/frmTaxCertificate.h"
#include "reports/CertificateRun.h"
#include "session/AppSettings.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/IncomeTaxBatch.h"
#include "tax/RegimeChoice.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kOld = QStringLiteral("1"), kNew = QStringLiteral("2"), kNoPay = QStringLiteral("3");

EmployerDetails::Details Employer()
{
    using EmployerDetails::Field;
    EmployerDetails::Details d;
    d.companyCode = QStringLiteral("C01");
    d[Field::Tan] = QStringLiteral("PNEZ01234K");
    d[Field::Pan] = QStringLiteral("AAACZ1234F");
    d[Field::Address] = QStringLiteral("12 Mill Road");
    d[Field::City] = QStringLiteral("Pune 411001");
    d[Field::ResponsibleName] = QStringLiteral("MEERA JOSHI");
    d[Field::FatherName] = QStringLiteral("VINAYAK JOSHI");
    d[Field::Designation] = QStringLiteral("Finance Manager");
    d[Field::SignPlace] = QStringLiteral("Pune");
    return d;
}

// A year beside the standard company's: the old regime's limits and slabs as in 2019-20, the
// new regime's figures of the Finance Act 2025 (kept for 2026-27), and the unit's row.
void AddYear(int y)
{
    const QString from = QStringLiteral("%1-04-01").arg(y), to = QStringLiteral("%1-03-31").arg(y + 1);
    TestDb::Exec(QStringLiteral("INSERT INTO dalvoni.ac_fin_year VALUES ('HO','%1','%2','%1','%2',0,1,'%3')")
                     .arg(from, to, QString::number(y)));
    const QString key = QStringLiteral("'%1','%2',").arg(from, to);
    TestDb::Exec(QStringLiteral("INSERT INTO hr0910.hr_it_setup VALUES (%1'80C_LIMIT',150000),(%1'HL_LIMIT',200000),"
                                "(%1'MC_LIMIT',25000),(%1'TAX_LIMIT',250000),(%1'REBATE',12500),(%1'CESS',4)")
                     .arg(key));
    TestDb::Exec(QStringLiteral("INSERT INTO hr0910.hr_it_slabs VALUES (%1 1,0,250000,0),(%1 2,250000,500000,5),"
                                "(%1 3,500000,1000000,20),(%1 4,1000000,99999999,30)")
                     .arg(key));
    TestDb::AddNewRegimeYear(*DemoData::NewRegimeYear(y), y);
}

// Months of pay from April of year y: basic, house-rent allowance of 40 %, provident fund of
// 12 %, profession tax 200 and income tax 1000 deducted.
void Pay(const QString &slno, int y, int months, double basic)
{
    for (int i = 0; i < months; ++i) {
        const QDate month = QDate(y, 4, 1).addMonths(i);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000001"), basic);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000019"), basic * 0.4);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000013"), 0, basic * 0.12);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000033"), 0, 200);
        TestDb::AddSalary(slno, month, QStringLiteral("OTH0000000030"), 0, 1000);
    }
}

void Declare(const QString &slno, int y, const QString &head, double amount)
{
    TestDb::Exec(
        QStringLiteral("INSERT INTO hr0910.hr_it_trans (emp_slno,emp_it_allowance_code,emp_amount,"
                       "emp_allowance_slno,emp_it_from,emp_it_to) VALUES ('%1','%2',%3,1,'%4-04-01','%5-03-31')")
            .arg(slno, head, PlainNumber(amount))
            .arg(y)
            .arg(y + 1));
}

// Runs the batch over the tax year of y, twice by default: the second run updates what the
// first inserted, as a payroll office does all year.
void Generate(int y, int runs = 2)
{
    IncomeTaxBatch::Request r;
    r.companyCode = QStringLiteral("C01");
    r.finYearFrom = r.from = QDate(y, 4, 1);
    r.finYearTo = r.to = QDate(y + 1, 3, 31);
    r.userId = QStringLiteral("1");
    r.today = QDate::currentDate();
    r.now = QTime::currentTime();
    RebateState state;
    for (int i = 0; i < runs; ++i)
        IncomeTaxBatch::Run(TestDb::Open(), r, state);
}

CertificateRun::Request Request(int y, const QString &folder, const QString &slno = QString())
{
    CertificateRun::Request r;
    r.data.companyCode = QStringLiteral("C01");
    r.data.slno = slno;
    r.data.finYearFrom = r.data.from = QDate(y, 4, 1);
    r.data.finYearTo = r.data.to = QDate(y + 1, 3, 31);
    r.data.issued = QDate(y + 1, 6, 10);
    r.folder = folder;
    return r;
}

// The text of a PDF as pdftotext lays it out: each printed line with its words, and each
// block of it that stands apart (the employer's and the employee's boxes side by side).
QStringList PdfText(const QString &file)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {QStringLiteral("pdftotext failed on ") + file};
    QStringList lines;
    static const QRegularExpression gap(QStringLiteral("\\s{3,}"));
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        if (line.simplified().isEmpty())
            continue;
        lines << line.simplified();
        const QStringList blocks = line.trimmed().split(gap);
        if (blocks.size() > 1)
            for (const QString &b : blocks)
                lines << b.simplified();
    }
    return lines;
}

// The expected lines not found; one that starts with "~" need only stand within a line (a
// label and its value in one of the boxes side by side).
QStringList Missing(const QStringList &lines, const QStringList &expected)
{
    QStringList missing;
    for (const QString &e : expected) {
        const bool found = e.startsWith(QLatin1Char('~')) ? !lines.filter(e.mid(1)).isEmpty() : lines.contains(e);
        if (!found)
            missing << e;
    }
    return missing;
}

// A high earner of year y under the old regime, paid 5,00,000 a month, and the old regime's
// surcharge bands of the Finance Act 2019 (10 % above 50 L, 15 % above 1 Cr, 25 % above 2 Cr,
// 37 % above 5 Cr).
void AddHighEarner(int y)
{
    const QString slno = QStringLiteral("4");
    TestDb::AddEmployee(slno, QStringLiteral("E"), QStringLiteral("004"), QStringLiteral("VIKRAM SETHI"));
    Pay(slno, y, 12, 500000);
    RegimeChoice::Save(TestDb::Open(), slno, QDate(y, 4, 1), QDate(y + 1, 3, 31), TaxRegime::Old,
                       {QStringLiteral("1"), QDateTime(QDate(y, 4, 3), QTime(9, 0))});
    TestDb::Exec(QStringLiteral("INSERT INTO hr0910.hr_it_old_regime_surcharge VALUES ('%1-04-01','%2-03-31',1,"
                                "5000000,10),('%1-04-01','%2-03-31',2,10000000,15),('%1-04-01','%2-03-31',3,"
                                "20000000,25),('%1-04-01','%2-03-31',4,50000000,37)")
                     .arg(y)
                     .arg(y + 1));
}

const CertificateRun::Entry *Find(const QList<CertificateRun::Entry> &entries, const QString &code)
{
    for (const CertificateRun::Entry &e : entries)
        if (e.code == code)
            return &e;
    return nullptr;
}

} // namespace

class TestCertificates : public CompanyTest
{
    Q_OBJECT

    void addCompanyData() override
    {
        EmployerDetails::Save(TestDb::Open(), Employer(),
                              {QStringLiteral("1"), QDateTime(QDate(2019, 4, 2), QTime(9, 0))});
        // 2018-19: the standard company's six months, finalised to September.
        TestDb::AddFinalize(QDate(2018, 9, 30));
        TestDb::AddPaidEmployee(kOld, QStringLiteral("001"), QStringLiteral("ASHA RAO"));
        TestDb::AddEmployee(kNew, QStringLiteral("E"), QStringLiteral("002"), QStringLiteral("RAVI KUMAR रवि"));
        TestDb::AddEmployee(kNoPay, QStringLiteral("E"), QStringLiteral("003"), QStringLiteral("NEW JOINER"));
        // 2025-26 paid and finalised to March; 2026-27 paid and finalised to September.
        AddYear(2025);
        AddYear(2026);
        TestDb::AddFinalize(QDate(2026, 3, 31));
        TestDb::AddFinalize(QDate(2026, 9, 30));
        Pay(kOld, 2025, 12, 50000);
        Pay(kNew, 2025, 12, 100000);
        Pay(kOld, 2026, 6, 50000);
        Pay(kNew, 2026, 6, 100000);
        Declare(kOld, 2025, QStringLiteral("ITA000001"), 30000);
        // The first employee keeps the old regime; the second has the year's default, the new one.
        for (int y : {2025, 2026})
            RegimeChoice::Save(TestDb::Open(), kOld, QDate(y, 4, 1), QDate(y + 1, 3, 31), TaxRegime::Old,
                               {QStringLiteral("1"), QDateTime(QDate(y, 4, 3), QTime(9, 0))});
    }

private slots:
    void layouts_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("expected"); // lines of the PDF's text
        QTest::addColumn<QStringList>("absent");   // texts no line holds
        QTest::addColumn<bool>("highEarner");      // with the employee of AddHighEarner

        // 2018-19, six months finalised: a projected computation on Form 16 of 2019, without the
        // question on section 115BAC. 8,40,000 - 1,200 - 40,000 - 72,000 = 7,26,800: 20 % above 5 L
        // plus 12,500; no rebate above 5 L; cess 4 %.
        QTest::newRow("2018-19 old regime") << 2018 << "E001"
                                            << QStringList{
                                                   "FORM NO. 16",
                                                   "PROJECTED COMPUTATION OF TAX ON SALARY (not a certificate)",
                                                   "Assessment Year 2019-20",
                                                   "~TAN of the Deductor PNEZ01234K",
                                                   "~PAN of the Employee PAN1",
                                                   "S.No. Particulars So far Projected Total Rs.",
                                                   "(a) Salary as per provisions contained in section 17(1) "
                                                   "4,20,000.00 4,20,000.00 8,40,000.00",
                                                   "(e) House rent allowance under section 10(13A) 0.00 0.00 0.00",
                                                   "(a) Standard deduction under section 16(ia) 40,000.00",
                                                   "(c) Tax on employment under section 16(iii) 1,200.00",
                                                   "Provident fund 36,000.00 36,000.00 72,000.00",
                                                   "12. Total taxable income (9-11) 7,26,800.00",
                                                   "13. Tax on total income 57,860.00",
                                                   "14. Rebate under section 87A, if applicable 0.00",
                                                   "15. Surcharge, wherever applicable 0.00",
                                                   "16. Health and education cess 2,314.40",
                                                   "17. Tax payable (13+15+16-14) 60,174.40",
                                                   "19. Net tax payable (17-18) 60,174.40",
                                                   "Tax deducted from salary so far 6,000.00",
                                                   "Balance of tax to be deducted (19 less tax deducted) 54,174.40",
                                               }
                                            << QStringList{"115BAC", "Verification"} << false;
        // 2025-26, the whole year finalised: the certificate. Old regime by choice: 8,40,000 -
        // 2,400 - 50,000 - (72,000 + 30,000) = 6,85,600.
        QTest::newRow("2025-26 old regime") << 2025 << "E001"
                                            << QStringList{
                                                   "FORM NO. 16",
                                                   "Details of Salary Paid and any other income and tax deducted",
                                                   "Assessment Year 2026-27",
                                                   "Whether opting out of taxation u/s 115BAC(1A)? Yes",
                                                   "S.No. Particulars Rs.",
                                                   "(a) Salary as per provisions contained in section 17(1) "
                                                   "8,40,000.00",
                                                   "(a) Standard deduction under section 16(ia) 50,000.00",
                                                   "(c) Tax on employment under section 16(iii) 2,400.00",
                                                   "Provident fund 72,000.00",
                                                   "LIC PREMIUM 30,000.00",
                                                   "12. Total taxable income (9-11) 6,85,600.00",
                                                   "13. Tax on total income 49,620.00",
                                                   "16. Health and education cess 1,984.80",
                                                   "17. Tax payable (13+15+16-14) 51,604.80",
                                                   "Verification",
                                                   "Place: Pune (Signature of person responsible for deduction of tax)",
                                                   "Date: 10-06-2026 Full Name: MEERA JOSHI",
                                               }
                                            << QStringList{"PROJECTED"} << false;
        // The new regime: 16,80,000 - 75,000 = 16,05,000; 5 % of 4 L + 10 % of 4 L + 15 % of 4 L
        // + 20 % of 5,000 = 1,21,000, no rebate above 12 L; no exemption or deduction but the
        // standard one.
        QTest::newRow("2025-26 new regime") << 2025 << "E002"
                                            << QStringList{
                                                   "Whether opting out of taxation u/s 115BAC(1A)? No",
                                                   "(a) Salary as per provisions contained in section 17(1) "
                                                   "16,80,000.00",
                                                   "(e) House rent allowance under section 10(13A) 0.00",
                                                   "(a) Standard deduction under section 16(ia) 75,000.00",
                                                   "(c) Tax on employment under section 16(iii) 0.00",
                                                   "12. Total taxable income (9-11) 16,05,000.00",
                                                   "13. Tax on total income 1,21,000.00",
                                                   "14. Rebate under section 87A, if applicable 0.00",
                                                   "16. Health and education cess 4,840.00",
                                                   "17. Tax payable (13+15+16-14) 1,25,840.00",
                                                   "Balance of tax to be deducted (19 less tax deducted) 1,13,840.00",
                                               }
                                            << QStringList{"PROJECTED"} << false;
        // A high earner under the old regime: 84,00,000 - 50,000 - 2,400 - 1,50,000 = 81,97,600;
        // 12,500 + 1,00,000 + 30 % of 71,97,600 = 22,71,780; surcharge 10 % above 50 L (no
        // marginal relief so far above it); cess 4 % of tax and surcharge.
        QTest::newRow("2025-26 old regime, surcharge")
            << 2025 << "E004"
            << QStringList{
                   "12. Total taxable income (9-11) 81,97,600.00",
                   "13. Tax on total income 22,71,780.00",
                   "15. Surcharge, wherever applicable 2,27,178.00",
                   "16. Health and education cess 99,958.32",
                   "17. Tax payable (13+15+16-14) 25,98,916.32",
               }
            << QStringList{"PROJECTED"} << true;
        // 2026-27, six months finalised: Form 130 of the 2025 Act, projected.
        QTest::newRow("2026-27 old regime") << 2026 << "E001"
                                            << QStringList{
                                                   "FORM NO. 130",
                                                   "Tax Year 2026-27",
                                                   "Whether opting out of taxation under section 202(1)? Yes",
                                                   "(a) Salary as per section 16 4,20,000.00 4,20,000.00 8,40,000.00",
                                                   "(a) Standard deduction under section 19 50,000.00",
                                                   "12. Total taxable income (9-11) 7,16,800.00",
                                                   "13. Tax on total income 55,860.00",
                                                   "14. Rebate under section 156, if applicable 0.00",
                                                   "17. Tax payable (13+15+16-14) 58,094.40",
                                               }
                                            << QStringList{"Assessment Year", "section 17(1)", "Verification"} << false;
        QTest::newRow("2026-27 new regime") << 2026 << "E002"
                                            << QStringList{
                                                   "FORM NO. 130",
                                                   "Whether opting out of taxation under section 202(1)? No",
                                                   "(a) Salary as per section 16 8,40,000.00 8,40,000.00 16,80,000.00",
                                                   "(a) Standard deduction under section 19 75,000.00",
                                                   "12. Total taxable income (9-11) 16,05,000.00",
                                                   "13. Tax on total income 1,21,000.00",
                                                   "17. Tax payable (13+15+16-14) 1,25,840.00",
                                               }
                                            << QStringList{"Assessment Year"} << false;
    }
    void layouts()
    {
        QFETCH(int, year);
        QFETCH(QString, code);
        QFETCH(QStringList, expected);
        QFETCH(QStringList, absent);
        QFETCH(bool, highEarner);
        if (highEarner)
            AddHighEarner(year);
        Generate(year);
        QTemporaryDir dir;
        const CertificateRun::Result r = CertificateRun::Run(TestDb::Open(), Request(year, dir.path()));
        QVERIFY2(r.refused.isEmpty(), qPrintable(CertificateRun::EntryLines(r).join('\n')));
        const QStringList text = PdfText(dir.filePath(code + QStringLiteral(".pdf")));
        if (!Missing(text, expected).isEmpty())
            qWarning().noquote() << text.join('\n');
        QVERIFY2(Missing(text, expected).isEmpty(), qPrintable(Missing(text, expected).join('\n')));
        for (const QString &a : absent)
            QVERIFY2(!text.join('\n').contains(a), qPrintable(a));
        // The file of them all holds every certificate written, in the order of the codes.
        const QStringList all =
            PdfText(dir.filePath(QStringLiteral("C01_%1-04-01_%2-03-31.pdf").arg(year).arg(year + 1)));
        QCOMPARE(all.filter(QRegularExpression(QStringLiteral("^FORM NO\\. 1(6|30)$"))).size(), r.written);
        // Every file, each employee's cut out of the drawing of several, is a sound PDF.
        for (const QString &f : QDir(dir.path()).entryList({QStringLiteral("*.pdf")}, QDir::Files)) {
            QProcess check;
            check.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), dir.filePath(f)});
            QVERIFY(check.waitForFinished(30000));
            QVERIFY2(check.exitCode() == 0, qPrintable(f + QLatin1Char(' ') + check.readAllStandardOutput()));
        }
    }

    // What a certificate never shows: figures that do not add up. The record is refused, named
    // with the reason, and no file of it is written; the other employee's is.
    void refusals_data()
    {
        QTest::addColumn<int>("runs");
        QTest::addColumn<QString>("change"); // SQL on the first employee's record, or a declaration
        QTest::addColumn<QString>("reason");
        const QString tax = "emp_net_taxable_amt";
        const QString consistent =
            ", emp_cess=round(emp_net_taxable_amt*4/100,2), emp_payable=emp_net_taxable_amt+emp_cess, "
            "emp_balance=emp_payable-emp_sal_cut";
        // Earlier versions' first runs left the 80C figures and the taxable amount at 0; a first
        // run now stores them, and its records are certified at once.
        QTest::newRow("first run of an earlier version") << 1 << "set emp_80c_total=0, emp_80c_net=0, emp_taxable_amt=0"
                                                         << "it was stored by a first run";
        QTest::newRow("first run") << 1 << ""
                                   << "";
        QTest::newRow("negative rebate") << 2 << "set " + tax + "=" + tax + "+1000" + consistent
                                         << "so that the rebate would be negative";
        QTest::newRow("rebate the year does not allow") << 2 << "set " + tax + "=" + tax + "-1000" + consistent
                                                        << "would need a rebate of 1,000.00, and the year allows 0.00";
        QTest::newRow("payable not tax and cess") << 2 << "set emp_payable=emp_payable+1"
                                                  << "is not its tax and cess";
        QTest::newRow("cess not the year's") << 2 << "set emp_cess=emp_cess+1, emp_payable=emp_payable+1"
                                             << "is not 4 % of its tax";
        QTest::newRow("interest declared since") << 2 << "set emp_hl_int=50000"
                                                 << "its taxable amount (6,85,600.00)";
        QTest::newRow("declarations changed since") << 2 << "declare"
                                                    << "its 80C total (1,02,000.00)";
    }
    void refusals()
    {
        QFETCH(int, runs);
        QFETCH(QString, change);
        QFETCH(QString, reason);
        Generate(2025, runs);
        if (change == QLatin1String("declare"))
            Declare(kOld, 2025, QStringLiteral("ITA000001"), 5000);
        else if (!change.isEmpty())
            TestDb::Exec(QStringLiteral("UPDATE hr0910.hr_it ") + change + QStringLiteral(" where emp_slno='1'"));
        QTemporaryDir dir;
        const CertificateRun::Result r = CertificateRun::Run(TestDb::Open(), Request(2025, dir.path()));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("E002.pdf"))));
        const CertificateRun::Entry *refused = Find(r.refused, QStringLiteral("E001"));
        if (reason.isEmpty()) {
            QVERIFY2(!refused, refused ? qPrintable(refused->reason) : "");
            QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("E001.pdf"))));
            return;
        }
        QVERIFY(refused);
        QVERIFY2(refused->reason.contains(reason), qPrintable(refused->reason));
        QVERIFY(refused->reason.endsWith(QLatin1String("generate the records again")));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("E001.pdf"))));
    }

    // Without complete employer details nothing is written, not even the folder; the message
    // names what is missing.
    void employerDetails_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("message");
        QTest::newRow("none entered") << "DELETE FROM hr0910.hr_it_employer"
                                      << "have not been entered";
        QTest::newRow("no TAN") << "UPDATE hr0910.hr_it_employer SET tan=''"
                                << "the TAN is missing";
        QTest::newRow("no father's name") << "UPDATE hr0910.hr_it_employer SET resp_father_name=' '"
                                          << "the father's name of the person responsible is missing";
        QTest::newRow("PAN of another form") << "UPDATE hr0910.hr_it_employer SET pan='AAAC1234F'"
                                             << "the PAN \"AAAC1234F\" is not five letters";
    }
    void employerDetails()
    {
        QFETCH(QString, change);
        QFETCH(QString, message);
        Generate(2025);
        TestDb::Exec(change);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Certificates"));
        try {
            CertificateRun::Run(TestDb::Open(), Request(2025, folder));
            QFAIL("written without the employer's details");
        } catch (const CertificateData::Problem &e) {
            QVERIFY2(e.text().contains(message), qPrintable(e.text()));
            QVERIFY(e.text().contains(QLatin1String("Master: Employer Details")));
        }
        QVERIFY(!QFileInfo::exists(folder));
    }

    // No PAN: written and flagged; no tax record: skipped and named; a folder that cannot be made:
    // the system's reason.
    void badInput()
    {
        Generate(2025);
        TestDb::Exec("UPDATE hr0910.hr_employee SET emp_pan=NULL WHERE emp_slno='2'");
        QTemporaryDir dir;
        const CertificateRun::Result r = CertificateRun::Run(TestDb::Open(), Request(2025, dir.path()));
        QCOMPARE(r.selected, 3);
        QCOMPARE(r.written, 2);
        QVERIFY(Find(r.withoutPan, QStringLiteral("E002")));
        QVERIFY(Find(r.skipped, QStringLiteral("E003")));
        QVERIFY2(CertificateRun::SummaryText(r).startsWith(
                     "2 of 3 written, 0 refused, 1 skipped without a tax record; 1 without a PAN (tax at 20 % may be "
                     "due under section 206AA)"),
                 qPrintable(CertificateRun::SummaryText(r)));
        const QStringList text = PdfText(dir.filePath(QStringLiteral("E002.pdf")));
        QCOMPARE(Missing(text, {"~PAN of the Employee PANNOTAVBL"}), QStringList());
        QVERIFY(text.join(' ').contains(QLatin1String("section 206AA")));
        // The name in Devanagari is drawn with a font that has its letters.
        QProcess fonts;
        fonts.start(QStringLiteral("pdffonts"), {dir.filePath(QStringLiteral("E002.pdf"))});
        QVERIFY(fonts.waitForFinished(30000));
        QVERIFY(QString::fromUtf8(fonts.readAllStandardOutput()).contains(QLatin1String("NotoSansDevanagari")));
        // Nothing is left under a temporary name.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);

        QFile file(dir.filePath(QStringLiteral("plain-file")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        try {
            CertificateRun::Run(TestDb::Open(), Request(2025, file.fileName() + QStringLiteral("/Certificates")));
            QFAIL("written into a folder that cannot be made");
        } catch (const CertificateRun::Error &e) {
            QVERIFY2(e.text().contains(QLatin1String("could not be made (Not a directory)")), qPrintable(e.text()));
        }
    }

    // itbatch --certificates: one line per employee not written, the summary, and 0 only when
    // every employee selected was written.
    void commandLine()
    {
        Generate(2025);
        AppSettings::Save(QString::fromLatin1(AppSettings::kServerSection),
                          QString::fromLatin1(AppSettings::kServerKey), QStringLiteral("127.0.0.1"));
        AppSettings::Save(QString::fromLatin1(AppSettings::kWorkstationSection),
                          QString::fromLatin1(AppSettings::kUnitKey), QStringLiteral("HO"));
        QTemporaryDir dir;
        auto itbatch = [&](const QStringList &extra) {
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("INCOMETAX_PASSWORD"), QStringLiteral("clerk"));
            env.remove(QStringLiteral("QT_QPA_PLATFORM"));
            p.setProcessEnvironment(env);
            p.start(QStringLiteral(IT_BINARY_DIR "/tools/itbatch/itbatch"),
                    QStringList{"--company", "C01", "--user", "clerk", "--year", "2025-04-01", "--certificates",
                                dir.path()} +
                        extra);
            p.closeWriteChannel();
            p.waitForFinished(120000);
            return std::pair{p.exitCode(),
                             QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError())};
        };
        const auto [all, allOut] = itbatch({});
        QCOMPARE(all, 6);
        QVERIFY2(allOut.contains(QLatin1String("E003 NEW JOINER: skipped: no tax record for the period")),
                 qPrintable(allOut));
        QVERIFY2(allOut.contains(QLatin1String("2 of 3 written, 0 refused, 1 skipped")), qPrintable(allOut));
        QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("C01_2025-04-01_2026-03-31.pdf"))));

        QDir(dir.path()).removeRecursively();
        const auto [one, oneOut] = itbatch({"--employee", "1"});
        QCOMPARE(one, 0);
        QVERIFY2(oneOut.contains(QLatin1String("1 of 1 written")), qPrintable(oneOut));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"E001.pdf"});

        TestDb::Exec("UPDATE hr0910.hr_it_employer SET city=''");
        const auto [details, detailsOut] = itbatch({});
        QCOMPARE(details, 4);
        QVERIFY2(detailsOut.contains(QLatin1String("the city is missing")), qPrintable(detailsOut));
    }

    // The screen: F1 picks one employee, F5 writes, the folder is opened at the end; Escape
    // stops a company run before its next certificate and, once it has stopped, closes the screen.
    void screen()
    {
        Generate(2018);
        RecordingPlatform desktop;
        QTemporaryDir dir;
        frmTaxCertificate f;
        f.setAttribute(Qt::WA_DeleteOnClose, false);
        QVERIFY(ShowActive(f));
        QCOMPARE(f.ui.DtFrom->date(), QDate(2018, 4, 1));
        QVERIFY(f.ui.TxFolder->text().endsWith(QLatin1String("Certificates")));
        f.ui.TxFolder->setText(dir.path());
        QTest::keyClicks(f.ui.TxEmpCode, "001");
        WhenModalShown<frmListView>([](frmListView *d) { QTest::keyClick(d->ui.TxtSearch, Qt::Key_Return); });
        QTest::keyClick(f.ui.TxEmpCode, Qt::Key_F1);
        QCOMPARE(f.ui.LbName->text(), "ASHA RAO");
        QVERIFY(f.ui.OptEmployee->isChecked());
        QVERIFY(ShowActive(f)); // the list has closed
        QSignalSpy ended(&f, &frmTaxCertificate::runEnded);
        QTest::keyClick(f.ui.TxFolder, Qt::Key_F5);
        QVERIFY2(ended.wait(60000), qPrintable(desktop.lastMessage() + " / " + f.ui.LbSummary->text()));
        QVERIFY2(f.ui.LbSummary->text().contains(QLatin1String("1 of 1 written")), qPrintable(f.ui.LbSummary->text()));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"E001.pdf"});
        QCOMPARE(desktop.openedUrls, QStringList{QUrl::fromLocalFile(dir.path()).toString()});

        QTest::keyClick(f.ui.OptCompany, Qt::Key_Space);
        QVERIFY(f.ui.OptCompany->isChecked());
        f.CmWrite_Click();
        QVERIFY(f.isRunning());
        QVERIFY(!f.ui.CmWrite->isEnabled());
        QTest::keyClick(f.ui.CmCancel, Qt::Key_Escape);
        QVERIFY(ended.wait(60000));
        QVERIFY2(f.ui.LbSummary->text().contains(QLatin1String("stopped before the end")),
                 qPrintable(f.ui.LbSummary->text()));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("C01_2018-04-01_2019-03-31.pdf"))));
        QVERIFY(f.isVisible());
        QTest::keyClick(f.ui.CmWrite, Qt::Key_Escape);
        QVERIFY(!f.isVisible());
    }

    // The Master screen of the details: a format the certificate cannot carry is refused with the
    // cursor on it; a save stores them with who changed them.
    void employerScreen()
    {
        RecordingPlatform desktop;
        frmEmployerDetails f;
        f.setAttribute(Qt::WA_DeleteOnClose, false);
        QCOMPARE(f.ui.TxTan->text(), "PNEZ01234K");
        QVERIFY(f.unsavedChanges().isEmpty());
        f.ui.TxTan->setText("pnez0123k");
        QVERIFY(!f.unsavedChanges().isEmpty());
        f.CmSave_Click();
        QVERIFY2(desktop.lastMessage().startsWith("The TAN \"pnez0123k\" is not four letters"),
                 qPrintable(desktop.lastMessage()));
        f.ui.TxTan->setText("pnez01235k");
        f.CmSave_Click();
        QCOMPARE(TestDb::Scalar("SELECT concat(tan,'/',modified_by) FROM hr0910.hr_it_employer").toString(),
                 "PNEZ01235K/1");
        QCOMPARE(f.ui.TxTan->text(), "PNEZ01235K");
        QVERIFY(f.unsavedChanges().isEmpty());
        QVERIFY(f.ui.LbChanged->text().startsWith("Last changed by admin"));
    }
};

QTEST_MAIN(TestCertificates)
#include "tst_certificates.moc"
