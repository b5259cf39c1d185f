#include "Certificate.h"

#include "session/Common.h"

#include <QRegularExpression>

#include <utility>

namespace Certificate {

namespace {

using TaxCertificate::Split;

const QString kRentHead = QStringLiteral("ITA000005");

// The wording of the rows that name the Act's sections.
//
// Form No. 16, Part B (Annexure), "Details of Salary Paid and any other income and tax
// deducted", as substituted by the Income-tax (3rd Amendment) Rules, 2019 (Notification No.
// 36/2019, G.S.R. 304(E) of 12 April 2019, in force from 12 May 2019), with the question
// on section 115BAC that the later amendments added at its head (opting for it from 2020-21;
// opting out of its sub-section (1A), the default, from 2023-24): the rows 1 to 19 and their
// wording as published in the Gazette and in the certificates employers issue.
//
// Form No. 130 of the Income-tax Rules, 2026 (rule 215(1)), the certificate under section
// 395(4) of the Income-tax Act, 2025 for tax deducted under section 392, from tax year
// 2026-27: the same computation in the same rows, with the 2025 Act's sections (salary 16,
// perquisites 17, profits in lieu of salary 18, deductions from salaries 19, house property
// 22, 80C 123, 80D 126, rebate 156, new regime 202) and "Tax Year" for "Assessment Year".
struct Wording
{
    const char *salary, *perquisites, *profits;
    const char *exempt, *travel, *gratuity, *pension, *leave, *houseRent, *otherExempt, *transport, *otherTotal,
        *exemptTotal;
    const char *deductions, *standard, *entertainment, *employment, *deductionsTotal;
    const char *otherIncome, *houseProperty, *otherSources;
    const char *chapter, *s80c, *s80ccc, *s80ccd1, *s80cTotal, *s80ccd1b, *s80ccd2, *s80d, *s80e, *s80g, *s80tta,
        *otherDeduction, *otherDeductionTotal, *aggregate;
    const char *rebate, *relief;
};

constexpr Wording kAct1961 = {
    "Salary as per provisions contained in section 17(1)",
    "Value of perquisites under section 17(2) (as per Form No. 12BA, wherever applicable)",
    "Profits in lieu of salary under section 17(3) (as per Form No. 12BA, wherever applicable)",
    "Less: Allowances to the extent exempt under section 10",
    "Travel concession or assistance under section 10(5)",
    "Death-cum-retirement gratuity under section 10(10)",
    "Commuted value of pension under section 10(10A)",
    "Cash equivalent of leave salary encashment under section 10(10AA)",
    "House rent allowance under section 10(13A)",
    "Amount of any other exemption under section 10",
    "clause 14(ii): transport allowance",
    "Total amount of any other exemption under section 10",
    "Total amount of exemption claimed under section 10 [2(a)+2(b)+2(c)+2(d)+2(e)+2(g)]",
    "Less: Deductions under section 16",
    "Standard deduction under section 16(ia)",
    "Entertainment allowance under section 16(ii)",
    "Tax on employment under section 16(iii)",
    "Total amount of deductions under section 16 [4(a)+4(b)+4(c)]",
    "Add: Any other income reported by the employee under as per section 192 (2B)",
    "Income (or admissible loss) from house property reported by employee offered for TDS",
    "Income under the head Other Sources offered for TDS",
    "Deductions under Chapter VI-A",
    "Deduction in respect of life insurance premia, contributions to provident fund etc. under section 80C",
    "Deduction in respect of contribution to certain pension funds under section 80CCC",
    "Deduction in respect of contribution by taxpayer to pension scheme under section 80CCD (1)",
    "Total deduction under section 80C, 80CCC and 80CCD(1)",
    "Deductions in respect of amount paid/deposited to notified pension scheme under section 80CCD (1B)",
    "Deduction in respect of contribution by Employer to pension scheme under section 80CCD (2)",
    "Deduction in respect of health insurance premia under section 80D",
    "Deduction in respect of interest on loan taken for higher education under section 80E",
    "Total Deduction in respect of donations to certain funds, charitable institutions, etc. under section 80G",
    "Deduction in respect of interest on deposits in savings account under section 80TTA",
    "Amount deductible under any other provision(s) of Chapter VI-A",
    "Total of amount deductible under any other provision(s) of Chapter VI-A",
    "Aggregate of deductible amount under Chapter VI-A [10(d)+10(e)+10(f)+10(g)+10(h)+10(i)+10(j)+10(l)]",
    "Rebate under section 87A, if applicable",
    "Less: Relief under section 89 (attach details)",
};

constexpr Wording kAct2025 = {
    "Salary as per section 16",
    "Value of perquisites under section 17 (as per Form No. 12BA, wherever applicable)",
    "Profits in lieu of salary under section 18 (as per Form No. 12BA, wherever applicable)",
    "Less: Allowances to the extent exempt under section 11",
    "Travel concession or assistance exempt under section 11",
    "Death-cum-retirement gratuity exempt under section 11",
    "Commuted value of pension exempt under section 11",
    "Cash equivalent of leave salary encashment exempt under section 11",
    "House rent allowance exempt under section 11",
    "Amount of any other exemption under section 11",
    "transport allowance",
    "Total amount of any other exemption under section 11",
    "Total amount of exemption claimed under section 11 [2(a)+2(b)+2(c)+2(d)+2(e)+2(g)]",
    "Less: Deductions under section 19",
    "Standard deduction under section 19",
    "Entertainment allowance under section 19",
    "Tax on employment under section 19",
    "Total amount of deductions under section 19 [4(a)+4(b)+4(c)]",
    "Add: Any other income reported by the employee under section 392",
    "Income (or admissible loss) from house property (section 22) reported by employee offered for TDS",
    "Income under the head Other Sources offered for TDS",
    "Deductions under Chapter VIII",
    "Deduction in respect of life insurance premia, contributions to provident fund etc. under section 123",
    "Deduction in respect of contribution to certain pension funds",
    "Deduction in respect of contribution by taxpayer to pension scheme",
    "Total deduction in respect of life insurance premia, provident fund and pension funds",
    "Deductions in respect of amount paid/deposited to notified pension scheme (additional)",
    "Deduction in respect of contribution by Employer to pension scheme",
    "Deduction in respect of health insurance premia under section 126",
    "Deduction in respect of interest on loan taken for higher education",
    "Total Deduction in respect of donations to certain funds, charitable institutions, etc.",
    "Deduction in respect of interest on deposits in savings account",
    "Amount deductible under any other provision(s) of Chapter VIII",
    "Total of amount deductible under any other provision(s) of Chapter VIII",
    "Aggregate of deductible amount under Chapter VIII [10(d)+10(e)+10(f)+10(g)+10(h)+10(i)+10(j)+10(l)]",
    "Rebate under section 156, if applicable",
    "Less: Relief for arrears of salary (attach details)",
};

QString T(const char *text)
{
    return QString::fromUtf8(text);
}

QString YearLabel(int firstYear)
{
    return QStringLiteral("%1-%2").arg(firstYear).arg((firstYear + 1) % 100, 2, 10, QLatin1Char('0'));
}

// The rows of one document: amounts under its columns, split or whole.
class Rows
{
public:
    explicit Rows(bool projected) : m_projected(projected) {}

