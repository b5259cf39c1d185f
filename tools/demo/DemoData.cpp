#include "DemoData.h"

#include "session/Common.h"
#include "session/DbConnection.h"
#include "tax/NewRegimeTax.h"
#include "tax/RegimeChoice.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QStringList>

#include <cmath>
#include <stdexcept>

namespace {

const QStringList kTables = {
    QStringLiteral("dalvoni.userdetails"),
    QStringLiteral("dalvoni.acc_companymaster"),
    QStringLiteral("dalvoni.unitmaster"),
    QStringLiteral("dalvoni.ac_fin_year"),
    QStringLiteral("dalvoni.versionmaster"),
    QStringLiteral("hr0910.hr_designation"),
    QStringLiteral("hr0910.hr_department"),
    QStringLiteral("hr0910.hr_employee"),
    QStringLiteral("hr0910.hr_otherallowance"),
    QStringLiteral("hr0910.hr_emp_salary"),
    QStringLiteral("hr0910.hr_emp_bonus"),
    QStringLiteral("hr0910.hr_finalize"),
    QStringLiteral("hr0910.hr_it_setup"),
    QStringLiteral("hr0910.hr_it_slabs"),
    QStringLiteral("hr0910.hr_it_allowance"),
    QStringLiteral("hr0910.hr_it_trans"),
    QStringLiteral("hr0910.hr_it"),
    QStringLiteral("hr0910.numbersetup"),
    QStringLiteral("hr0910.hr_it_new_regime"),
    QStringLiteral("hr0910.hr_it_new_regime_slabs"),
    QStringLiteral("hr0910.hr_it_new_regime_surcharge"),
    QStringLiteral("hr0910.hr_it_old_regime_surcharge"),
    QStringLiteral("hr0910.hr_it_emp_regime"),
    QStringLiteral("hr0910.hr_it_employer"),
};

// Salary heads of the payroll.
const char *const kBasic = "OTH0000000001";
const char *const kDa = "OTH0000000002";
const char *const kSpecialPay = "OTH0000000017";
const char *const kHra = "OTH0000000019";
const char *const kPf = "OTH0000000013";
const char *const kVpf = "OTH0000000014";
const char *const kProfessionTax = "OTH0000000033";
const char *const kConveyance = "OTH0000000048";
const char *const kTransport = "OTH0000000023";
const char *const kIncomeTax = "OTH0000000030";
const char *const kOvertime = "OTH0000000040";
const char *const kReimbursement = "OTH0000000041";
const char *const kCanteen = "OTH0000000042";

struct Unit
{
    const char *code;
    const char *name;
    int weight; // share of the employees, in percent
};
const Unit kUnits[] = {
    {"HO", "HEAD OFFICE", 30}, {"MUM", "MUMBAI", 15}, {"CHN", "CHENNAI", 12},  {"DLH", "DELHI", 12},
    {"KOL", "KOLKATHA", 10},   {"PUN", "PUNE", 8},    {"BLR", "BANGALORE", 8}, {"HYD", "HYDERABAD", 5},
};

bool IsMetro(const QString &unit)
{
    return unit == QLatin1String("MUM") || unit == QLatin1String("CHN") || unit == QLatin1String("DLH") ||
           unit == QLatin1String("KOL");
}

// One financial year with its limits and slabs.
struct Year
{
    int from; // calendar year of 1 April
    double rebate;
    double cess;
    double slab2Rate;
};
// The old regime's figures have not changed since 2019-20: slabs 2.5 L nil, 5 L 5 %, 10 L 20 %,
// above 30 % (Finance Act 2017), the 87A rebate of 12,500 up to 5 L (Finance Act 2019), cess
// 4 % (Finance Act 2018), 80C 1.5 L, housing-loan interest 2 L, 80D premium 25,000; the
// standard deduction of 50,000 stayed for the old regime when Finance (No. 2) Act 2024 raised
// it for the new one only.
const Year kYears[] = {{2016, 5000, 3, 10}, {2017, 2500, 3, 5},  {2018, 2500, 4, 5},  {2019, 12500, 4, 5},
                       {2020, 12500, 4, 5}, {2021, 12500, 4, 5}, {2022, 12500, 4, 5}, {2023, 12500, 4, 5},
                       {2024, 12500, 4, 5}, {2025, 12500, 4, 5}, {2026, 12500, 4, 5}};

// The figures of the year that starts in April of from: as published, and after the newest
// published year that year's figures carried forward (the demo made on a later day has its
// year too).
Year YearFigures(int from)
{
    for (const Year &y : kYears)
        if (y.from == from)
            return y;
    Year carried = from < kYears[0].from ? kYears[0] : kYears[std::size(kYears) - 1];
    carried.from = from;
    return carried;
}

// The years of the demo: the published ones, and on to the default year.
QList<Year> DemoYears(int defaultYear)
{
    QList<Year> years(std::begin(kYears), std::end(kYears));
    for (int from = years.last().from + 1; from <= defaultYear; ++from)
        years.append(YearFigures(from));
    return years;
}

// The new regime's figures of a demo year; a year after the newest published one carries its figures.
std::optional<NewRegimeSetup::Year> RegimeFigures(int from)
{
    return DemoData::NewRegimeYear(qMin(from, DemoData::kNewestPublishedYear));
}

// Employees of the main company who chose a regime of their own: the n-th such employee in
// service, the year, the regime (2023-24 on, the new regime is the default; an employee who
// keeps the old one opts out).
struct RegimeChoiceRow
{
    int nth;
    int year;
    TaxRegime regime;
};
const RegimeChoiceRow kRegimeChoices[] = {
    {0, 2020, TaxRegime::New}, {0, 2021, TaxRegime::New}, {0, 2022, TaxRegime::New},
    {1, 2023, TaxRegime::Old}, {1, 2024, TaxRegime::Old}, {1, 2025, TaxRegime::Old},
    {2, 2025, TaxRegime::Old}, {3, 2025, TaxRegime::New}, {4, 2022, TaxRegime::New},
};

// The own choices of the demo up to its default year: those above, and in every later year
// the choices of 2025-26 again (the two who keep the old regime keep it).
QList<RegimeChoiceRow> RegimeChoices(int defaultYear)
{
    QList<RegimeChoiceRow> rows(std::begin(kRegimeChoices), std::end(kRegimeChoices));
    for (int year = 2026; year <= defaultYear; ++year)
        for (const RegimeChoiceRow &c : kRegimeChoices)
            if (c.year == 2025)
                rows.append({c.nth, year, c.regime});
    return rows;
}

const char *const kDesignations[][2] = {
    {"D01", "DIRECTOR"}, {"D02", "GENERAL MANAGER"}, {"D03", "MANAGER"},    {"D04", "ASST. MANAGER"},
    {"D05", "OFFICER"},  {"D06", "ENGINEER"},        {"D07", "ACCOUNTANT"}, {"D08", "SUPERVISOR"},
    {"D09", "CLERK"},    {"D10", "OPERATOR"},        {"D11", "DRIVER"},     {"D12", "PEON"},
};
const char *const kDepartments[][2] = {
    {"P01", "ACCOUNTS"},        {"P02", "ADMINISTRATION"}, {"P03", "HUMAN RESOURCES"}, {"P04", "PRODUCTION"},
    {"P05", "QUALITY CONTROL"}, {"P06", "STORES"},         {"P07", "SALES"},           {"P08", "MARKETING"},
    {"P09", "MAINTENANCE"},     {"P10", "SYSTEMS"},
};

const char *const kFirstNames[] = {
    "RAJESH",  "SURESH",      "RAMESH",  "MAHESH", "ANIL",   "SUNIL",    "VIJAY",    "SANJAY",    "AJAY",
    "PRAKASH", "DEEPAK",      "MANOJ",   "ASHOK",  "ARUN",   "KIRAN",    "SANTOSH",  "GANESH",    "NITIN",
    "SACHIN",  "RAHUL",       "AMIT",    "ROHIT",  "VIKRAM", "ANAND",    "SRINIVAS", "VENKATESH", "MURUGAN",
    "KARTHIK", "SUBRAMANIAN", "ABHIJIT", "SOUMYA", "PRIYA",  "ANITA",    "SUNITA",   "KAVITA",    "MEENA",
    "LAKSHMI", "REKHA",       "POOJA",   "NEHA",   "SNEHA",  "DIVYA",    "ANJALI",   "SHALINI",   "GEETHA",
    "FATIMA",  "MOHAMMED",    "IMRAN",   "JOSEPH", "MARY",   "HARPREET", "GURPREET",
};
const char *const kSurnames[] = {
    "SHARMA",     "VERMA",    "GUPTA",     "SINGH", "KUMAR",  "PATIL",  "DESHPANDE", "KULKARNI", "JOSHI",
    "PAWAR",      "IYER",     "IYENGAR",   "NAIR",  "MENON",  "PILLAI", "REDDY",     "RAO",      "NAIDU",
    "CHATTERJEE", "BANERJEE", "MUKHERJEE", "DAS",   "BOSE",   "GHOSH",  "SEN",       "MEHTA",    "SHAH",
    "PATEL",      "DESAI",    "AGARWAL",   "JAIN",  "KHAN",   "SHAIKH", "D'SOUZA",   "D'CRUZ",   "FERNANDES",
    "GILL",       "SANDHU",   "CHAUHAN",   "YADAV", "MISHRA",
};

template <typename T, size_t N> constexpr int Count(const T (&)[N])
{
    return int(N);
}

QString Quoted(const QString &text)
{
    return QLatin1Char('\'') + SqlEscape(text) + QLatin1Char('\'');
}

QString Date(const QDate &d)
{
    return QLatin1Char('\'') + SqlDate(d) + QLatin1Char('\'');
}

QString Num(double value)
{
    return PlainNumber(value);
}

// Collects rows of one INSERT and sends them in statements of a fixed number of rows.
class BulkInsert
{
public:
    BulkInsert(DbConnection &db, const QString &head, int rowsPerStatement)
        : m_db(db), m_head(head), m_rowsPerStatement(qMax(1, rowsPerStatement))
    {
    }
    ~BulkInsert() = default;

