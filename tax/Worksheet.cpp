#include "Worksheet.h"

#include "session/ColumnLengths.h"
#include "session/Common.h"
#include "session/DbConnection.h"
#include "tax/OldRegimeTax.h"
#include "tax/RegimeChoice.h"
#include "tax/Surcharge.h"
#include "tax/TaxRecord.h"

#include <QHash>
#include <QStringList>

#include <cmath>

namespace Worksheet {

namespace {

double Num(const QString &text)
{
    return LeadingNumber(text);
}

// Sums of two-decimal amounts are written plain without the binary noise of the addition.
QString Plain(double value)
{
    return PlainNumber(RoundAmount(value));
}

int MonthsOf(const Figures &f)
{
    return static_cast<int>(Num(f.TxMonths));
}

// The balance still to deduct, and spread over the months remaining.
void SetBalance(Figures &f)
{
    f.TxBalance = Format00(Num(f.TxNetTax) - Num(f.TxSalaryDeductions));
    f.TxPerMonth = Format00(TaxRecord::PerMonth(Num(f.TxBalance), MonthsOf(f)));
}

void ResizeLines(Figures &f, int count)
{
    while (f.lines.size() > count)
        f.lines.removeLast();
    while (f.lines.size() < count)
        f.lines.append(DeclarationLine());
}

} // namespace

int Figures::filledLines() const
{
    int n = 0;
    while (n < lines.size() && lines[n].filled())
        ++n;
    return n;
}

SalarySum ServerSalarySum(DbConnection &db, const QString &slno, const QDate &from, const QDate &to)
{
    return [&db, slno, from, to](SalaryFigures::Head head) {
        return SalaryFigures::Sum(db, head, slno, from, to, SalaryFigures::Caller::Worksheet);
    };
}

SalarySum LoadedSalarySum(DbConnection &db, Figures &f, const QDate &from, const QDate &to)
{
    return [&db, &f, from, to](SalaryFigures::Head head) {
        std::optional<double> *kept = head == SalaryFigures::Head::BasicPay      ? &f.loadedBasic
                                      : head == SalaryFigures::Head::HraReceived ? &f.loadedHraReceived
                                                                                 : nullptr;
        if (kept && *kept)
            return **kept;
        const double value = SalaryFigures::Sum(db, head, f.LbSerialNo, from, to, SalaryFigures::Caller::Worksheet);
        if (kept)
            *kept = value;
        return value;
    };
}

Figures OpenedFigures()
{
    Figures f;
    f.TxHLInterest = QStringLiteral("0.00");
    f.TxMediClaim = QStringLiteral("0.00");
    ResizeLines(f, 17);
    return f;
}

void Clear(Figures &f)
{
    for (QString *field : {&f.LbName, &f.LbSerialNo, &f.LbDesig, &f.LbUnit, &f.LbDept, &f.LbCompany, &f.LbPan,
                           &f.TxGrossPay, &f.TxProjection, &f.TxMonths, &f.TxTaxableAmt})
        field->clear();
    for (QString *field : {&f.TxTotalPay, &f.TxMediClaim, &f.TxProfTax, &f.TxTransportAllowance, &f.TxHRA,
                           &f.TxHraProjection, &f.TxHLInterest, &f.TxNetTax, &f.TxNetTaxable, &f.TxPF, &f.TxTotal80c,
                           &f.TxSalaryDeductions, &f.TxTaxableIncome, &f.TxBalance, &f.TxNet80C, &f.TxPerMonth})
        *field = QStringLiteral("0.00");
    f.lines.clear();
    ResizeLines(f, 20);
    f.loadedBasic.reset();
    f.loadedHraReceived.reset();
}

bool TaxInputsDiffer(const Figures &a, const Figures &b)
{
    return a.TxHLInterest != b.TxHLInterest || a.TxMediClaim != b.TxMediClaim || a.TxNet80C != b.TxNet80C;
}

void LoadYearSetup(DbConnection &db, YearSetup &setup, Figures &f)
{
    const ITSetup::Year year = ITSetup::Load(db, setup.finYearFrom, setup.finYearTo, ITSetup::Reader::Computation);
    const std::pair<ITSetup::Limit, QString *> shown[] = {
        {ITSetup::LimitMC, &f.TxMediClaimLimit}, {ITSetup::LimitHL, &f.TxHLInterestLimit},
        {ITSetup::Limit80C, &f.Tx80CLimit},      {ITSetup::LimitExemption, &f.TxExcemption},
        {ITSetup::LimitRebate, &f.LbRebate},
    };
    for (const auto &[limit, field] : shown)
        if (year.limits[limit])
            *field = Format00(*year.limits[limit]);
    if (year.limits[ITSetup::LimitCess])
        setup.cessRate = RoundAmount(*year.limits[ITSetup::LimitCess]);
    for (int n = 0; n < 4; ++n)
        if (year.slabs[n])
            setup.slabs[n] = *year.slabs[n];
}

QString HeadListSql()
{
    return QStringLiteral("Select allowance_code,allowance_name from hr0910.hr_it_allowance  order by allowance_code");
}

QString DeclarationsSql(const QString &slno, const QDate &from, const QDate &to)
{
    return QStringLiteral(
               "Select * from hr_it_trans Inner join hr_it_allowance on allowance_code=emp_it_allowance_code "
               "where emp_slno='") +
           SqlEscape(slno) + QStringLiteral("'  and emp_it_from='") + SqlDate(from) +
           QStringLiteral("' and  emp_it_to='") + SqlDate(to) + QStringLiteral("' order by emp_allowance_slno");
}

QString TaxRecordSql(const QString &slno, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from hr_it where emp_slno='") + SqlEscape(slno.trimmed()) +
           QStringLiteral("' and emp_it_from='") + SqlDate(from) + QStringLiteral("' and  emp_it_to='") + SqlDate(to) +
           QStringLiteral("' ");
}

LoadResult LoadFigures(DbConnection &db, Figures &f, const YearSetup &setup, const QDate &today)
{
    using namespace SalaryFigures;
    LoadResult result;
    const QString s = f.LbSerialNo;
    const QDate start = setup.taxYearStart, end = setup.taxYearEnd;
    f.loadedBasic.reset();
    f.loadedHraReceived.reset();

    // Gross pay month by month, and how many salary months there should have been by now.
    const int expectedMonths = MonthDiff(start, today) - 1;
    const MonthlyGross monthly = ReadMonthlyGross(db, s, start, end, Caller::Worksheet);
    f.TxGrossPay = Format00(monthly.gross);
    const double gross = Num(f.TxGrossPay);

    // Months after the last finalised salary month. Without one nothing can be counted, so
    // nothing is projected and the user is told.
    const QDate finalised = ReadLastFinalised(db, f.companyCodeTag, end);
    if (finalised.isValid()) {
        f.TxMonths = QString::number(qMax(0, MonthsRemaining(finalised, end)));
    } else {
        result.finalised = false;
        f.TxMonths = QStringLiteral("0");
    }
    const int m = MonthsOf(f);

    // Written plain when the months paid are those expected (no month to take a rate from: 0).
    const double projection = OldRegimeTax::WorksheetGrossProjection(gross, monthly.months, expectedMonths, m);
    f.TxProjection = OldRegimeTax::WorksheetProjects(m) && monthly.months == expectedMonths ? PlainNumber(projection)
                                                                                            : Format00(projection);

    Recordset bonus = db.query(BonusSql(s, start, end));
    while (!bonus.eof()) {
        f.TxGrossPay = Plain(Num(f.TxGrossPay) + RoundAmount(bonus.number(QStringLiteral("emp_bonus"))));
        bonus.moveNext();
    }
    bonus.close();

    f.TxTotalPay = Format00(Num(f.TxGrossPay) + Num(f.TxProjection));

    const double pf = Sum(db, Head::ProvidentFund, s, start, end, Caller::Worksheet);
    f.TxPF = Format00(OldRegimeTax::WorksheetProjectedTotal(pf, m));

    f.TxProfTax = Format00(Sum(db, Head::ProfessionTax, s, start, end, Caller::Worksheet));

    // Before 1 April 2016 the field keeps what the clearing left.
    if (OldRegimeTax::IsTransportYear(setup.finYearFrom))
        f.TxTransportAllowance = Format00(
            OldRegimeTax::WorksheetTransport(Sum(db, Head::TransportAllowance, s, start, end, Caller::Worksheet), m));
    else if (const auto deduction = OldRegimeTax::WorksheetStandardDeduction(setup.finYearFrom))
        f.TxTransportAllowance = Format00(*deduction);

    // The stored declarations fill the grid from line 1; the grid grows when they need more lines.
    Recordset decl = db.query(DeclarationsSql(s, start, end));
    int n = 0;
    while (!decl.eof()) {
        ++n;
        if (f.lines.size() < n)
            ResizeLines(f, n);
        DeclarationLine &line = f.lines[n - 1];
        line.slNo = QString::number(n);
        line.particulars = decl.text(QStringLiteral("allowance_name"));
        line.amount = Format00(decl.number(QStringLiteral("emp_amount")));
        line.code = decl.text(QStringLiteral("emp_it_allowance_code"));
        decl.moveNext();
    }
    decl.close();

    Recordset record = db.query(TaxRecordSql(s, start, end));
    if (!record.eof()) {
        f.TxHLInterest = Format00(record.number(QStringLiteral("emp_hl_int")));
        f.TxMediClaim = Format00(record.number(QStringLiteral("emp_mc")));
    }
    record.close();

    f.TxSalaryDeductions = Format00(Sum(db, Head::TaxDeducted, s, start, end, Caller::Worksheet));

    ComputeDeclarations(f, LoadedSalarySum(db, f, start, end));
    ComputeTax(f, setup);
    return result;
}

void ComputeDeclarations(Figures &f, const SalarySum &sum)
{
    f.TxTotal80c = Format00(0);
    f.TxHRA = Format00(0);
    f.TxHraProjection = Format00(0);
    const int m = MonthsOf(f);
    for (const DeclarationLine &line : f.lines) {
        if (!line.filled())
            break;
        if (line.code != QLatin1String(kRentHead)) {
            f.TxTotal80c = Format00(Num(f.TxTotal80c) + Num(line.amount));
            continue;
        }
        const double basic = sum(SalaryFigures::Head::BasicPay);
        const double received = sum(SalaryFigures::Head::HraReceived);
        const double exemption = OldRegimeTax::WorksheetHraExemption(Num(line.amount), basic, received,
                                                                     OldRegimeTax::IsMetroUnitName(f.LbUnit));
        f.TxHRA = Format00(exemption);
        f.TxHraProjection = Format00(OldRegimeTax::WorksheetProjection(exemption, m));
    }
    f.TxTotal80c = Format00(Num(f.TxTotal80c) + Num(f.TxPF));
    f.TxNet80C = Num(f.Tx80CLimit) > Num(f.TxTotal80c) ? f.TxTotal80c : Format00(Num(f.Tx80CLimit));
    SetBalance(f);
}

void ComputeTax(Figures &f, const YearSetup &setup)
{
    const double mcLimit = Num(f.TxMediClaimLimit), hlLimit = Num(f.TxHLInterestLimit);
    const double mediclaim = mcLimit <= Num(f.TxMediClaim) ? mcLimit : Num(f.TxMediClaim);
    const double interest = hlLimit <= Num(f.TxHLInterest) ? hlLimit : Num(f.TxHLInterest);

    f.TxTaxableAmt = Format00(Num(f.TxGrossPay) + Num(f.TxProjection) - Num(f.TxHRA) - Num(f.TxHraProjection) -
                              Num(f.TxProfTax) - Num(f.TxTransportAllowance) - interest - Num(f.TxNet80C) - mediclaim);
    const double taxable = Num(f.TxTaxableAmt), exemption = Num(f.TxExcemption);
    f.TxNetTaxable = Format00(taxable - exemption > 0 ? taxable - exemption : 0);
    f.TxTaxableIncome = Format00(taxable - exemption > 0 ? taxable - exemption : 0);
    const OldRegimeTax::WorksheetSlab slab =
        OldRegimeTax::WorksheetSlabTax(taxable, exemption, setup.slabs, setup.finYearTo);
    f.TxNetTaxable = slab.plain ? PlainNumber(slab.tax) : Format00(slab.tax);

    // The rebate by financial year; other years keep the stored setting.
    const double totalPay = Num(f.TxTotalPay);
    if (const auto rebate = OldRegimeTax::WorksheetRebate(setup.finYearFrom, setup.finYearTo, taxable, totalPay))
        f.LbRebate = Format00(*rebate);

    const double net = Num(f.TxNetTaxable) - Num(f.LbRebate);
    f.LbNetAmount = Format00(net < 0 ? 0 : net);
    if (totalPay < 500000 && Num(f.TxNetTaxable) <= 0)
        f.TxNetTaxable = Format00(0);
    const double netAmount = Num(f.LbNetAmount);
    // Above a surcharge band of the year the tax takes its surcharge, with marginal relief:
    // the tax at an income is the worksheet's own slab tax less its rebate.
    double withSurcharge = netAmount;
    if (!setup.oldSurcharge.isEmpty()) {
        const double settingRebate = Num(f.LbRebate);
        withSurcharge = Surcharge::TaxWithSurcharge(taxable, setup.oldSurcharge, [&](double income) {
            const double tax = OldRegimeTax::WorksheetSlabTax(income, exemption, setup.slabs, setup.finYearTo).tax -
                               OldRegimeTax::WorksheetRebate(setup.finYearFrom, setup.finYearTo, income, totalPay)
                                   .value_or(settingRebate);
            return income == taxable ? netAmount : RoundAmount(tax < 0 ? 0 : tax);
        });
    }
    f.TxSurcharge = Format00(withSurcharge - netAmount);
    f.TxCess = Format00(withSurcharge * setup.cessRate / 100);
    f.TxNetTax = Format00(withSurcharge);
    f.TxNetTax = Plain(Num(f.TxNetTax) + RoundAmount(withSurcharge * setup.cessRate / 100));
    SetBalance(f);
}

int LineWithoutAmount(const Figures &f)
{
    const int filled = f.filledLines();
    for (int i = 1; i <= filled; ++i)
        if (Num(f.lines[i - 1].amount) == 0)
            return i;
    return 0;
}

QStringList SaveStatements(const Figures &f, const QDate &from, const QDate &to)
{
    const QString s = SqlEscape(f.LbSerialNo), st = SqlEscape(f.LbSerialNo.trimmed());
    const QString period = QStringLiteral("' and emp_it_from='") + SqlDate(from) + QStringLiteral("' and emp_it_to='") +
                           SqlDate(to) + QStringLiteral("'");
    QStringList statements;
    statements << QStringLiteral("Delete from hr_it_trans where emp_slno='") + s + period;
    const int filled = f.filledLines();
    for (int i = 1; i <= filled; ++i) {
        const DeclarationLine &line = f.lines[i - 1];
        statements << QStringLiteral("Insert into hr_it_trans (emp_slno, emp_it_allowance_code, "
                                     "emp_amount,emp_allowance_slno,emp_it_from,emp_it_to) values('") +
                          st + QStringLiteral("','") + SqlEscape(line.code) + QStringLiteral("','") +
                          PlainNumber(Num(line.amount)) + QStringLiteral("',") + QString::number(i) +
                          QStringLiteral(",'") + SqlDate(from) + QStringLiteral("','") + SqlDate(to) +
                          QStringLiteral("' )");
    }
    statements << QStringLiteral("Update hr_it set emp_hl_int=") + PlainNumber(Num(f.TxHLInterest)) +
                      QStringLiteral(",emp_mc=") + PlainNumber(Num(f.TxMediClaim)) +
                      QStringLiteral(" where emp_slno='") + st + period;
    return statements;
}

StoredEntries ReadStored(DbConnection &db, const QString &slno, const QDate &from, const QDate &to, bool withRegime,
                         bool forUpdate)
{
    const QString lock = forUpdate ? QStringLiteral(" for update") : QString();
    const QString s = SqlEscape(slno.trimmed());
    const QString period = QStringLiteral("' and emp_it_from='") + SqlDate(from) + QStringLiteral("' and emp_it_to='") +
                           SqlDate(to) + QStringLiteral("'");
    StoredEntries stored;
    // The tax record first: a save that must wait for it names that table.
    Recordset rs = db.query(QStringLiteral("Select emp_hl_int,emp_mc from hr_it where emp_slno='") + s + period + lock);
    if (!rs.eof()) {
        stored.hlInt = RoundAmount(rs.number(QStringLiteral("emp_hl_int")));
        stored.mc = RoundAmount(rs.number(QStringLiteral("emp_mc")));
    }
    rs.close();
    rs = db.query(QStringLiteral("Select emp_it_allowance_code,emp_amount from hr_it_trans where emp_slno='") + s +
                  period + QStringLiteral(" order by emp_allowance_slno,emp_it_trans_id") + lock);
    for (; !rs.eof(); rs.moveNext())
        stored.lines.append(
            {rs.text(QStringLiteral("emp_it_allowance_code")), RoundAmount(rs.number(QStringLiteral("emp_amount")))});
    rs.close();
    if (withRegime) {
        rs = db.query(RegimeChoice::ChoiceSql(slno.trimmed(), from, to) + lock);
        if (!rs.eof())
            stored.regime = RegimeFromCode(rs.text(QStringLiteral("emp_regime")));
        rs.close();
    }
    return stored;
}

namespace {

QString RegimeText(const std::optional<TaxRegime> &regime)
{
    if (!regime)
        return QStringLiteral("the year's default");
    return *regime == TaxRegime::New ? QStringLiteral("New") : QStringLiteral("Old");
}

} // namespace

QStringList StoredChanges(DbConnection &db, const StoredEntries &loaded, const StoredEntries &now)
{
    QStringList changes;
    if (loaded.lines != now.lines) {
        QStringList codes;
        for (const auto *lines : {&loaded.lines, &now.lines})
            for (const StoredEntries::Line &l : *lines)
                if (!l.code.isEmpty() && !codes.contains(l.code))
                    codes << QLatin1Char('\'') + SqlEscape(l.code) + QLatin1Char('\'');
        QHash<QString, QString> names;
        if (!codes.isEmpty()) {
            Recordset rs = db.query(
                QStringLiteral(
                    "Select allowance_code,allowance_name from hr0910.hr_it_allowance where allowance_code in (") +
                codes.join(QLatin1Char(',')) + QLatin1Char(')'));
            for (; !rs.eof(); rs.moveNext())
                names.insert(rs.text(0).toUpper(), rs.text(1));
            rs.close();
        }
        const auto listed = [&names](const QList<StoredEntries::Line> &lines) {
            if (lines.isEmpty())
                return QStringLiteral("none");
            QStringList items;
            for (const StoredEntries::Line &l : lines)
                items << names.value(l.code.toUpper(), l.code.isEmpty() ? QStringLiteral("(no head)") : l.code) +
                             QLatin1Char(' ') + Format00(l.amount);
            return items.join(QStringLiteral(", "));
        };
        changes << QStringLiteral("declarations: now ") + listed(now.lines) + QStringLiteral("; loaded ") +
                       listed(loaded.lines);
    }
    const auto amount = [&changes](const char *what, double was, double is) {
        if (was != is)
            changes << QLatin1String(what) + QStringLiteral(": now ") + Format00(is) + QStringLiteral(", loaded ") +
                           Format00(was);
    };
    amount("housing loan interest", loaded.hlInt, now.hlInt);
    amount("mediclaim", loaded.mc, now.mc);
    if (loaded.regime != now.regime)
        changes << QStringLiteral("regime: now ") + RegimeText(now.regime) + QStringLiteral(", loaded ") +
                       RegimeText(loaded.regime);
    return changes;
}

SaveResult Save(DbConnection &db, const Figures &f, const QDate &from, const QDate &to,
                const std::optional<RegimePick> &regime, const StoredEntries *loaded, bool withRegime)
{
    // What the declaration rows cannot hold is refused before anything is written.
    const QString trans = QStringLiteral("hr0910.hr_it_trans");
    ColumnLengths::Check(db, trans, QStringLiteral("emp_slno"), f.LbSerialNo.trimmed(),
                         QStringLiteral("The employee's serial number"));
    for (int i = 1; i <= f.filledLines(); ++i)
        ColumnLengths::Check(db, trans, QStringLiteral("emp_it_allowance_code"), f.lines[i - 1].code,
                             QStringLiteral("The deduction code of line %1").arg(i));
    if (regime)
        ColumnLengths::Check(db, QStringLiteral("hr0910.hr_it_emp_regime"), QStringLiteral("emp_slno"),
                             f.LbSerialNo.trimmed(), QStringLiteral("The employee's serial number"));
    const QStringList statements = SaveStatements(f, from, to);
    SaveResult result;
    // Two saves of one employee that found nothing to lock both go on to write, and the
    // server undoes one of them: tried again, it finds what the other one stored.
    RetryOnCollision({3, 50}, [&] {
        result = SaveResult();
        Transaction transaction(db);
        if (loaded) {
            StoredEntries now = ReadStored(db, f.LbSerialNo, from, to, withRegime, true);
            if (now != *loaded) {
                result.changedMeanwhile = std::move(now);
                return; // nothing written; the transaction is rolled back
            }
            result.stored = now;
        }
        int touched = -1;
        for (const QString &sql : statements)
            touched = db.execute(sql);
        if (regime)
            RegimeChoice::Save(db, f.LbSerialNo.trimmed(), regime->finYearFrom, regime->finYearTo, regime->regime,
                               regime->stamp);
        transaction.commit();
        // The last statement is the update of the tax record; the session counts the rows it
        // matched, so an unchanged amount still counts its row (-1: the driver did not say).
        result.taxRecordUpdated = touched != 0;
    });
    if (result.changedMeanwhile)
        return result;
    // What is stored now: the lines as saved, the amounts where the record took them.
    result.stored.lines.clear();
    for (int i = 1; i <= f.filledLines(); ++i)
        result.stored.lines.append({f.lines[i - 1].code, RoundAmount(Num(f.lines[i - 1].amount))});
    if (result.taxRecordUpdated) {
        result.stored.hlInt = RoundAmount(Num(f.TxHLInterest));
        result.stored.mc = RoundAmount(Num(f.TxMediClaim));
    }
    if (regime)
        result.stored.regime = regime->regime;
    return result;
}

void LoadNewRegimeYear(DbConnection &db, YearSetup &setup)
{
    setup.newRegime = NewRegimeSetup::Load(db, setup.finYearFrom, setup.finYearTo);
    setup.oldSurcharge = NewRegimeSetup::LoadOldSurcharge(db, setup.finYearFrom, setup.finYearTo);
}

TaxRegime LoadRegime(DbConnection &db, const QString &slno, const YearSetup &setup)
{
    if (!setup.newRegime)
        return TaxRegime::Old;
    return RegimeChoice::Effective(setup.newRegime,
                                   RegimeChoice::LoadChoice(db, slno.trimmed(), setup.finYearFrom, setup.finYearTo));
}

NewRegimeTax::Figures NewRegimeFigures(const Figures &f, const NewRegimeSetup::Year &year)
{
    return NewRegimeTax::Compute({Num(f.TxGrossPay), Num(f.TxProjection), Num(f.TxSalaryDeductions)}, year);
}

QString RegimeNote(TaxRegime applies, double oldPayable, double newPayable)
{
    const bool isNew = applies == TaxRegime::New;
    QString note =
        isNew ? QStringLiteral("Taxed under the new regime. ") : QStringLiteral("Taxed under the old regime. ");
    const double other = RoundAmount(isNew ? oldPayable - newPayable : newPayable - oldPayable);
    if (other == 0)
        return note + QStringLiteral("Both regimes come to the same tax.");
    return note + (isNew ? QStringLiteral("The old regime would be ") : QStringLiteral("The new regime would be ")) +
           Format00(std::abs(other)) + (other > 0 ? QStringLiteral(" more.") : QStringLiteral(" less."));
}

} // namespace Worksheet