    QList<Line> lines;

    // A numbered row with its amount; a split amount shows its parts in a projected computation.
    void amount(const QString &number, const QString &text, int level, const Split &value, bool strong = false)
    {
        add(number, text, level, strong, value, true);
    }
    // A row whose amount is the year's, not split into the months paid and those to come.
    void amount(const QString &number, const QString &text, int level, double value, bool strong = false)
    {
        add(number, text, level, strong, Split{value, 0}, false);
    }
    // A row of Chapter VI-A: the gross amount beside the amount deductible.
    void deduction(const QString &number, const QString &text, const Split &gross, double deductible)
    {
        Line l{number, text, 1, false, {}};
        if (m_projected)
            l.cells = {Amount(gross.total()), {}, {}, Amount(deductible)};
        else
            l.cells = {Amount(gross.total()), Amount(deductible)};
        lines.append(l);
    }
    // A line of detail under a row (a declaration, the transport allowance's clause), beside the
    // row's own amount: in the gross amount's column of the certificate.
    void detail(const QString &text, const Split &value, bool split = true)
    {
        add(QString(), text, 2, false, value, split);
        // The certificate shows it in the gross amount's column, beside the row's own amount.
        if (!m_projected)
            std::swap(lines.last().cells[0], lines.last().cells[1]);
    }
    void heading(const QString &number, const QString &text, int level = 0, const QStringList &cellTexts = {})
    {
        Line l{number, text, level, false, {}};
        for (const QString &c : cellTexts)
            l.cells.push_back({std::nullopt, c});
        lines.append(l);
    }

private:
    static Cell Amount(double value) { return {RoundAmount(value), QString()}; }
    void add(const QString &number, const QString &text, int level, bool strong, const Split &value, bool split)
    {
        Line l{number, text, level, strong, {}};
        if (m_projected)
            l.cells = {{},
                       split ? Amount(value.soFar) : Cell(),
                       split ? Amount(value.projected) : Cell(),
                       Amount(value.total())};
        else
            l.cells = {{}, Amount(value.total())};
        lines.append(l);
    }
    bool m_projected;
};

QString Letter(int i)
{
    return QStringLiteral("(%1)").arg(QChar('a' + i));
}

void AddRows(Rows &r, const Wording &w, const Inputs &in, bool projected)
{
    const TaxCertificate::Computation &c = in.computation;
    const TaxFigures &f = in.record.figures;

    r.heading(QStringLiteral("1."), QStringLiteral("Gross Salary"));
    r.amount(Letter(0), T(w.salary), 1, c.salary);
    r.amount(Letter(1), T(w.perquisites), 1, 0);
    r.amount(Letter(2), T(w.profits), 1, 0);
    r.amount(Letter(3), QStringLiteral("Total"), 1, c.salary, true);
    r.amount(Letter(4), QStringLiteral("Reported total amount of salary received from other employer(s)"), 1, 0);

    r.heading(QStringLiteral("2."), T(w.exempt));
    r.amount(Letter(0), T(w.travel), 1, 0);
    r.amount(Letter(1), T(w.gratuity), 1, 0);
    r.amount(Letter(2), T(w.pension), 1, 0);
    r.amount(Letter(3), T(w.leave), 1, 0);
    r.amount(Letter(4), T(w.houseRent), 1, c.houseRent);
    r.amount(Letter(5), T(w.otherExempt), 1, c.transport);
    if (c.transport.total() != 0)
        r.detail(T(w.transport), c.transport);
    r.amount(Letter(6), T(w.otherTotal), 1, c.transport);
    const Split exempt{RoundAmount(c.houseRent.soFar + c.transport.soFar),
                       RoundAmount(c.houseRent.projected + c.transport.projected)};
    r.amount(Letter(7), T(w.exemptTotal), 1, exempt, true);
    const Split received{RoundAmount(c.salary.soFar - exempt.soFar),
                         RoundAmount(c.salary.projected - exempt.projected)};
    r.amount(QStringLiteral("3."), QStringLiteral("Total amount of salary received from current employer [1(d)-2(h)]"),
             0, received, true);

    r.heading(QStringLiteral("4."), T(w.deductions));
    r.amount(Letter(0), T(w.standard), 1, c.standardDeduction);
    r.amount(Letter(1), T(w.entertainment), 1, 0);
    r.amount(Letter(2), T(w.employment), 1, c.professionTax);
    const double section16 = RoundAmount(c.standardDeduction + c.professionTax);
    r.amount(QStringLiteral("5."), T(w.deductionsTotal), 0, section16, true);
    const Split salaries{RoundAmount(received.soFar - section16), received.projected};
    r.amount(QStringLiteral("6."), QStringLiteral("Income chargeable under the head \"Salaries\" [(3+1(e)-5]"), 0,
             salaries, true);

    r.heading(QStringLiteral("7."), T(w.otherIncome));
    r.amount(Letter(0), T(w.houseProperty), 1, c.houseProperty);
    r.amount(Letter(1), T(w.otherSources), 1, 0);
    r.amount(QStringLiteral("8."), QStringLiteral("Total amount of other income reported by the employee [7(a)+7(b)]"),
             0, c.houseProperty, true);
    const Split grossTotal{RoundAmount(salaries.soFar + c.houseProperty), salaries.projected};
    r.amount(QStringLiteral("9."), QStringLiteral("Gross total income (6+8)"), 0, grossTotal, true);

    r.heading(QStringLiteral("10."), T(w.chapter), 0,
              projected
                  ? QStringList{QStringLiteral("Gross Amount"), QString(), QString(), QStringLiteral("Deductible")}
                  : QStringList{QStringLiteral("Gross Amount"), QStringLiteral("Deductible Amount")});
    r.deduction(Letter(0), T(w.s80c), c.gross80c, c.allowed80c);
    if (f.pf + f.pfProj != 0)
        r.detail(QStringLiteral("Provident fund"), {f.pf, f.pfProj});
    for (const Declaration &d : in.declarations)
        if (d.head != kRentHead)
            r.detail(d.name, {d.amount, 0}, false);
    r.deduction(Letter(1), T(w.s80ccc), {}, 0);
    r.deduction(Letter(2), T(w.s80ccd1), {}, 0);
    r.deduction(Letter(3), T(w.s80cTotal), c.gross80c, c.allowed80c);
    r.deduction(Letter(4), T(w.s80ccd1b), {}, 0);
    r.deduction(Letter(5), T(w.s80ccd2), {}, 0);
    r.deduction(Letter(6), T(w.s80d), {c.premium, 0}, c.allowedPremium);
    r.deduction(Letter(7), T(w.s80e), {}, 0);
    r.deduction(Letter(8), T(w.s80g), {}, 0);
    r.deduction(Letter(9), T(w.s80tta), {}, 0);
    r.deduction(Letter(10), T(w.otherDeduction), {}, 0);
    r.deduction(Letter(11), T(w.otherDeductionTotal), {}, 0);
    const double aggregate = RoundAmount(c.allowed80c + c.allowedPremium);
    r.amount(QStringLiteral("11."), T(w.aggregate), 0, aggregate, true);
    r.amount(QStringLiteral("12."), QStringLiteral("Total taxable income (9-11)"), 0, c.totalIncome, true);
    r.amount(QStringLiteral("13."), QStringLiteral("Tax on total income"), 0, c.taxOnIncome);
    r.amount(QStringLiteral("14."), T(w.rebate), 0, c.rebate);
    r.amount(QStringLiteral("15."), QStringLiteral("Surcharge, wherever applicable"), 0, c.surcharge);
    r.amount(QStringLiteral("16."), QStringLiteral("Health and education cess"), 0, c.cess);
    r.amount(QStringLiteral("17."), QStringLiteral("Tax payable (13+15+16-14)"), 0, c.payable, true);
    r.amount(QStringLiteral("18."), T(w.relief), 0, 0);
    r.amount(QStringLiteral("19."), QStringLiteral("Net tax payable (17-18)"), 0, c.payable, true);
    // Beside the form's rows: what was deducted from the salary, and what remains.
    r.amount(QString(), QStringLiteral("Tax deducted from salary so far"), 0, c.deducted);
    r.amount(QString(),
             c.balance < 0 ? QStringLiteral("Balance: deducted above the tax payable (19 less tax deducted)")
                           : QStringLiteral("Balance of tax to be deducted (19 less tax deducted)"),
             0, c.balance, true);
}

} // namespace

Form FormOf(const QDate &finYearFrom)
{
    if (finYearFrom >= QDate(2026, 4, 1))
        return Form::Form130;
    if (finYearFrom >= QDate(2023, 4, 1))
        return Form::Form16OptingOut;
    if (finYearFrom >= QDate(2020, 4, 1))
        return Form::Form16OptingFor;
    return Form::Form16;
}

double Declared80c(const QList<Declaration> &declarations)
{
    double sum = 0;
    for (const Declaration &d : declarations)
        if (d.head != kRentHead)
            sum += d.amount;
    return sum;
}

Document Build(const Inputs &in)
{
    Document d;
    d.form = FormOf(in.finYearFrom);
    d.projected = in.monthsRemaining > 0;
    const bool act2025 = d.form == Form::Form130;
    const bool newRegime = in.computation.regime == TaxRegime::New;
    const int year = in.finYearFrom.year();

    if (act2025) {
        d.heading << QStringLiteral("FORM NO. 130") << QStringLiteral("[See rule 215(1)]")
                  << QStringLiteral("Certificate under section 395(4) of the Income-tax Act, 2025 for tax deducted at "
                                    "source on salary paid to an employee under section 392");
        d.yearCaption = QStringLiteral("Tax Year ") + YearLabel(year);
    } else {
        d.heading << QStringLiteral("FORM NO. 16") << QStringLiteral("[See rule 31(1)(a)]")
                  << QStringLiteral("Certificate under section 203 of the Income-tax Act, 1961 for tax deducted at "
                                    "source on salary paid to an employee under section 192");
        d.yearCaption = QStringLiteral("Assessment Year ") + YearLabel(year + 1);
    }
    d.heading << QStringLiteral("PART B (Annexure)");
    if (d.projected)
        d.heading << QStringLiteral("PROJECTED COMPUTATION OF TAX ON SALARY (not a certificate)");
    else
        d.heading << QStringLiteral("Details of Salary Paid and any other income and tax deducted");

    const EmployerDetails::Details &e = in.employer;
    using EmployerDetails::Field;
    d.employer = {{QStringLiteral("Name and address of the Employer"),
                   in.companyName + QStringLiteral(", ") + e[Field::Address] + QStringLiteral(", ") + e[Field::City]},
                  {QStringLiteral("TAN of the Deductor"), e[Field::Tan]},
                  {QStringLiteral("PAN of the Deductor"), e[Field::Pan]}};
    const Employee &emp = in.employee;
    QString role = emp.designation;
    if (!emp.department.isEmpty())
        role += (role.isEmpty() ? QString() : QStringLiteral(", ")) + emp.department;
    d.employee = {{QStringLiteral("Name and designation of the Employee"),
                   emp.name + QStringLiteral(" (") + emp.code + QStringLiteral(")") +
                       (role.isEmpty() ? QString() : QStringLiteral(", ") + role)},
                  {QStringLiteral("PAN of the Employee"), emp.pan.isEmpty() ? QStringLiteral("PANNOTAVBL") : emp.pan},
                  {QStringLiteral("Period with the Employer"), in.periodFrom.toString(QStringLiteral("dd-MMM-yyyy")) +
                                                                   QStringLiteral(" to ") +
                                                                   in.periodTo.toString(QStringLiteral("dd-MMM-yyyy"))},
                  {act2025 ? QStringLiteral("Tax Year") : QStringLiteral("Assessment Year"),
                   act2025 ? YearLabel(year) : YearLabel(year + 1)}};

    switch (d.form) {
    case Form::Form16:
        break;
    case Form::Form16OptingFor:
        d.regimeQuestion = QStringLiteral("Whether opting for taxation u/s 115BAC?");
        d.regimeAnswer = newRegime ? QStringLiteral("Yes") : QStringLiteral("No");
        break;
    case Form::Form16OptingOut:
        d.regimeQuestion = QStringLiteral("Whether opting out of taxation u/s 115BAC(1A)?");
        d.regimeAnswer = newRegime ? QStringLiteral("No") : QStringLiteral("Yes");
        break;
    case Form::Form130:
        d.regimeQuestion = QStringLiteral("Whether opting out of taxation under section 202(1)?");
        d.regimeAnswer = newRegime ? QStringLiteral("No") : QStringLiteral("Yes");
        break;
    }

    d.columns = d.projected ? QStringList{QString(), QStringLiteral("So far"), QStringLiteral("Projected"),
                                          QStringLiteral("Total Rs.")}
                            : QStringList{QString(), QStringLiteral("Rs.")};
    Rows rows(d.projected);
    AddRows(rows, act2025 ? kAct2025 : kAct1961, in, d.projected);
    d.lines = rows.lines;

    if (d.projected)
        d.notes << QStringLiteral("Projected: %1 month(s) of the period remain after the last finalised salary "
                                  "month; the salary, house-rent exemption and provident fund of those months are "
                                  "estimated. It becomes the certificate's computation once the salary of %2 is "
                                  "finalised.")
                       .arg(in.monthsRemaining)
                       .arg(in.periodTo.toString(QStringLiteral("MMMM yyyy")));
    if (emp.pan.isEmpty())
        d.notes << (act2025 ? QStringLiteral("The employee has not given his PAN: tax at the higher rate of 20 % may "
                                             "be due under the Income-tax Act, 2025 (formerly section 206AA).")
                            : QStringLiteral("The employee has not given his PAN: tax at the higher rate of 20 % may "
                                             "be due under section 206AA."));

    d.place = e[Field::SignPlace];
    d.date = in.issued.toString(QStringLiteral("dd-MM-yyyy"));
    d.signatory = e[Field::ResponsibleName];
    if (!d.projected)
        d.verification << QStringLiteral("Verification")
                       << QStringLiteral("I, %1, son/daughter of %2 working in the capacity of %3 (designation) do "
                                         "hereby certify that the information given above is true, complete and "
                                         "correct and is based on the books of account, documents, TDS statements, "
                                         "and other available records.")
                              .arg(e[Field::ResponsibleName], e[Field::FatherName], e[Field::Designation]);
    return d;
}

QStringList PlainText(const Document &d)
{
    QStringList out = d.heading;
    out << d.yearCaption;
    for (const auto &[label, value] : d.employer)
        out << label + QStringLiteral(": ") + value;
    for (const auto &[label, value] : d.employee)
        out << label + QStringLiteral(": ") + value;
    if (!d.regimeQuestion.isEmpty())
        out << d.regimeQuestion + QLatin1Char(' ') + d.regimeAnswer;
    out << d.columns.join(QLatin1Char(' ')).trimmed();
    for (const Line &l : d.lines) {
        QString text = (l.number.isEmpty() ? QString() : l.number + QLatin1Char(' ')) + l.text;
        for (const Cell &c : l.cells) {
            if (c.amount)
                text += QLatin1Char(' ') + IndianAmount(*c.amount);
            else if (!c.text.isEmpty())
                text += QLatin1Char(' ') + c.text;
        }
        out << text;
    }
    out << d.notes << d.verification;
    out << QStringLiteral("Place: ") + d.place << QStringLiteral("Date: ") + d.date;
    if (!d.projected)
        out << QStringLiteral("Full Name: ") + d.signatory;
    return out;
}

QString FileName(const QString &employeeCode)
{
    QString name = employeeCode.trimmed();
    name.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9._-]")), QStringLiteral("_"));
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1Char('_'));
    return name + QStringLiteral(".pdf");
}

QString CombinedFileName(const QString &companyCode, const QDate &from, const QDate &to)
{
    return FileName(companyCode + QLatin1Char('_') + SqlDate(from) + QLatin1Char('_') + SqlDate(to));
}

} // namespace Certificate