    void add(const QString &row)
    {
        if (m_pending > 0)
            m_sql += QLatin1Char(',');
        else
            m_sql = m_head;
        m_sql += row;
        ++m_total;
        if (++m_pending >= m_rowsPerStatement)
            flush();
    }

    void flush()
    {
        if (m_pending == 0)
            return;
        m_db.execute(m_sql);
        m_pending = 0;
        m_sql.clear();
    }

    int total() const { return m_total; }

private:
    DbConnection &m_db;
    QString m_head;
    int m_rowsPerStatement;
    QString m_sql;
    int m_pending = 0;
    int m_total = 0;
};

// The salary lines of one employee's month: what the month paid and deducted, head by head.
class MonthLines
{
public:
    MonthLines(BulkInsert &salary, const QString &slno, const QDate &month)
        : m_salary(salary), m_prefix(QLatin1Char('(') + Quoted(slno) + QStringLiteral(",'")),
          m_when(QLatin1Char(',') + Date(month) + QLatin1Char(')'))
    {
    }

    void earn(const char *head, double amount)
    {
        m_salary.add(m_prefix + QLatin1String(head) + QStringLiteral("',") + Num(amount) + QStringLiteral(",0") +
                     m_when);
    }
    void deduct(const char *head, double amount)
    {
        m_salary.add(m_prefix + QLatin1String(head) + QStringLiteral("',0,") + Num(amount) + m_when);
    }

private:
    BulkInsert &m_salary;
    QString m_prefix;
    QString m_when;
};

// Income tax of a year's taxable amount under the year's slabs, rebate and cess, as payroll
// estimates it for the monthly deduction.
double EstimatedTax(const Year &y, double taxable)
{
    double tax = 0;
    if (taxable > 1000000)
        tax = (taxable - 1000000) * 0.30 + 100000 + 250000 * y.slab2Rate / 100;
    else if (taxable > 500000)
        tax = (taxable - 500000) * 0.20 + 250000 * y.slab2Rate / 100;
    else if (taxable > 250000)
        tax = (taxable - 250000) * y.slab2Rate / 100;
    if (taxable <= 500000)
        tax = qMax(0.0, tax - y.rebate);
    return tax * (1 + y.cess / 100);
}

// One employee's pay in a year (monthly amounts).
struct Pay
{
    double basic, da, special, hra, transport, pf, vpf, tds;
};

struct Employee
{
    QString slno, codeChar, code, name, pan, desig, dept, unit, comp;
    int disable = 0, flag = 0;
    double basic2018 = 0; // monthly basic of 2018-19
    bool hasSpecial = false, hasVpf = false, conveyance = false, overtime = false, reimbursed = false, canteen = false;
    double special = 0, vpfShare = 0;
    QDate joined, left; // first and last salary month
};

// The regular earnings of a month: basic, dearness allowance, special pay, house-rent allowance
// and conveyance or transport.
void EarnRegularPay(MonthLines &lines, const Employee &e, const Pay &p)
{
    lines.earn(kBasic, p.basic);
    lines.earn(kDa, p.da);
    if (p.special > 0)
        lines.earn(kSpecialPay, p.special);
    lines.earn(kHra, p.hra);
    lines.earn(e.conveyance ? kConveyance : kTransport, p.transport);
}

// An employee's declarations of the tax year that starts on from, numbered from 1.
void Declare(BulkInsert &declarations, const QString &slno, const QList<QPair<const char *, double>> &lines,
             const QDate &from)
{
    const QDate to = from.addYears(1).addDays(-1);
    int n = 0;
    for (const auto &[head, amount] : lines)
        declarations.add(QLatin1Char('(') + Quoted(slno) + QStringLiteral(",'") + QLatin1String(head) +
                         QStringLiteral("',") + Num(amount) + QLatin1Char(',') + QString::number(++n) +
                         QLatin1Char(',') + Date(from) + QLatin1Char(',') + Date(to) + QLatin1Char(')'));
}

// The provident fund of a month, the voluntary share included.
void DeductProvidentFund(MonthLines &lines, const Pay &p)
{
    lines.deduct(kPf, p.pf);
    if (p.vpf > 0)
        lines.deduct(kVpf, p.vpf);
}

// Monthly basic bands; the first employees go round the four so that even a small company
// has somebody in every tax slab.
double DrawBasic(QRandomGenerator &rng, int index)
{
    static const int bands[][2] = {{15000, 21000}, {24000, 40000}, {42000, 80000}, {85000, 150000}};
    int band;
    if (index < 8) {
        band = index % 4;
    } else {
        const int r = rng.bounded(100);
        band = r < 30 ? 0 : r < 65 ? 1 : r < 90 ? 2 : 3;
    }
    const int lo = bands[band][0], hi = bands[band][1];
    return std::round((lo + rng.bounded(hi - lo + 1)) / 100.0) * 100;
}

QString DrawPan(QRandomGenerator &rng, const QString &surname)
{
    QString pan;
    for (int i = 0; i < 3; ++i)
        pan += QChar('A' + rng.bounded(26));
    pan += QLatin1Char('P');
    pan += surname.at(0);
    pan += QStringLiteral("%1").arg(rng.bounded(1, 10000), 4, 10, QLatin1Char('0'));
    pan += QChar('A' + rng.bounded(26));
    return pan;
}

Employee MakeEmployee(quint32 seed, int index, int codeInCompany[2])
{
    QRandomGenerator rng(seed * 1000003u + quint32(index));
    Employee e;
    e.slno = QString::number(100001 + index);
    e.comp = rng.bounded(100) < 80 ? QStringLiteral("C01") : QStringLiteral("C02");
    const int c = e.comp == QLatin1String("C01") ? 0 : 1;
    e.codeChar = c == 0 ? QStringLiteral("SAT") : QStringLiteral("SAE");
    e.code = QStringLiteral("%1").arg(++codeInCompany[c], 5, 10, QLatin1Char('0'));
    const QString first = QString::fromLatin1(kFirstNames[rng.bounded(Count(kFirstNames))]);
    const QString surname = QString::fromLatin1(kSurnames[rng.bounded(Count(kSurnames))]);
    e.name = first + QLatin1Char(' ') + surname;
    e.pan = rng.bounded(100) < 4 ? QString() : DrawPan(rng, surname);

    int u = rng.bounded(100);
    for (const Unit &unit : kUnits) {
        if (u < unit.weight) {
            e.unit = QString::fromLatin1(unit.code);
            break;
        }
        u -= unit.weight;
    }
    e.basic2018 = DrawBasic(rng, index);
    // Senior pay, senior title.
    const int level = e.basic2018 >= 85000   ? rng.bounded(0, 3)
                      : e.basic2018 >= 42000 ? rng.bounded(2, 7)
                      : e.basic2018 >= 24000 ? rng.bounded(4, 9)
                                             : rng.bounded(8, 12);
    e.desig = QString::fromLatin1(kDesignations[level][0]);
    e.dept = QString::fromLatin1(kDepartments[rng.bounded(Count(kDepartments))][0]);

    e.hasSpecial = rng.bounded(100) < 30;
    e.special = 1000 + 500 * rng.bounded(9);
    e.hasVpf = rng.bounded(100) < 10;
    e.vpfShare = 0.05 + 0.05 * rng.bounded(4);
    e.conveyance = rng.bounded(2) == 0;
    e.overtime = e.basic2018 < 42000 && rng.bounded(100) < 40;
    e.reimbursed = rng.bounded(100) < 25;
    e.canteen = rng.bounded(100) < 50;

    e.joined = QDate(2016, 4, 1);
    if (rng.bounded(100) < 12)
        e.joined = e.joined.addMonths(rng.bounded(1, 29));
    e.left = DemoData::HistoryLastFinalised.addDays(1 - DemoData::HistoryLastFinalised.day());
    const int fate = rng.bounded(100);
    if (fate < 4) {
        e.flag = 1; // out of service
        e.left = e.joined.addMonths(rng.bounded(0, qMax(1, MonthDiff(e.joined, e.left))));
    } else if (fate < 7) {
        e.disable = 1;
    }
    return e;
}

Pay PayOf(const Employee &e, const Year &y)
{
    Pay p{};
    // About eight per cent increment every April.
    p.basic = qMax(15000.0, std::round(e.basic2018 / std::pow(1.08, 2018 - y.from) / 100) * 100);
    p.da = std::round(p.basic * 0.12);
    p.special = e.hasSpecial ? e.special : 0;
    p.hra = std::round(p.basic * (IsMetro(e.unit) ? 0.5 : 0.4));
    p.transport = 1600;
    p.pf = std::round((p.basic + p.da) * 0.12);
    p.vpf = e.hasVpf ? std::round(p.basic * e.vpfShare) : 0;
    const double yearly = 12 * (p.basic + p.da + p.special + p.hra + p.transport);
    const double standard = y.from >= 2018 ? (y.from == 2018 ? 40000 : 50000) : 19200;
    const double sec80c = qMin(150000.0, 12 * (p.pf + p.vpf));
    const double taxable = qMax(0.0, yearly - standard - sec80c - 2500);
    p.tds = std::round(EstimatedTax(y, taxable) / 12 / 10) * 10;
    return p;
}

// The first calendar year of the financial year that holds the day.
int FinancialYearOf(const QDate &day)
{
    return day.month() >= 4 ? day.year() : day.year() - 1;
}

Year YearOf(const QDate &month)
{
    return YearFigures(FinancialYearOf(month));
}

void WriteMasters(DbConnection &db, const QList<Year> &demoYears, int defaultYear)
{
    db.execute(QStringLiteral("INSERT INTO dalvoni.versionmaster (pack_code,version_code) VALUES "
                              "('IT','V1.1'),('HR','V3.2'),('PAY','V2.7'),('ACC','V2.0')"));
    QString sql = QStringLiteral("INSERT INTO dalvoni.userdetails (user_id,user_name,user_password,user_admin,"
                                 "user_group_code,user_type,user_login_it,user_login_advt) VALUES ");
    sql += QStringLiteral("(1,'admin','Admin@123',1,'ADM',0,0,1),");
    sql += QStringLiteral("(2,'payroll','pay2018',0,'HRD',1,1,0),");
    sql += QStringLiteral("(3,'accounts','acc2018',1,'ACC',0,1,0),");
    sql += QStringLiteral("(4,'stores','stores1',0,'STR',0,0,0)");
    db.execute(sql);
    db.execute(
        QStringLiteral("INSERT INTO dalvoni.acc_companymaster (comp_code,comp_name,comp_disable,comp_priority) VALUES "
                       "('C01','SAHYADRI TEXTILES LTD',0,1),('C02','SAHYADRI EXPORTS PVT LTD',0,2),"
                       "('C03','SAHYADRI AGRO PRODUCTS',1,3)"));
    // Invented employer details in the valid formats, so that the demo prints certificates at once.
    db.execute(QStringLiteral(
        "INSERT INTO hr0910.hr_it_employer (comp_code,tan,pan,address,city,resp_name,resp_father_name,"
        "resp_designation,sign_place,created_by,created_date,created_time) VALUES "
        "('C01','PNES04217K','AADCS4821M','Plot 14, MIDC Bhosari','Pune 411026','MADHAV PRABHAKAR KULKARNI',"
        "'PRABHAKAR VINAYAK KULKARNI','Manager - Finance','Pune',1,'2018-04-02','10:00:00'),"
        "('C02','MUMS18263H','AAECS7730R','Unit 5, Sahar Cargo Complex, Andheri East','Mumbai 400099',"
        "'REKHA ANIL DESHPANDE','ANIL GOVIND DESHPANDE','Head - Payroll','Mumbai',1,'2018-04-02','10:05:00')"));

    QStringList units, years;
    for (const Unit &u : kUnits) {
        units << QStringLiteral("('%1','%2')").arg(QLatin1String(u.code), QLatin1String(u.name));
        for (const Year &y : demoYears) {
            const QDate from(y.from, 4, 1), to(y.from + 1, 3, 31);
            // Only the head office works out income tax, so only its years are offered here;
            // the other units' years serve the suite's other modules.
            years << QStringLiteral("(%1,%2,%3,%2,%3,%4,%5,'%6-%7')")
                         .arg(Quoted(QLatin1String(u.code)), Date(from), Date(to))
                         .arg(y.from == defaultYear ? 1 : 0)
                         .arg(QLatin1String(u.code) == QLatin1String("HO") ? 1 : 0)
                         .arg(y.from)
                         .arg((y.from + 1) % 100, 2, 10, QLatin1Char('0'));
        }
    }
    // An old year of the head office that this program does not offer.
    years << QStringLiteral("('HO','2015-04-01','2016-03-31','2015-04-01','2016-03-31',0,0,'2015-16')");
    db.execute(QStringLiteral("INSERT INTO dalvoni.unitmaster (unit_code,unit_name) VALUES ") + units.join(','));
    db.execute(QStringLiteral("INSERT INTO dalvoni.ac_fin_year (unit_code,ac_from_date,ac_to_date,ac_it_start_date,"
                              "ac_it_end_date,ac_default,ac_app_it,ac_period) VALUES ") +
               years.join(','));

    QStringList setup, slabs;
    for (const Year &y : demoYears) {
        const QString key = Date(QDate(y.from, 4, 1)) + QLatin1Char(',') + Date(QDate(y.from + 1, 3, 31));
        const std::pair<const char *, double> settings[] = {{"80C_LIMIT", 150000}, {"HL_LIMIT", 200000},
                                                            {"MC_LIMIT", 25000},   {"TAX_LIMIT", 250000},
                                                            {"REBATE", y.rebate},  {"CESS", y.cess}};
        for (const auto &[id, value] : settings)
            setup << QStringLiteral("(%1,'%2',%3)").arg(key, QLatin1String(id), Num(value));
        slabs << QStringLiteral("(%1,1,0,250000,0)").arg(key)
              << QStringLiteral("(%1,2,250000,500000,%2)").arg(key, Num(y.slab2Rate))
              << QStringLiteral("(%1,3,500000,1000000,20)").arg(key)
              << QStringLiteral("(%1,4,1000000,99999999,30)").arg(key);
    }
    db.execute(QStringLiteral("INSERT INTO hr0910.hr_it_setup (ac_from_date,ac_to_date,set_id,set_value) VALUES ") +
               setup.join(','));
    db.execute(QStringLiteral("INSERT INTO hr0910.hr_it_slabs (it_ac_from_date,it_ac_to_date,it_slab,it_slab_start,"
                              "it_slab_end,it_per) VALUES ") +
               slabs.join(','));

    // The new regime's years and every year's old-regime surcharge, stored as the screen stores them.
    for (const Year &y : demoYears) {
        const QDate from(y.from, 4, 1), to(y.from + 1, 3, 31);
        if (const auto year = RegimeFigures(y.from)) {
            for (const QString &statement : NewRegimeSetup::SaveStatements(
                     *year, from, to, {QStringLiteral("1"), QDateTime(QDate(y.from, 4, 2), QTime(10, 0))}))
                db.execute(statement);
        }
        for (const QString &statement : NewRegimeSetup::OldSurchargeStatements(
                 DemoData::OldRegimeSurcharge(qMin(y.from, DemoData::kNewestPublishedYear)), from, to))
            db.execute(statement);
    }

    QStringList rows;
    for (const auto &d : kDesignations)
        rows << QStringLiteral("('%1','%2')").arg(QLatin1String(d[0]), QLatin1String(d[1]));
    db.execute(QStringLiteral("INSERT INTO hr0910.hr_designation (desig_code,desig_name) VALUES ") + rows.join(','));
    rows.clear();
    for (const auto &d : kDepartments)
        rows << QStringLiteral("('%1','%2')").arg(QLatin1String(d[0]), QLatin1String(d[1]));
    db.execute(QStringLiteral("INSERT INTO hr0910.hr_department (dept_code,dept_name) VALUES ") + rows.join(','));

    // Heads with allowance_visible 0 count towards gross pay; deductions and reimbursements do not.
    db.execute(QStringLiteral(
        "INSERT INTO hr0910.hr_otherallowance (allowance_code,allowance_name,allowance_visible) VALUES "
        "('OTH0000000001','BASIC',0),('OTH0000000002','DEARNESS ALLOWANCE',0),('OTH0000000017','SPECIAL PAY',0),"
        "('OTH0000000019','HOUSE RENT ALLOWANCE',0),('OTH0000000048','CONVEYANCE ALLOWANCE',0),"
        "('OTH0000000023','TRANSPORT ALLOWANCE',0),('OTH0000000040','OVERTIME',0),"
        "('OTH0000000013','PROVIDENT FUND',1),('OTH0000000014','VOLUNTARY PF',1),"
        "('OTH0000000033','PROFESSION TAX',1),('OTH0000000030','INCOME TAX',1),"
        "('OTH0000000041','MEDICAL REIMBURSEMENT',1),('OTH0000000042','CANTEEN RECOVERY',1)"));

    db.execute(QStringLiteral(
        "INSERT INTO hr0910.hr_it_allowance (allowance_code,allowance_name,allowance_ded_per,allowance_ded_amount,"
        "allowance_flag,unit_code,comp_code,created_by,created_date,created_time) VALUES "
        "('ITA000001','LIC PREMIUM',0,0,'1','HO','C01',1,'2016-04-05','10:12:40'),"
        "('ITA000002','PUBLIC PROVIDENT FUND',0,0,'1','HO','C01',1,'2016-04-05','10:14:02'),"
        "('ITA000003','NATIONAL SAVINGS CERTIFICATE',0,0,'1','HO','C01',1,'2016-04-05','10:15:31'),"
        "('ITA000004','ELSS MUTUAL FUND',0,0,'1','HO','C01',1,'2016-04-05','10:16:55'),"
        "('ITA000005','HOUSE RENT PAID',0,0,'1','HO','C01',1,'2016-04-05','10:18:20'),"
        "('ITA000006','CHILDREN TUITION FEES',0,0,'1','HO','C01',1,'2017-04-03','11:02:09'),"
        "('ITA000007','HOUSING LOAN PRINCIPAL',0,0,'1','HO','C01',1,'2018-04-02','09:47:13')"));
    db.execute(QStringLiteral("INSERT INTO hr0910.numbersetup (no_id,no_value) VALUES ('IT_CODE','ITA000008')"));
}

// Salary finalisation at the end of every month from April 2016 to September 2018, for both
// companies in business; an attendance entry for October shows that only 'SAL' entries count.
int WriteFinalisations(DbConnection &db)
{
    QStringList rows;
    for (const char *comp : {"C01", "C02"}) {
        for (QDate m(2016, 4, 1); m <= DemoData::HistoryLastFinalised; m = m.addMonths(1))
            rows << QStringLiteral("('%1','SAL',%2)").arg(QLatin1String(comp), Date(m.addMonths(1).addDays(-1)));
        rows << QStringLiteral("('%1','ATT','2018-10-31')").arg(QLatin1String(comp));
    }
    db.execute(QStringLiteral("INSERT INTO hr0910.hr_finalize (comp_code,entry_type,entry_date) VALUES ") +
               rows.join(','));
    return int(rows.size()) - 2;
}

// The current payroll's finalisations, its first month to its last, for both companies in business.
int WriteCurrentFinalisations(DbConnection &db, const QDate &first, const QDate &last)
{
    QStringList rows;
    for (const char *comp : {"C01", "C02"})
        for (QDate m = first; m <= last; m = m.addMonths(1))
            rows << QStringLiteral("('%1','SAL',%2)").arg(QLatin1String(comp), Date(m.addMonths(1).addDays(-1)));
    db.execute(QStringLiteral("INSERT INTO hr0910.hr_finalize (comp_code,entry_type,entry_date) VALUES ") +
               rows.join(','));
    return int(rows.size());
}

// The high earners of the main company: yearly gross pay about 60 L, 1.2 Cr, 2.5 Cr and 6 Cr,
// the first four keeping the old regime in every year of both regimes, the other four under the
// new one.
struct HighEarner
{
    const char *name;
    double yearly;
    TaxRegime regime;
};
const HighEarner kHighEarners[] = {
    {"VIKRAM MEHTA", 6000000, TaxRegime::Old},   {"ANITA DESAI", 12000000, TaxRegime::Old},
    {"RAHUL AGARWAL", 25000000, TaxRegime::Old}, {"PRIYA SHAH", 60000000, TaxRegime::Old},
    {"SANJAY JAIN", 6000000, TaxRegime::New},    {"MEENA PATEL", 12000000, TaxRegime::New},
    {"ROHIT GUPTA", 25000000, TaxRegime::New},   {"KAVITA IYER", 60000000, TaxRegime::New},
};

// Head office directors with the same pay in every year: basic, 12 % dearness allowance, 40 %
// house-rent allowance (they pay no rent), transport; provident fund on basic and DA; 80C
// declared each year.
// The months and years of the payroll the high earners are paid in: the history's, and the
// current payroll's where there is one.
struct PayrollSpan
{
    QDate firstMonth, lastMonth; // of the current payroll; firstMonth after lastMonth: none
    QDate yearFrom;              // its financial year, which has its declarations when declared
    bool declared = false;
    int lastYear = 0; // the last financial year of the demo, by its 1 April
};

void WriteHighEarners(DbConnection &db, BulkInsert &employees, BulkInsert &salary, BulkInsert &declarations,
                      int codeInCompany[2], const DemoOptions &options, const PayrollSpan &span, DemoSummary &summary)
{
    QRandomGenerator rng(options.seed * 6151u);
    for (int i = 0; i < Count(kHighEarners); ++i) {
        const HighEarner &h = kHighEarners[i];
        const QString slno = QString::number(900001 + i);
        const QString code = QStringLiteral("%1").arg(++codeInCompany[0], 5, 10, QLatin1Char('0'));
        const QString name = QString::fromLatin1(h.name);
        employees.add(QStringLiteral("(") + Quoted(slno) + QStringLiteral(",'SAT',") + Quoted(code) + QLatin1Char(',') +
                      Quoted(name) + QLatin1Char(',') + Quoted(DrawPan(rng, name.section(QLatin1Char(' '), 1))) +
                      QStringLiteral(",'D01','P02','") + QLatin1String(DemoData::kHeadOfficeUnit) +
                      QStringLiteral("','") + QLatin1String(DemoData::kMainCompany) + QStringLiteral("',0,0)"));
        Pay p{};
        p.basic = std::round((h.yearly - 12 * 1600) / 12 / 1.52 / 100) * 100;
        p.da = std::round(p.basic * 0.12);
        p.hra = std::round(p.basic * 0.4);
        p.transport = 1600;
        p.pf = std::round((p.basic + p.da) * 0.12);
        // About the tax with its surcharge, spread over the year.
        p.tds = std::round(h.yearly * 0.3 * 1.2 / 12 / 10) * 10;
        Employee e;
        e.unit = QLatin1String(DemoData::kHeadOfficeUnit);
        QList<QDate> months;
        for (QDate m(2016, 4, 1); m <= DemoData::HistoryLastFinalised; m = m.addMonths(1))
            months.append(m);
        for (QDate m = span.firstMonth; m <= span.lastMonth; m = m.addMonths(1))
            months.append(m);
        for (const QDate &m : months) {
            MonthLines lines(salary, slno, m);
            EarnRegularPay(lines, e, p);
            DeductProvidentFund(lines, p);
            lines.deduct(kProfessionTax, m.month() == 2 ? 300 : 200);
            lines.deduct(kIncomeTax, p.tds);
        }
        Declare(declarations, slno, {{"ITA000001", 150000}}, DemoData::HistoryYearFrom);
        if (span.declared)
            Declare(declarations, slno, {{"ITA000001", 150000}}, span.yearFrom);
        // The regime of each year with both, as his own choice where it is not the year's default.
        for (int y = 2020; y <= span.lastYear; ++y) {
            const auto figures = RegimeFigures(y);
            if (!figures || figures->defaultRegime == h.regime)
                continue;
            const AuditStamp stamp{QStringLiteral("2"), QDateTime(QDate(y, 4, 10), QTime(11, 45))};
            RegimeChoice::Save(db, slno, QDate(y, 4, 1), QDate(y + 1, 3, 31), h.regime, stamp);
            ++summary.regimeChoices;
        }
    }
}

} // namespace

