#include "TaxRules.h"

#include "NewRegimeTax.h"
#include "RegimeChoice.h"
#include "SalaryFigures.h"
#include "session/Common.h"
#include "session/DbConnection.h"

#include <algorithm>

namespace TaxRules {

namespace {

const QString kRentHead = QStringLiteral("ITA000005");

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

double SlabTax(double taxable, double excess, const RebateState &state)
{
    return OldRegimeTax::SlabTax(taxable, excess, state.slabs);
}

double ApplyRebate(double tax, double taxable, double grossTotal, const QDate &finYearFrom, const QDate &finYearTo,
                   RebateState &state)
{
    return OldRegimeTax::ApplyRebate(tax, taxable, grossTotal, finYearFrom, finYearTo, state.rebate);
}

TaxRegime RegimeOf(const Context &ctx, const QString &slno)
{
    const auto choice = ctx.regimeChoices.constFind(slno);
    return RegimeChoice::Effective(
        ctx.newRegime, choice == ctx.regimeChoices.cend() ? std::nullopt : std::optional<TaxRegime>(*choice));
}

namespace {

// The old regime's year as the run holds it: the state's slabs and rebate amount (as the
// rebate rule of the employee left it), the limits and the surcharge bands.
OldRegimeTax::Year OldYear(const Context &ctx, const RebateState &state)
{
    OldRegimeTax::Year year;
    year.finYearFrom = ctx.finYearFrom;
    year.finYearTo = ctx.finYearTo;
    std::copy(std::begin(state.slabs), std::end(state.slabs), std::begin(year.slabs));
    year.exemptionLimit = ctx.settings.taxLimit;
    year.rebate = state.rebate;
    year.surcharge = ctx.oldSurcharge;
    return year;
}

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

    const double grossTotal = f.gross + f.grossProj;
    double tax = SlabTax(f.taxable, excess, state);
    tax = ApplyRebate(tax, f.taxable, grossTotal, ctx.finYearFrom, ctx.finYearTo, state);
    if (tax <= 0)
        tax = 0;
    // Above a surcharge band the tax takes its surcharge, with marginal relief, before cess.
    if (!ctx.oldSurcharge.isEmpty())
        tax = OldRegimeTax::Compute(f.taxable, grossTotal, OldYear(ctx, state)).taxBeforeCess;
    f.tax = tax;
    f.cess = OldRegimeTax::Cess(tax, set.cess);
    f.payable = OldRegimeTax::Payable(tax, f.cess);
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
