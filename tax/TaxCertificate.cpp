#include "TaxCertificate.h"

#include "NewRegimeTax.h"
#include "OldRegimeTax.h"
#include "TaxRules.h"
#include "session/Common.h"

#include <algorithm>
#include <cmath>

namespace TaxCertificate {

namespace {

// Stored amounts are in hundredths: two figures are the same when they round alike.
bool Same(double a, double b)
{
    return std::fabs(RoundAmount(a) - RoundAmount(b)) < 0.005;
}

Outcome Refused(const QString &reason)
{
    return {std::nullopt, reason + QStringLiteral("; generate the records again")};
}

QString A(double amount)
{
    return IndianAmount(amount);
}

} // namespace

double Split::total() const
{
    return RoundAmount(soFar + projected);
}

YearRules LoadYear(DbConnection &db, const QDate &finYearFrom, const QDate &finYearTo)
{
    YearRules year;
    year.finYearFrom = finYearFrom;
    year.finYearTo = finYearTo;
    year.settings = TaxRules::LoadYear(db, finYearFrom, finYearTo, year.oldRegime);
    year.newRegime = NewRegimeSetup::Load(db, finYearFrom, finYearTo);
    year.oldSurcharge = NewRegimeSetup::LoadOldSurcharge(db, finYearFrom, finYearTo);
    return year;
}

double RegimeSurcharge(TaxRegime regime, const TaxFigures &record, double taxAfterRebate, const YearRules &year)
{
    if (regime == TaxRegime::New && year.newRegime)
        return RoundAmount(NewRegimeTax::TaxWithSurcharge(record.taxable, *year.newRegime) - taxAfterRebate);
    if (year.oldSurcharge.isEmpty())
        return 0;
    OldRegimeTax::Year old;
    old.finYearFrom = year.finYearFrom;
    old.finYearTo = year.finYearTo;
    std::copy(std::begin(year.oldRegime.slabs), std::end(year.oldRegime.slabs), std::begin(old.slabs));
    old.exemptionLimit = record.exemption;
    old.rebate = year.oldRegime.rebate;
    old.surcharge = year.oldSurcharge;
    return OldRegimeTax::SurchargeOf(record.taxable, record.gross + record.grossProj, old);
}

Outcome Derive(const TaxRecord::Record &record, TaxRegime regime, double declared80c, const YearRules &year)
{
    const TaxFigures &f = record.figures;
    const bool newRegime = regime == TaxRegime::New && year.newRegime;
    Computation c;
    c.regime = newRegime ? TaxRegime::New : TaxRegime::Old;
    c.salary = {f.gross, f.grossProj};
    c.gross80c = {RoundAmount(f.total80c - f.pfProj), f.pfProj};
    c.premium = f.declaredMc;
    c.exemptionLimit = f.exemption;
    c.totalIncome = f.taxable;
    c.deducted = f.salCut;

    // Earlier versions' first run of a period inserted 0 as the 80C figures and the taxable amount
    // beside the tax; such a record stays so until the records are generated again.
    if (f.total80c == 0 && f.net80c == 0 && f.taxable == 0 && (f.tax != 0 || f.gross + f.grossProj > f.ta))
        return Refused(QStringLiteral("it was stored by a first run, which leaves its 80C figures and taxable amount "
                                      "at 0"));
    // The 80C total is the provident fund, paid and projected, and the declarations.
    const double with80c = RoundAmount(f.pf + f.pfProj + declared80c);
    if (!Same(with80c, f.total80c))
        return Refused(QStringLiteral("its 80C total (%1) is not its provident fund and declarations (%2)")
                           .arg(A(f.total80c), A(with80c)));

    double income = 0;
    if (newRegime) {
        // Section 115BAC: the standard deduction alone.
        c.standardDeduction = f.ta;
        income = RoundAmount(f.gross + f.grossProj - f.ta);
    } else {
        c.houseRent = {f.hra, f.hraProj};
        if (TaxRules::IsTransportYear(year.finYearFrom))
            c.transport = {f.ta, f.taProj};
        else
            c.standardDeduction = RoundAmount(f.ta + f.taProj);
        c.professionTax = f.professionTax;
        c.houseProperty = -std::min(f.declaredHlInt, record.limits.hlLimit);
        c.allowed80c = f.net80c;
        c.allowedPremium = std::min(f.declaredMc, record.limits.mcLimit);
        income = RoundAmount(f.gross + f.grossProj - f.hra - f.hraProj - f.professionTax + c.houseProperty - f.ta -
                             f.taProj - f.net80c - c.allowedPremium);
    }
    if (!Same(std::max(0.0, income), f.taxable))
        return Refused(QStringLiteral("its taxable amount (%1) is not what its figures come to (%2)")
                           .arg(A(f.taxable), A(std::max(0.0, income))));

    // The tax on the income with the batch's slab rules, the rebate the year allows, and the
    // surcharge of the regime; the rebate shown is what makes the rows meet the stored tax.
    double allowedRebate = 0;
    double cessRate = 0;
    if (newRegime) {
        c.taxOnIncome = NewRegimeTax::SlabTax(f.taxable, year.newRegime->slabs);
        allowedRebate = NewRegimeTax::Rebate(f.taxable, c.taxOnIncome, *year.newRegime);
        cessRate = year.newRegime->cess;
    } else {
        RebateState state = year.oldRegime;
        c.taxOnIncome = TaxRules::SlabTax(f.taxable, std::max(0.0, f.taxable - f.exemption), state);
        const double after = TaxRules::ApplyRebate(c.taxOnIncome, f.taxable, f.gross + f.grossProj, year.finYearFrom,
                                                   year.finYearTo, state);
        allowedRebate = RoundAmount(c.taxOnIncome - after);
        cessRate = year.settings.cess;
    }
    // The rebate never takes the tax below 0.
    allowedRebate = std::clamp(allowedRebate, 0.0, c.taxOnIncome);
    const double taxAfterRebate = RoundAmount(c.taxOnIncome - allowedRebate);
    c.surcharge = RegimeSurcharge(c.regime, f, taxAfterRebate, year);
    c.rebate = RoundAmount(c.taxOnIncome + c.surcharge - f.tax);
    if (c.rebate < 0)
        return Refused(QStringLiteral("its tax (%1) is above the tax on its taxable income (%2), so that the rebate "
                                      "would be negative")
                           .arg(A(f.tax), A(RoundAmount(c.taxOnIncome + c.surcharge))));
    if (!Same(c.rebate, allowedRebate))
        return Refused(QStringLiteral("its tax (%1) would need a rebate of %2, and the year allows %3")
                           .arg(A(f.tax), A(c.rebate), A(allowedRebate)));

    c.cess = f.cess;
    if (!Same(f.cess, RoundAmount(cessRate * f.tax / 100)))
        return Refused(QStringLiteral("its cess (%1) is not %2 % of its tax (%3)")
                           .arg(A(f.cess), PlainNumber(cessRate), A(f.tax)));
    c.payable = f.payable;
    if (!Same(f.payable, f.tax + f.cess))
        return Refused(
            QStringLiteral("its payable (%1) is not its tax and cess (%2)").arg(A(f.payable), A(f.tax + f.cess)));
    c.balance = f.balance;
    if (!Same(f.balance, f.payable - f.salCut))
        return Refused(QStringLiteral("its balance (%1) is not its payable less the tax deducted (%2)")
                           .arg(A(f.balance), A(f.payable - f.salCut)));
    return {c, QString()};
}

} // namespace TaxCertificate
