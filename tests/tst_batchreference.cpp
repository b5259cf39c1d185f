// The company run read in sets against its reference, the run of one employee at a time:
// generated employees and the cases where the two could part, the same runs one after the
// other, and then every column of every tax record, the counts and the slabs and rebate left
// for the next run compared. The same company's records of the old regime against those the
// batch stored before there were regimes (tests/golden/batch-old-regime.txt).
#include "CompanyTest.h"
#include "DemoData.h"
#include "TestDb.h"

#include "session/Common.h"
#include "tax/IncomeTaxBatch.h"
#include "tax/RegimeChoice.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

namespace {

const QStringList kRecordColumns = {
    "emp_slno",         "emp_code",     "comp_code",       "emp_months_rem", "emp_gross",           "emp_gross_proj",
    "emp_hra",          "emp_hra_proj", "emp_pf",          "emp_pf_proj",    "emp_pro_tax",         "emp_hl_int",
    "emp_hl_int_limit", "emp_mc",       "emp_mc_limit",    "emp_ta",         "emp_ta_proj",         "emp_80c_total",
    "emp_80c_limit",    "emp_80c_net",  "emp_taxable_amt", "emp_excemption", "emp_net_taxable_amt", "emp_cess",
    "emp_payable",      "emp_sal_cut",  "emp_balance",     "emp_it_from",    "emp_it_to",           "created_by",
    "created_date",     "created_time",
};

// The rows of the generated company, each table written with one statement.
struct Company
{
    QStringList employees, salary, bonus, declarations, records;
    int decimals = 2;
    QRandomGenerator rng;