namespace DemoData {

QDate DefaultYearFrom(const QDate &today)
{
    const QDate day = today.isValid() ? today : QDate::currentDate();
    return QDate(FinancialYearOf(day), 4, 1);
}

QDate LastCompleteMonth(const QDate &today)
{
    const QDate day = today.isValid() ? today : QDate::currentDate();
    return QDate(day.year(), day.month(), 1).addDays(-1);
}

QDate PayrollYearFrom(const QDate &today)
{
    return QDate(FinancialYearOf(LastCompleteMonth(today)), 4, 1);
}

std::optional<NewRegimeSetup::Year> NewRegimeYear(int firstYear)
{
    // Section 115BAC and section 87A of the Income-tax Act, 1961, year by year:
    // - 2020-21 to 2022-23: Finance Act 2020 inserted section 115BAC (slabs of 2.5 L at 0, 5,
    //   10, 15, 20, 25 and 30 %; no standard deduction); the 87A rebate of 12,500 up to 5 L of
    //   Finance Act 2019 applied in both regimes, without marginal relief; the surcharge of
    //   10 / 15 / 25 / 37 % above 50 L / 1 Cr / 2 Cr / 5 Cr.
    // - 2023-24: Finance Act 2023, section 115BAC(1A): the default regime, slabs of 3 L, the
    //   standard deduction of 50,000, the 87A rebate up to 25,000 for income up to 7 L with
    //   marginal relief above it, the surcharge capped at 25 %.
    // - 2024-25: Finance (No. 2) Act 2024: 3 L nil, 7 L 5 %, 10 L 10 %, 12 L 15 %, 15 L 20 %,
    //   above 30 %; standard deduction 75,000.
    // - 2025-26: Finance Act 2025: slabs of 4 L up to 24 L, 87A up to 60,000 for income up to
    //   12 L with marginal relief.
    // - 2026-27: the Income-tax Act, 2025, in force from 1 April 2026, carries the same figures
    //   (the regime in its section 202, the rebate in section 156).
    // - Cess: the health and education cess of 4 % (Finance Act 2018) on tax plus surcharge.
    // Checked against published summaries: caclubindia.com (section 115BAC text),
    // arunvalera.blogspot.com and legalsuvidha.com (Budget 2020), sunmargsolutions.com and
    // taxtmi.com (Finance Act 2023, 87A proviso), sakshipost.com and businesstoday.in (Budget
    // 2024), incometaxmanagement.in (Budget 2025), castudyweb.com/income-tax-section-202 (the Act
    // of 2025), cleartax.in/s/marginal-relief-surcharge (surcharge bands and their marginal relief).
    using NewRegimeSetup::Slab;
    auto slabs = [](std::initializer_list<std::pair<double, double>> bounds) {
        QList<Slab> list;
        double from = 0;
        for (const auto &[to, per] : bounds) {
            Slab s;
            s.from = from;
            if (to > 0)
                s.to = to;
            s.per = per;
            list.append(s);
            from = to;
        }
        return list;
    };
    NewRegimeSetup::Year y;
    y.cess = 4;
    y.surcharge = {{5000000, 10}, {10000000, 15}, {20000000, 25}};
    if (firstYear >= 2020 && firstYear <= 2022) {
        y.defaultRegime = TaxRegime::Old;
        y.slabs = slabs({{250000, 0}, {500000, 5}, {750000, 10}, {1000000, 15}, {1250000, 20}, {1500000, 25}, {0, 30}});
        y.standardDeduction = 0;
        y.rebateLimit = 500000;
        y.rebateMax = 12500;
        y.rebateRelief = false;
        y.surcharge.append({50000000, 37});
    } else if (firstYear == 2023) {
        y.defaultRegime = TaxRegime::New;
        y.slabs = slabs({{300000, 0}, {600000, 5}, {900000, 10}, {1200000, 15}, {1500000, 20}, {0, 30}});
        y.standardDeduction = 50000;
        y.rebateLimit = 700000;
        y.rebateMax = 25000;
        y.rebateRelief = true;
    } else if (firstYear == 2024) {
        y.defaultRegime = TaxRegime::New;
        y.slabs = slabs({{300000, 0}, {700000, 5}, {1000000, 10}, {1200000, 15}, {1500000, 20}, {0, 30}});
        y.standardDeduction = 75000;
        y.rebateLimit = 700000;
        y.rebateMax = 25000;
        y.rebateRelief = true;
    } else if (firstYear == 2025 || firstYear == 2026) {
        y.defaultRegime = TaxRegime::New;
        y.slabs =
            slabs({{400000, 0}, {800000, 5}, {1200000, 10}, {1600000, 15}, {2000000, 20}, {2400000, 25}, {0, 30}});
        y.standardDeduction = 75000;
        y.rebateLimit = 1200000;
        y.rebateMax = 60000;
        y.rebateRelief = true;
    } else {
        return std::nullopt;
    }
    return y;
}

QList<NewRegimeSetup::SurchargeBand> OldRegimeSurcharge(int firstYear)
{
    // The surcharge on the income tax of an individual (Part I of the First Schedule of each
    // year's Finance Act, with marginal relief at every threshold):
    // - 2016-17, Finance Act 2016: 15 % above 1 Cr;
    // - 2017-18, Finance Act 2017 (and 2018-19, Finance Act 2018): 10 % above 50 L, 15 % above 1 Cr;
    // - from 2019-20, Finance (No. 2) Act 2019: 10 % above 50 L, 15 % above 1 Cr, 25 % above
    //   2 Cr, 37 % above 5 Cr; kept for the old regime by the Finance Acts 2020 to 2025 (the
    //   Finance Act 2023 capped it at 25 % under the new regime only), and for 2026-27 by the
    //   Income-tax Act, 2025.
    // Checked against published summaries: taxinindia.com (Finance Act 2016, the surcharge
    // paragraph), taxheal.com and yourfinancebook.com (Finance Bill 2017, its First Schedule),
    // investorq.com and caclubindia.com (Finance (No. 2) Act 2019), community.greythr.com (old
    // and new regime side by side).
    if (firstYear == 2016)
        return {{10000000, 15}};
    if (firstYear == 2017 || firstYear == 2018)
        return {{5000000, 10}, {10000000, 15}};
    if (firstYear >= 2019 && firstYear <= 2026)
        return {{5000000, 10}, {10000000, 15}, {20000000, 25}, {50000000, 37}};
    return {};
}

QList<DemoUser> Users()
{
    return {
        {1, QStringLiteral("admin"), QStringLiteral("Admin@123"),
         QStringLiteral("user 1: may log in, may create allowance heads")},
        {2, QStringLiteral("payroll"), QStringLiteral("pay2018"), QStringLiteral("may log in (Human Resource)")},
        {3, QStringLiteral("accounts"), QStringLiteral("acc2018"), QStringLiteral("may log in")},
        {4, QStringLiteral("stores"), QStringLiteral("stores1"), QStringLiteral("no permission: login denied")},
    };
}

QString UsersText()
{
    QString text = QStringLiteral("Users of the demo company (user name / password):\n");
    for (const DemoUser &u : Users())
        text += QStringLiteral("  %1 / %2   %3\n").arg(u.name.leftJustified(9), u.password.leftJustified(10), u.note);
    return text;
}

void Clear(DbConnection &db)
{
    // TRUNCATE rather than DELETE: millions of salary lines go at once, not row by row.
    for (const QString &t : kTables)
        db.execute(QStringLiteral("TRUNCATE TABLE ") + t);
}

DemoSummary Generate(DbConnection &db, const DemoOptions &options)
{
    QElapsedTimer timer;
    timer.start();
    if (options.reset) {
        Clear(db);
    } else if (QueryFirstValue(db, QStringLiteral("SELECT COUNT(*) FROM dalvoni.userdetails")).toInt() > 0 ||
               QueryFirstValue(db, QStringLiteral("SELECT COUNT(*) FROM hr0910.hr_employee")).toInt() > 0) {
        throw std::runtime_error("the databases already hold data; generate with reset to replace it");
    }

    const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
    if (today < QDate(kYears[0].from, 4, 1))
        throw std::runtime_error("the demo's day must fall on or after 1 April 2016");
    const int defaultYear = DefaultYearFrom(today).year();
    // The months of the current payroll, after those of the history.
    const QDate payrollYearFrom = PayrollYearFrom(today);
    const QDate firstMonth = qMax(payrollYearFrom, HistoryLastFinalised.addDays(1));
    const QDate lastMonth = LastCompleteMonth(today).addDays(1 - LastCompleteMonth(today).day());
    const bool currentPayroll = options.currentPayroll && firstMonth <= lastMonth;
    // Its declarations, unless its year is the history's, which has its own.
    const bool currentDeclarations = currentPayroll && payrollYearFrom > HistoryYearFrom;
    const QList<RegimeChoiceRow> regimeChoices = RegimeChoices(defaultYear);

    DemoSummary summary;
    {
        Transaction tx(db);
        WriteMasters(db, DemoYears(defaultYear), defaultYear);
        summary.finalisations = WriteFinalisations(db);
        if (currentPayroll)
            summary.finalisations += WriteCurrentFinalisations(db, firstMonth, lastMonth);
        tx.commit();
    }

    const int rows = options.rowsPerStatement;
    BulkInsert employees(db,
                         QStringLiteral("INSERT INTO hr0910.hr_employee (emp_slno,emp_code_char,emp_code,emp_name,"
                                        "emp_pan,emp_desig_code,emp_dept_code,emp_unit_code,comp_code,emp_disable,"
                                        "emp_flag) VALUES "),
                         rows);
    BulkInsert salary(db,
                      QStringLiteral("INSERT INTO hr0910.hr_emp_salary (emp_slno,emp_sal_type,emp_sal_dr,emp_sal_cr,"
                                     "emp_sal_date_from) VALUES "),
                      rows);
    BulkInsert bonus(db, QStringLiteral("INSERT INTO hr0910.hr_emp_bonus (emp_slno,emp_bonus,emp_date) VALUES "), rows);
    BulkInsert declarations(db,
                            QStringLiteral("INSERT INTO hr0910.hr_it_trans (emp_slno,emp_it_allowance_code,emp_amount,"
                                           "emp_allowance_slno,emp_it_from,emp_it_to) VALUES "),
                            rows);
    auto flushAll = [&] {
        employees.flush();
        salary.flush();
        bonus.flush();
        declarations.flush();
    };

    int codeInCompany[2] = {0, 0};
    int inServiceC01 = 0;
    const int perTransaction = qMax(1, options.employeesPerTransaction);
    for (int first = 0; first < options.employees; first += perTransaction) {
        Transaction tx(db);
        const int last = qMin(options.employees, first + perTransaction);
        for (int i = first; i < last; ++i) {
            const Employee e = MakeEmployee(options.seed, i, codeInCompany);
            QRandomGenerator rng(options.seed * 7919u + quint32(i));
            employees.add(QLatin1Char('(') + Quoted(e.slno) + QLatin1Char(',') + Quoted(e.codeChar) + QLatin1Char(',') +
                          Quoted(e.code) + QLatin1Char(',') + Quoted(e.name) + QLatin1Char(',') +
                          (e.pan.isEmpty() ? QStringLiteral("NULL") : Quoted(e.pan)) + QLatin1Char(',') +
                          Quoted(e.desig) + QLatin1Char(',') + Quoted(e.dept) + QLatin1Char(',') + Quoted(e.unit) +
                          QLatin1Char(',') + Quoted(e.comp) + QLatin1Char(',') + QString::number(e.disable) +
                          QLatin1Char(',') + QString::number(e.flag) + QLatin1Char(')'));

            std::optional<TaxRegime> currentChoice;
            if (e.comp == QLatin1String(kMainCompany) && e.flag == 0) {
                for (const RegimeChoiceRow &c : regimeChoices) {
                    if (c.nth != inServiceC01)
                        continue;
                    if (c.year == payrollYearFrom.year())
                        currentChoice = c.regime;
                    // Chosen with the payroll user at the start of the year.
                    const AuditStamp stamp{QStringLiteral("2"), QDateTime(QDate(c.year, 4, 10), QTime(11, 30))};
                    RegimeChoice::Save(db, e.slno, QDate(c.year, 4, 1), QDate(c.year + 1, 3, 31), c.regime, stamp);
                    ++summary.regimeChoices;
                }
                ++inServiceC01;
            }

            for (QDate m = e.joined; m <= e.left; m = m.addMonths(1)) {
                const Pay p = PayOf(e, YearOf(m));
                MonthLines lines(salary, e.slno, m);
                EarnRegularPay(lines, e, p);
                if (e.overtime && rng.bounded(100) < 35)
                    lines.earn(kOvertime, 250 * rng.bounded(2, 21));
                if (e.reimbursed)
                    lines.earn(kReimbursement, 1250);
                DeductProvidentFund(lines, p);
                // Profession tax: 200 a month, 300 in February.
                lines.deduct(kProfessionTax, m.month() == 2 ? 300 : 200);
                if (p.tds > 0)
                    lines.deduct(kIncomeTax, p.tds);
                if (e.canteen)
                    lines.deduct(kCanteen, 25 * rng.bounded(8, 25));
            }

            // Diwali bonus in the earlier years; in 2018-19 a Ganesh festival bonus paid in September.
            if (e.basic2018 < 42000 || rng.bounded(100) < 30) {
                for (const QDate &d : {QDate(2016, 10, 25), QDate(2017, 10, 14), QDate(2018, 9, 12)}) {
                    if (d < e.joined || d > e.left.addMonths(1))
                        continue;
                    const double amount = std::round(PayOf(e, YearOf(d)).basic * (0.5 + 0.1 * rng.bounded(6)));
                    bonus.add(QLatin1Char('(') + Quoted(e.slno) + QLatin1Char(',') + Num(amount) + QLatin1Char(',') +
                              Date(d) + QLatin1Char(')'));
                }
            }

            // Declarations of 2018-19.
            if (e.flag == 0 && rng.bounded(100) < 45) {
                const double basic = PayOf(e, YearOf(HistoryYearFrom)).basic;
                QList<QPair<const char *, double>> lines;
                if (rng.bounded(100) < 55)
                    lines.append({"ITA000005", 12 * std::round(basic * (0.2 + 0.05 * rng.bounded(7)) / 500) * 500});
                if (rng.bounded(100) < 50)
                    lines.append({"ITA000001", 1000.0 * rng.bounded(8, 61)});
                if (rng.bounded(100) < 35)
                    lines.append({"ITA000002", 5000.0 * rng.bounded(1, 31)});
                if (rng.bounded(100) < 15)
                    lines.append({"ITA000003", 5000.0 * rng.bounded(1, 11)});
                if (rng.bounded(100) < 20)
                    lines.append({"ITA000004", 2500.0 * rng.bounded(2, 21)});
                if (rng.bounded(100) < 20)
                    lines.append({"ITA000006", 6000.0 * rng.bounded(2, 11)});
                if (basic >= 42000 && rng.bounded(100) < 25)
                    lines.append({"ITA000007", 10000.0 * rng.bounded(3, 16)});
                Declare(declarations, e.slno, lines, HistoryYearFrom);
            }

            // The current payroll, drawn from a generator of its own so that everything
            // above comes out as it always did.
            if (currentPayroll && e.flag == 0) {
                QRandomGenerator recent(options.seed * 104729u + quint32(i));
                const Year y = YearOf(payrollYearFrom);
                const Pay p = PayOf(e, y);
                // The monthly deduction estimated under the employee's regime: his own
                // choice, else the year's default.
                double tds = p.tds;
                const std::optional<NewRegimeSetup::Year> newRegime = RegimeFigures(y.from);
                if (newRegime && currentChoice.value_or(newRegime->defaultRegime) == TaxRegime::New) {
                    const double yearly = 12 * (p.basic + p.da + p.special + p.hra + p.transport);
                    tds = std::round(NewRegimeTax::Compute({yearly, 0, 0}, *newRegime).payable / 12 / 10) * 10;
                }
                for (QDate m = firstMonth; m <= lastMonth; m = m.addMonths(1)) {
                    MonthLines lines(salary, e.slno, m);
                    EarnRegularPay(lines, e, p);
                    DeductProvidentFund(lines, p);
                    lines.deduct(kProfessionTax, 200);
                    if (tds > 0)
                        lines.deduct(kIncomeTax, tds);
                }
                if (currentDeclarations && recent.bounded(100) < 60) {
                    QList<QPair<const char *, double>> lines;
                    if (recent.bounded(100) < 55)
                        lines.append(
                            {"ITA000005", 12 * std::round(p.basic * (0.2 + 0.05 * recent.bounded(7)) / 500) * 500});
                    lines.append({"ITA000001", 1000.0 * recent.bounded(8, 61)});
                    if (recent.bounded(100) < 50)
                        lines.append({"ITA000002", 5000.0 * recent.bounded(1, 31)});
                    if (recent.bounded(100) < 25)
                        lines.append({"ITA000004", 2500.0 * recent.bounded(2, 21)});
                    Declare(declarations, e.slno, lines, payrollYearFrom);
                }
            }
        }
        flushAll();
        tx.commit();
    }
    if (options.highEarners) {
        Transaction tx(db);
        const PayrollSpan span{currentPayroll ? firstMonth : lastMonth.addMonths(1), lastMonth, payrollYearFrom,
                               currentDeclarations, DemoYears(defaultYear).last().from};
        WriteHighEarners(db, employees, salary, declarations, codeInCompany, options, span, summary);
        flushAll();
        tx.commit();
    }
    summary.employees = employees.total();
    summary.salaryLines = salary.total();
    summary.bonuses = bonus.total();
    summary.declarations = declarations.total();
    summary.milliseconds = timer.elapsed();
    return summary;
}

} // namespace DemoData
