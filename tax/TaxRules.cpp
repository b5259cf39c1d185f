#include "TaxRules.h"

#include "NewRegimeTax.h"
#include "RegimeChoice.h"
#include "SalaryFigures.h"
#include "session/Common.h"
#include "session/DbConnection.h"

#include <algorithm>

namespace TaxRules {

namespace {

constexpr double kTransportCap = 19200;
const QString kRentHead = QStringLiteral("ITA000005");

bool Between(const QDate &d, int y1, int m1, int d1, int y2, int m2, int d2)
{
    return d >= QDate(y1, m1, d1) && d <= QDate(y2, m2, d2);
}

bool RebateBand(const QDate &finYearFrom, const QDate &finYearTo, int firstYear)
{
    return finYearFrom >= QDate(firstYear, 4, 1) && finYearTo <= QDate(firstYear + 1, 3, 31);
}

} // namespace

TaxSettings UseYear(const ITSetup::Year &year, RebateState &state)
{
    const auto limit = [&year](ITSetup::Limit l) { return RoundAmount(year.limits[l].value_or(0)); };
    TaxSettings s;
    s.mcLimit = limit(ITSetup::LimitMC);
    s.hlLimit = limit(ITSetup::LimitHL);
    s.limit80c = limit(ITSetup::Limit80C);
    s.taxLimit = limit(ITSetup::LimitExemption);
    s.cess = limit(ITSetup::LimitCess);
    if (year.limits[ITSetup::LimitRebate])
        state.rebate = limit(ITSetup::LimitRebate);
    for (int n = 0; n < 4; ++n)
        if (year.slabs[n])
            state.slabs[n] = *year.slabs[n];
    return s;
}

TaxSettings LoadYear(DbConnection &db, const QDate &finYearFrom, const QDate &finYearTo, RebateState &state)
{
    return UseYear(ITSetup::Load(db, finYearFrom, finYearTo, ITSetup::Reader::Computation), state);
}

bool IsTransportYear(const QDate &finYearFrom)
{
    return Between(finYearFrom, 2016, 4, 1, 2018, 3, 31);
}

double StandardDeduction(const QDate &finYearFrom)
{
    return Between(finYearFrom, 2018, 4, 1, 2019, 3, 31) ? 40000 : 50000;
}

bool IsMetroUnit(const QString &unitCode)
{
    return unitCode == QLatin1String("MUM") || unitCode == QLatin1String("CHN") || unitCode == QLatin1String("DLH") ||
           unitCode == QLatin1String("KOL");
}

Transport TransportRule(double paid, int monthsRemaining)
{
    Transport t;
    t.ta = paid;
    if (monthsRemaining > 0 && monthsRemaining < 12)
        t.taProj = SalaryFigures::Project(t.ta, monthsRemaining);
    if (t.ta + t.taProj >= kTransportCap) {
        t.taProj = RoundAmount(kTransportCap - t.ta);
        if (t.taProj <= 0)
            t.taProj = 0;
    }
    if (t.ta > kTransportCap)
        t.ta = kTransportCap;
    return t;
}

double HraExemption(double rentPaid, double basic, double received, bool metro)
{
    const double excessRent = rentPaid - RoundAmount(basic * 10 / 100);
    const double share = RoundAmount(basic * (metro ? 50 : 40) / 100);
    if (excessRent > received)
        return std::min(received, share);
    return received;
}

double SlabTax(double taxable, double excess, const RebateState &state)
{
    const TaxSlab *s = state.slabs;
    const double t = taxable;
    if (s[0].start < t && t < s[0].end)
        return RoundAmount(excess * s[1].rate / 100);
    if (s[1].start < t && t <= s[1].end)
        return RoundAmount((t - 250000) * s[1].rate / 100);
    if (s[2].start <= t && t <= s[2].end)
        return RoundAmount((t - 500000) * s[2].rate / 100) + 12500;
    if (s[3].start <= t && t <= s[3].end)
        return RoundAmount((t - 1000000) * s[3].rate / 100) + 12500 + 100000;
    return 0;
}

double ApplyRebate(double tax, double taxable, double grossTotal, const QDate &finYearFrom, const QDate &finYearTo,
                   RebateState &state)
{
    if (RebateBand(finYearFrom, finYearTo, 2013))
        return grossTotal > 500000 ? tax : tax - state.rebate;
    if (finYearFrom >= QDate(2014, 4, 1) && finYearTo <= QDate(2016, 3, 31)) {
        state.rebate = taxable < 500000 ? 5000.00 : 0.00;
        return tax - state.rebate;
    }
    if (RebateBand(finYearFrom, finYearTo, 2017))
        return taxable > 350000 ? tax : tax - state.rebate;
    if (RebateBand(finYearFrom, finYearTo, 2018)) {
        state.rebate = taxable > 500000 ? 0.00 : 2500.00;
        return tax - state.rebate;
    }
    return taxable > 500000 ? tax : tax - state.rebate;
}

TaxRegime RegimeOf(const Context &ctx, const QString &slno)
{
    const auto choice = ctx.regimeChoices.constFind(slno);
    return RegimeChoice::Effective(
        ctx.newRegime, choice == ctx.regimeChoices.cend() ? std::nullopt : std::optional<TaxRegime>(*choice));
}

namespace {

// The new regime's tax in the figures of the pay as paid.
void UseNewRegime(TaxFigures &f, const NewRegimeSetup::Year &year)
{
    const NewRegimeTax::Figures n = NewRegimeTax::Compute({f.gross, f.grossProj, f.salCut}, year);
    f.regime = TaxRegime::New;
    f.hra = 0;
    f.hraProj = 0;
    f.ta = n.standardDeduction;
    f.taProj = 0;
    f.net80c = 0;
    f.taxable = n.taxable;
    f.exemption = n.exemptionLimit;
    f.tax = n.taxBeforeCess;
    f.cess = n.cess;
    f.payable = n.payable;
    f.balance = n.balance;
}

} // namespace

std::optional<TaxFigures> Compute(const EmployeeInputs &in, bool metro, TaxRegime regime, const Context &ctx,
                                  RebateState &state)
{
    if (!(in.gross > 0))
        return std::nullopt;
    const int m = ctx.monthsRemaining;
    const TaxSettings &set = ctx.settings;
    TaxFigures f;
    f.monthsRemaining = m;

    const int elapsed = SalaryFigures::MonthsElapsed(ctx.periodFrom, ctx.today);
    f.grossProj = SalaryFigures::ProjectGross(in.gross, in.paidMonths, elapsed, m);
    f.gross = in.gross + in.bonus;

    f.pf = in.pf;
    f.pfProj = SalaryFigures::Project(f.pf, m);
    f.professionTax = in.professionTax;

    if (IsTransportYear(ctx.finYearFrom)) {
        const Transport t = TransportRule(in.transport, m);
        f.ta = t.ta;
        f.taProj = t.taProj;
    } else {
        f.ta = StandardDeduction(ctx.finYearFrom);
        f.taProj = 0;
    }

    // Sums of amounts in hundredths: rounding only drops the binary noise of the additions.
    f.total80c = RoundAmount(f.pf + in.declared80c + f.pfProj);
    f.declaredMc = in.declaredMc;
    f.declaredHlInt = in.declaredHlInt;
    f.salCut = in.taxDeducted;
    if (regime == TaxRegime::New && ctx.newRegime) {
        UseNewRegime(f, *ctx.newRegime);
        return f;
    }

    if (in.hasRent) {
        f.hra = HraExemption(in.rentPaid, in.basic, in.hraReceived, metro);
        f.hraProj = SalaryFigures::Project(f.hra, m);
    }

    if (f.total80c != 0) {
        f.net80c = std::min(f.total80c, set.limit80c);
        if (f.net80c < 0)
            f.net80c = 0;
    }

    const double allowedMc = std::min(in.declaredMc, set.mcLimit);
    const double allowedHl = std::min(in.declaredHlInt, set.hlLimit);

    f.taxable = RoundAmount(f.grossProj + f.gross - f.hra - f.hraProj - f.professionTax - allowedHl - f.ta - f.taProj -
                            f.net80c - allowedMc);
    if (f.taxable < 0)
        f.taxable = 0;
    f.exemption = set.taxLimit;
    const double excess = std::max(0.0, f.taxable - set.taxLimit);

    double tax = SlabTax(f.taxable, excess, state);
    tax = ApplyRebate(tax, f.taxable, f.gross + f.grossProj, ctx.finYearFrom, ctx.finYearTo, state);
    if (tax <= 0)
        tax = 0;
    f.tax = tax;
    f.cess = RoundAmount(set.cess * tax / 100);
    f.payable = RoundAmount(f.cess + tax);
    f.balance = RoundAmount(f.payable - f.salCut);
    return f;
}

QString DeclarationsSql(const QString &slno, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from hr_it_trans where emp_slno='") + SqlEscape(slno) +
           QStringLiteral("' and emp_it_from >='") + SqlDate(from) + QStringLiteral("' and emp_it_from<='") +
           SqlDate(to) + QStringLiteral("'");
}

int DeclaringRecord(const QList<PeriodRecord> &records, const QDate &from, const QDate &to)
{
    int best = -1;
    for (int i = 0; i < records.size(); ++i) {
        const PeriodRecord &r = records[i];
        if (r.from == from && r.to == to)
            return i;
        if (best < 0 || r.from < records[best].from || (r.from == records[best].from && r.to > records[best].to))
            best = i;
    }
    return best;
}

QString DeclaredAmountsSql(const QString &slno, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select emp_mc,emp_mc_limit,emp_hl_int,emp_hl_int_limit,emp_it_from,emp_it_to from hr_it "
                          "where emp_slno='") +
           SqlEscape(slno) + QStringLiteral("' and emp_it_from>='") + SqlDate(from) +
           QStringLiteral("' and emp_it_to<='") + SqlDate(to) + QStringLiteral("' for update");
}