    QString amount(double value) const { return QString::number(value, 'f', decimals); }
    // A random amount of up to `decimals` places; ties of the rounding (…5) come up often.
    QString randomAmount(double base)
    {
        const double unit = std::pow(10.0, -decimals);
        return amount(std::round((base + rng.bounded(1000) * 0.37) / unit) * unit +
                      unit * (rng.bounded(3) == 0 ? 5 : 0));
    }
    void employee(const QString &slno, const QString &unit = "HO", int flag = 0, const QString &comp = "C01")
    {
        employees << QStringLiteral("('%1','E','%2','NAME %2','PAN','D1','P1','%3','%4',0,%5)")
                         .arg(SqlEscape(slno), SqlEscape(slno), unit, comp)
                         .arg(flag);
    }
    void pay(const QString &slno, const QDate &month, const QString &head, const QString &dr, const QString &cr = "0")
    {
        salary << QStringLiteral("('%1','%2',%3,%4,'%5')").arg(SqlEscape(slno), head, dr, cr, SqlDate(month));
    }
    // A month's pay: basic, DA, house-rent allowance, transport or conveyance, overtime (not
    // gross pay), provident fund, profession tax and income tax.
    void month(const QString &slno, const QDate &m, double basic)
    {
        pay(slno, m, "OTH0000000001", randomAmount(basic));
        pay(slno, m, "OTH0000000002", randomAmount(basic / 5));
        pay(slno, m, "OTH0000000019", randomAmount(basic * 0.4));
        pay(slno, m, rng.bounded(2) ? "OTH0000000023" : "OTH0000000048", randomAmount(1600 + rng.bounded(2) * 800));
        if (rng.bounded(3) == 0)
            pay(slno, m, "OTH0000000040", randomAmount(900));
        pay(slno, m, "OTH0000000041", randomAmount(700));
        pay(slno, m, "OTH0000000013", "0", randomAmount(basic * 0.12));
        pay(slno, m, "OTH0000000033", "0", m.month() == 2 ? "300" : "200");
        pay(slno, m, "OTH0000000030", "0", randomAmount(basic * 0.05));
    }
    void months(const QString &slno, const QDate &first, int count, double basic)
    {
        for (int i = 0; i < count; ++i)
            month(slno, first.addMonths(i), basic);
    }
    void declare(const QString &slno, const QString &head, const QString &amountText, const QDate &from,
                 const QDate &to)
    {
        declarations << QStringLiteral("('%1','%2',%3,%4,'%5','%6')")
                            .arg(SqlEscape(slno), head, amountText)
                            .arg(declarations.size() + 1)
                            .arg(SqlDate(from), SqlDate(to));
    }
    void record(const QString &slno, const QDate &from, const QDate &to, const QString &hlInt, const QString &mc)
    {
        records << QStringLiteral("('%1','C01',%2,%3,4321,'%4','%5')")
                       .arg(SqlEscape(slno), hlInt, mc, SqlDate(from), SqlDate(to));
    }
    void write() const
    {
        const auto insert = [](const QString &head, const QStringList &rows) {
            if (!rows.isEmpty())
                TestDb::Exec(head + rows.join(QLatin1Char(',')));
        };
        insert("INSERT INTO hr0910.hr_employee VALUES ", employees);
        insert("INSERT INTO hr0910.hr_emp_salary (emp_slno,emp_sal_type,emp_sal_dr,emp_sal_cr,emp_sal_date_from) "
               "VALUES ",
               salary);
        insert("INSERT INTO hr0910.hr_emp_bonus (emp_slno,emp_bonus,emp_date) VALUES ", bonus);
        insert("INSERT INTO hr0910.hr_it_trans (emp_slno,emp_it_allowance_code,emp_amount,emp_allowance_slno,"
               "emp_it_from,emp_it_to) VALUES ",
               declarations);
        insert("INSERT INTO hr0910.hr_it (emp_slno,comp_code,emp_hl_int,emp_mc,emp_gross,emp_it_from,emp_it_to) "
               "VALUES ",
               records);
    }
};

const QDate Apr17(2017, 4, 1), Mar18(2018, 3, 31), Apr18(2018, 4, 1), Sep18(2018, 9, 30), Oct18(2018, 10, 1),
    Mar19(2019, 3, 31);

// The boundary cases, then employees drawn at random.
void AddCompany(int decimals, int randomEmployees)
{
    Company c;
    c.decimals = decimals;
    c.rng.seed(20181015);

    // Rent: two rows of the year (the last read counts) and a 80C line.
    c.employee("R1");
    c.months("R1", Apr18, 6, 42000);
    c.declare("R1", "ITA000005", "50000", Apr18, Mar19);
    c.declare("R1", "ITA000005", "1000", Apr18, Mar19);
    c.declare("R1", "ITA000001", "20000", Apr18, Mar19);
    // Nulls among the declarations, and a line of the year before.
    c.employee("R2", "MUM");
    c.months("R2", Apr17, 18, 55000);
    c.declare("R2", "ITA000005", "NULL", Apr18, Mar19);
    c.declare("R2", "ITA000001", "NULL", Apr18, Mar19);
    c.declare("R2", "ITA000001", "35000", Apr17, Mar18);
    // Declarations of a part of the year, stored before those of the whole year.
    c.employee("R3", "CHN");
    c.months("R3", Apr18, 6, 61000);
    c.declare("R3", "ITA000005", "90000", Oct18, Mar19);
    c.declare("R3", "ITA000005", "120000", Apr18, Mar19);
    c.declare("R3", "ITA000002", "15000", Apr18, Mar19);
    // Skipped: only heads that are not gross pay; only a bonus and a record; visible heads without amounts.
    c.employee("S1");
    c.pay("S1", Apr18, "OTH0000000041", "5000");
    c.bonus << "('S1',10000,'2018-09-12')";
    c.employee("S2");
    c.bonus << "('S2',7000,'2018-09-12')";
    c.record("S2", Apr18, Mar19, "100", "200");
    c.employee("S3");
    c.pay("S3", Apr18, "OTH0000000001", "NULL");
    c.pay("S3", QDate(2018, 5, 1), "OTH0000000002", "NULL");
    // Null amounts among the salary lines: a month whose gross is null still counts.
    c.employee("N1");
    c.months("N1", Apr18, 5, 38000);
    c.pay("N1", Sep18, "OTH0000000001", "NULL");
    c.pay("N1", Sep18, "OTH0000000013", "0", "NULL");
    c.pay("N1", Sep18, "OTH0000000013", "NULL", "NULL");
    // Two records of the period, as a server without the records' unique key may hold them:
    // both updated, the first one's interest and premium kept.
    TestDb::WithoutTaxRecordKey();
    c.employee("D1");
    c.months("D1", Apr18, 6, 47000);
    c.record("D1", Apr18, Mar19, "NULL", "NULL");
    c.record("D1", Apr18, Mar19, "5000", "3000");
    // Records of other periods: the year before, half of the year, and one reaching past its end.
    c.employee("P1");
    c.months("P1", Apr17, 18, 52000);
    c.record("P1", Apr17, Mar18, "90000", "9000");
    c.record("P1", QDate(2018, 4, 1), QDate(2019, 4, 30), "1", "7777");
    c.record("P1", Apr18, Sep18, "45000", "12000");
    // A half-year record before the year's record, which holds the declared premium and interest.
    c.employee("P2");
    c.months("P2", Apr18, 6, 90000);
    c.record("P2", Apr18, Sep18, "0", "0");
    c.record("P2", Apr18, Mar19, "150000", "25000");
    // Pay of crores: the surcharge bands of the new regime.
    c.employee("H1", "DLH");
    c.months("H1", Apr18, 6, 420000);
    // Texts that must reach the server intact, and rows stored with another case or a trailing blank.
    c.employee("Q'1\\");
    c.months("Q'1\\", Apr18, 6, 33000);
    c.declare("Q'1\\", "ITA000005", "60000", Apr18, Mar19);
    c.employee("C1", "KOL");
    c.months("c1", Apr18, 3, 41000);
    c.months("C1 ", QDate(2018, 7, 1), 3, 41000);
    c.declare("c1", "ITA000005", "100000", Apr18, Mar19);
    c.record("c1", Apr18, Mar19, "20000", "10000");
    // Not selected: out of service, and of another company.
    c.employee("F1", "HO", 1);
    c.months("F1", Apr18, 6, 30000);
    c.employee("X1", "HO", 0, "C02");
    c.months("X1", Apr18, 6, 30000);

    for (int i = 0; i < randomEmployees; ++i) {
        const QString slno = QStringLiteral("G%1").arg(i, 3, 10, QLatin1Char('0'));
        static const char *const units[] = {"HO", "MUM", "DLH", "PUN"};
        c.employee(slno, units[c.rng.bounded(4)]);
        const QDate first = Apr17.addMonths(c.rng.bounded(24));
        c.months(slno, first, 1 + c.rng.bounded(18), 15000 + c.rng.bounded(110000));
        if (c.rng.bounded(3) == 0)
            c.bonus << QStringLiteral("('%1',%2,'2018-09-12'),('%1',%3,'2017-10-14')")
                           .arg(slno, c.randomAmount(20000), c.randomAmount(15000));
        for (const QDate &year : {Apr17, Apr18}) {
            const QDate end = year.addYears(1).addDays(-1);
            if (c.rng.bounded(2))
                c.declare(slno, "ITA000005", c.rng.bounded(10) ? c.randomAmount(150000) : "NULL", year, end);
            if (c.rng.bounded(2))
                c.declare(slno, "ITA000001", c.randomAmount(40000), year, end);
            if (c.rng.bounded(4) == 0)
                c.declare(slno, "ITA000004", c.randomAmount(90000), year, end);
            switch (c.rng.bounded(4)) {
            case 0:
                c.record(slno, year, end, c.randomAmount(250000), c.rng.bounded(5) ? c.randomAmount(30000) : "NULL");
                break;
            case 1:
                c.record(slno, year, year.addMonths(6).addDays(-1), c.randomAmount(10000), c.randomAmount(9000));
                break;
            default:
                break;
            }
        }
    }
    c.write();
    TestDb::AddFinalize(QDate(2017, 6, 30));
    TestDb::AddFinalize(QDate(2017, 12, 31));
    TestDb::AddFinalize(Sep18);
}

// The payroll's amount columns as another server of the suite may hold them.
void AmountColumns(const QString &type)
{
    TestDb::Exec(QStringLiteral("ALTER TABLE hr0910.hr_emp_salary MODIFY emp_sal_dr %1 NULL, MODIFY emp_sal_cr %1 NULL")
                     .arg(type));
    TestDb::Exec(QStringLiteral("ALTER TABLE hr0910.hr_emp_bonus MODIFY emp_bonus %1 NULL").arg(type));
    TestDb::Exec(QStringLiteral("ALTER TABLE hr0910.hr_it_trans MODIFY emp_amount %1 NULL").arg(type));
}

// Runs one after the other, the slabs and rebate carried as on one open screen; each run's counts.
QStringList Runs(const QStringList &runs, bool perEmployee, int perSet, int perStatement, RebateState &state)
{
    QStringList counts;
    for (const QString &run : runs) {
        const QStringList dates = run.split(QLatin1Char(' '));
        IncomeTaxBatch::Request r = IncomeTaxBatch::SessionRequest(QDate::fromString(dates[1], Qt::ISODate),
                                                                   QDate::fromString(dates[2], Qt::ISODate), {});
        r.finYearFrom = QDate::fromString(dates[0], Qt::ISODate);
        r.finYearTo = r.finYearFrom.addYears(1).addDays(-1);
        r.today = QDate(2018, 10, 15);
        r.now = QTime(10, 20, 30);
        r.perEmployee = perEmployee;
        r.employeesPerSet = perSet;
        r.rowsPerStatement = perStatement;
        const IncomeTaxBatch::Result result = IncomeTaxBatch::Run(TestDb::Open(), r, state);
        counts << QStringLiteral("%1: %2 selected, %3 inserted, %4 updated, %5 skipped")
                      .arg(run)
                      .arg(result.selected)
                      .arg(result.inserted)
                      .arg(result.updated)
                      .arg(result.skipped);
        if (result.newRegimeYear)
            counts << QStringLiteral("%1: %2 under the new regime").arg(run).arg(result.newRegime);
    }
    return counts;
}

QList<QStringList> Records()
{
    return TestDb::AllRows("hr0910.hr_it ORDER BY emp_slno,emp_it_from,emp_it_to,emp_it_id", kRecordColumns);
}

QStringList StateLines(const RebateState &state)
{
    QStringList lines{QStringLiteral("rebate=%1").arg(PlainNumber(state.rebate))};
    for (const TaxSlab &s : state.slabs)
        lines << QStringLiteral("slab=%1..%2 at %3").arg(PlainNumber(s.start), PlainNumber(s.end), PlainNumber(s.rate));
    return lines;
}

// What a sequence of runs leaves: every record, each run's counts, the slabs and the rebate.
QStringList RunAll(const QStringList &runs, bool perEmployee, int perSet, int perStatement)
{
    RebateState state;
    QStringList outcome = Runs(runs, perEmployee, perSet, perStatement, state);
    // One entry a column, so that a difference names its record and column.
    for (const QStringList &row : Records()) {
        const QString record = row[0] + QLatin1Char(' ') + row[kRecordColumns.indexOf("emp_it_from")] +
                               QLatin1Char(' ') + row[kRecordColumns.indexOf("emp_it_to")] + QStringLiteral(": ");
        for (const QString &column : row)
            outcome << record + column;
    }
    return outcome + StateLines(state);
}

// The new regime's figures of a financial year (those of 2025-26), with its default regime.
void NewRegimeYear(int firstYear, TaxRegime defaultRegime)
{
    NewRegimeSetup::Year year = *DemoData::NewRegimeYear(2025);
    year.defaultRegime = defaultRegime;
    NewRegimeSetup::Save(TestDb::Open(), year, QDate(firstYear, 4, 1), QDate(firstYear + 1, 3, 31),
                         {QStringLiteral("1"), QDateTime(QDate(firstYear, 4, 2), QTime(9, 0))});
}

// Employees' own regimes for a financial year.
void Choose(int firstYear, TaxRegime regime, const QStringList &slnos)
{
    for (const QString &slno : slnos)
        RegimeChoice::Save(TestDb::Open(), slno, QDate(firstYear, 4, 1), QDate(firstYear + 1, 3, 31), regime,
                           {QStringLiteral("2"), QDateTime(QDate(firstYear, 4, 10), QTime(11, 30))});
}

// Every n-th generated employee from the first.
QStringList Generated(int first, int step)
{
    QStringList slnos;
    for (int i = first; i < 60; i += step)
        slnos << QStringLiteral("G%1").arg(i, 3, 10, QLatin1Char('0'));
    return slnos;
}

// The new regime in the runs of the reference test:
// - "new default": 2018-19 has the new regime's figures and it is the default; some employees
//   keep the old one (one of them by his key in another case);
// - "old default": 2019-20 has them with the old regime the default; some employees choose the
//   new one, among them the high earner and one without pay; 2017-18 and 2018-19 have none, so
//   that choices stored for them count for nothing.
void AddRegimes(const QString &kind)
{
    if (kind == QLatin1String("new default")) {
        NewRegimeYear(2018, TaxRegime::New);
        Choose(2018, TaxRegime::Old,
               Generated(1, 3) << "R1"
                               << "D1"
                               << "c1");
        Choose(2018, TaxRegime::New, Generated(2, 6) << "R2");
    } else if (kind == QLatin1String("old default")) {
        NewRegimeYear(2019, TaxRegime::Old);
        Choose(2019, TaxRegime::New,
               Generated(2, 3) << "H1"
                               << "R3"
                               << "S1"
                               << "P2");
        Choose(2019, TaxRegime::Old, Generated(0, 5));
        Choose(2018, TaxRegime::New, Generated(0, 2));
        Choose(2017, TaxRegime::New, Generated(1, 2));
    }
}

// The runs whose records the batch stored before there were regimes: a transport year, then the
// next year inserted and updated.
const QStringList kOldRegimeRuns = {"2017-04-01 2017-04-01 2018-03-31", "2018-04-01 2018-04-01 2019-03-31",
                                    "2018-04-01 2018-04-01 2019-03-31"};
const QString kOldRegimeGolden = QStringLiteral(IT_SOURCE_DIR "/tests/golden/batch-old-regime.txt");

} // namespace