EmployeeInputs ReadInputs(DbConnection &db, const QString &slno, const Context &ctx)
{
    using namespace SalaryFigures;
    const QDate &from = ctx.periodFrom;
    const QDate &to = ctx.periodTo;
    EmployeeInputs in;
    const MonthlyGross mg = ReadMonthlyGross(db, slno, from, to);
    in.gross = mg.gross;
    in.paidMonths = mg.months;
    if (!(in.gross > 0))
        return in;
    in.bonus = ReadBonus(db, slno, from, to);
    in.pf = SumProvidentFund(db, slno, from, to);
    in.professionTax = SumProfessionTax(db, slno, from, to);
    if (IsTransportYear(ctx.finYearFrom))
        in.transport = SumTransportAllowance(db, slno, from, to);

    Recordset rs = db.query(DeclarationsSql(slno, from, to));
    while (!rs.eof()) {
        AddDeclaration(in, rs.text(QStringLiteral("emp_it_allowance_code")), rs.text(QStringLiteral("emp_amount")));
        rs.moveNext();
    }
    rs.close();

    if (in.hasRent) {
        in.basic = SumBasicPay(db, slno, from, to);
        in.hraReceived = SumHraReceived(db, slno, from, to);
    }

    QList<PeriodRecord> records;
    rs = db.query(DeclaredAmountsSql(slno, from, to));
    while (!rs.eof()) {
        records.append({rs.date(QStringLiteral("emp_it_from")), rs.date(QStringLiteral("emp_it_to")),
                        rs.number(QStringLiteral("emp_hl_int")), rs.number(QStringLiteral("emp_mc"))});
        rs.moveNext();
    }
    rs.close();
    UseDeclaringRecord(in, records, from, to);

    in.taxDeducted = SumTaxDeducted(db, slno, from, to);
    return in;
}

void AddDeclaration(EmployeeInputs &in, const QString &head, const QString &amountText)
{
    // A null amount counts as 0.
    const double amount = LeadingNumber(amountText);
    if (head == kRentHead) {
        in.hasRent = true;
        in.rentPaid = amount;
    } else {
        in.declared80c += amount;
    }
}

void UseDeclaringRecord(EmployeeInputs &in, const QList<PeriodRecord> &records, const QDate &from, const QDate &to)
{
    const int i = DeclaringRecord(records, from, to);
    if (i >= 0) {
        in.declaredMc = records[i].mc;
        in.declaredHlInt = records[i].hlInt;
    }
}

std::optional<TaxFigures> ComputeEmployee(DbConnection &db, const QString &slno, const QString &unitCode,
                                          const Context &ctx, RebateState &state)
{
    return Compute(ReadInputs(db, slno, ctx), IsMetroUnit(unitCode), RegimeOf(ctx, slno), ctx, state);
}

} // namespace TaxRules