class TestBatchReference : public CompanyTest
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        AmountColumns("DECIMAL(15,2)");
        TestDb::WithTaxRecordKey();
    }

    void setsMatchTheRunOfOneEmployeeAtATime_data()
    {
        QTest::addColumn<QString>("amounts"); // the type of the payroll's amount columns
        QTest::addColumn<int>("decimals");
        QTest::addColumn<int>("perSet");
        QTest::addColumn<int>("perStatement");
        QTest::addColumn<QStringList>("runs"); // financial year, period start and end
        QTest::addColumn<QString>("regimes");  // the new regime's figures and choices, see AddRegimes
        const QStringList taxYearTwice = {"2018-04-01 2018-04-01 2019-03-31", "2018-04-01 2018-04-01 2019-03-31"};
        const QStringList years = {"2017-04-01 2017-04-01 2018-03-31", "2017-04-01 2017-04-01 2017-09-30",
                                   "2018-04-01 2018-04-01 2019-03-31", "2018-04-01 2018-04-01 2018-09-30",
                                   "2019-04-01 2018-04-01 2019-03-31"};
        QTest::newRow("tax year twice, one set") << "DECIMAL(15,2)" << 2 << 2000 << 1000 << taxYearTwice << "";
        QTest::newRow("tax year twice, sets of 7, 3 rows a statement")
            << "DECIMAL(15,2)" << 2 << 7 << 3 << taxYearTwice << "";
        QTest::newRow("transport year, half years, next year's rules")
            << "DECIMAL(15,2)" << 2 << 11 << 1000 << years << "";
        QTest::newRow("payroll amounts of four decimals") << "DECIMAL(15,4)" << 4 << 13 << 5 << years << "";
        QTest::newRow("payroll amounts as doubles") << "DOUBLE" << 3 << 2000 << 1000 << years << "";
        QTest::newRow("the new regime the default, some keep the old")
            << "DECIMAL(15,2)" << 2 << 7 << 3 << taxYearTwice << "new default";
        QTest::newRow("the old regime the default, some choose the new, years without figures")
            << "DECIMAL(15,2)" << 2 << 11 << 1000 << years << "old default";
    }
    void setsMatchTheRunOfOneEmployeeAtATime()
    {
        QFETCH(QString, amounts);
        QFETCH(int, decimals);
        QFETCH(int, perSet);
        QFETCH(int, perStatement);
        QFETCH(QStringList, runs);
        QFETCH(QString, regimes);
        const auto outcome = [&](bool perEmployee) {
            TestDb::Reset();
            TestDb::LoadStandardMasters();
            TestDb::SetStandardSession();
            AmountColumns(amounts);
            AddCompany(decimals, 60);
            AddRegimes(regimes);
            return RunAll(runs, perEmployee, perSet, perStatement);
        };
        const QStringList reference = outcome(true);
        const QStringList sets = outcome(false);
        QVERIFY(reference.size() > 80 * kRecordColumns.size());
        QCOMPARE(sets, reference);
        // Where the year has the new regime's figures, some of the employees are taxed under it.
        const QStringList underTheNew = reference.filter(QStringLiteral("under the new regime"));
        QCOMPARE(underTheNew.isEmpty(), regimes.isEmpty());
        for (const QString &line : underTheNew)
            QVERIFY2(!line.contains(QLatin1String(": 0 under")), qPrintable(line));
    }

    // Employees without a choice of their own, in a year without the new regime's figures or in
    // one whose default is the old regime, get the records the batch always stored: every
    // column, the counts, the slabs and the rebate as before there were regimes
    // (IT_UPDATE_GOLDEN=1 writes the file instead).
    void oldRegimeRecordsAsBefore_data()
    {
        QTest::addColumn<bool>("perEmployee");
        QTest::addColumn<bool>("oldDefault");
        QTest::newRow("no new-regime figures, in sets") << false << false;
        QTest::newRow("no new-regime figures, one at a time") << true << false;
        QTest::newRow("the old regime the default, in sets") << false << true;
        QTest::newRow("the old regime the default, one at a time") << true << true;
    }
    void oldRegimeRecordsAsBefore()
    {
        QFETCH(bool, perEmployee);
        QFETCH(bool, oldDefault);
        AddCompany(2, 60);
        // Employees taxed under the new regime in 2018-19; their records of that year differ.
        QStringList newRegime;
        if (oldDefault) {
            NewRegimeYear(2017, TaxRegime::Old);
            NewRegimeYear(2018, TaxRegime::Old);
            newRegime = Generated(0, 4) << "H1";
            Choose(2018, TaxRegime::New, newRegime);
            Choose(2018, TaxRegime::Old, Generated(1, 4));
            Choose(2017, TaxRegime::Old, {"R1", "P1"});
        }
        RebateState state;
        QStringList lines = Runs(kOldRegimeRuns, perEmployee, 2000, 1000, state);
        lines << kRecordColumns.join(QLatin1Char('|'));
        for (const QStringList &row : Records()) {
            QStringList values;
            for (const QString &entry : row)
                values << entry.mid(entry.indexOf(QLatin1Char('=')) + 1);
            lines << values.join(QLatin1Char('|'));
        }
        lines << StateLines(state);

        QFile file(kOldRegimeGolden);
        if (qEnvironmentVariableIsSet("IT_UPDATE_GOLDEN")) {
            QVERIFY(!oldDefault);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
            file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
            return;
        }
        QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(kOldRegimeGolden));
        QStringList golden = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const auto ofTheNewRegime = [&newRegime](const QString &line) {
            const QStringList values = line.split(QLatin1Char('|'));
            return values.size() == kRecordColumns.size() && newRegime.contains(values[0]) &&
                   values[kRecordColumns.indexOf("emp_it_from")] == QLatin1String("2018-04-01") &&
                   values[kRecordColumns.indexOf("emp_it_to")] == QLatin1String("2019-03-31");
        };
        const qsizetype records = golden.size();
        golden.removeIf(ofTheNewRegime);
        const QStringList underTheNew = lines.filter(QStringLiteral("under the new regime"));
        QCOMPARE(underTheNew.size(), oldDefault ? 3 : 0);
        lines.removeIf(ofTheNewRegime);
        lines.removeIf([](const QString &line) { return line.endsWith(QLatin1String("under the new regime")); });
        QCOMPARE(golden.size() < records, oldDefault);
        QCOMPARE(lines, golden);
    }
};

QTEST_GUILESS_MAIN(TestBatchReference)
#include "tst_batchreference.moc"
