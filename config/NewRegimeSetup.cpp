#include "NewRegimeSetup.h"

#include "session/Common.h"
#include "session/DbConnection.h"

QString RegimeCode(TaxRegime regime)
{
    return regime == TaxRegime::New ? QStringLiteral("NEW") : QStringLiteral("OLD");
}

std::optional<TaxRegime> RegimeFromCode(const QString &code)
{
    const QString c = code.trimmed().toUpper();
    if (c == QLatin1String("OLD"))
        return TaxRegime::Old;
    if (c == QLatin1String("NEW"))
        return TaxRegime::New;
    return std::nullopt;
}

namespace NewRegimeSetup {

namespace {

QString YearKey(const char *fromColumn, const QDate &from, const char *toColumn, const QDate &to)
{
    return QLatin1String(fromColumn) + QStringLiteral("='") + SqlDate(from) + QStringLiteral("' and ") +
           QLatin1String(toColumn) + QStringLiteral("='") + SqlDate(to) + QStringLiteral("'");
}

QString N(double value)
{
    return PlainNumber(value);
}

QString UserNumber(const AuditStamp &stamp)
{
    return PlainNumber(LeadingNumber(stamp.userId));
}

Problem Fault(Problem::Field field, int row, const QString &message)
{
    return Problem{field, row, message};
}

// "above 100" or "below 0", for a rate outside 0 to 100.
QString Limit(double rate)
{
    return rate > 100 ? QStringLiteral("above 100") : QStringLiteral("below 0");
}

// Bands of either regime: each threshold above 0 and above the one before (so no two bands
// overlap), each rate from 0 to 100.
Problem ValidateBands(const QList<SurchargeBand> &bands, Problem::Field threshold, Problem::Field rate)
{
    for (int i = 0; i < bands.size(); ++i) {
        const SurchargeBand &b = bands[i];
        const int n = i + 1;
        if (b.threshold <= 0)
            return Fault(threshold, i,
                         QStringLiteral("Please enter the income above which surcharge %1 applies.   ").arg(n));
        if (i > 0 && b.threshold <= bands[i - 1].threshold)
            return Fault(
                threshold, i,
                QStringLiteral("Surcharge %1 must start above the income of surcharge %2.   ").arg(n).arg(n - 1));
        if (b.per > 100 || b.per < 0)
            return Fault(rate, i,
                         QStringLiteral("The rate of surcharge %1 cannot be %2 %.   ").arg(n).arg(Limit(b.per)));
    }
    return {};
}

// "(from,to,n,threshold,rate),..." of the bands of a year.
QString BandRows(const QList<SurchargeBand> &bands, const QDate &from, const QDate &to)
{
    QStringList rows;
    for (int i = 0; i < bands.size(); ++i)
        rows << QStringLiteral("('") + SqlDate(from) + QStringLiteral("','") + SqlDate(to) + QStringLiteral("',") +
                    QString::number(i + 1) + QLatin1Char(',') + N(bands[i].threshold) + QLatin1Char(',') +
                    N(bands[i].per) + QLatin1Char(')');
    return rows.join(QLatin1Char(','));
}

QList<SurchargeBand> ReadBands(DbConnection &db, const QString &sql)
{
    QList<SurchargeBand> bands;
    Recordset rs = db.query(sql);
    for (; !rs.eof(); rs.moveNext())
        bands.append(
            {RoundAmount(rs.number(QStringLiteral("it_threshold"))), RoundAmount(rs.number(QStringLiteral("it_per")))});
    rs.close();
    return bands;
}

} // namespace

QString YearSql(const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from hr_it_new_regime where ") + YearKey("ac_from_date", from, "ac_to_date", to);
}

QString SlabsSql(const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from hr_it_new_regime_slabs where ") +
           YearKey("it_ac_from_date", from, "it_ac_to_date", to) + QStringLiteral(" order by it_slab");
}

QString SurchargeSql(const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from hr_it_new_regime_surcharge where ") +
           YearKey("it_ac_from_date", from, "it_ac_to_date", to) + QStringLiteral(" order by it_band");
}

std::optional<Year> Load(DbConnection &db, const QDate &from, const QDate &to, bool forUpdate)
{
    const QString lock = forUpdate ? QStringLiteral(" for update") : QString();
    Recordset rs = db.query(YearSql(from, to) + lock);
    if (rs.eof()) {
        rs.close();
        return std::nullopt;
    }
    Year year;
    year.defaultRegime = RegimeFromCode(rs.text(QStringLiteral("default_regime"))).value_or(TaxRegime::Old);
    year.standardDeduction = RoundAmount(rs.number(QStringLiteral("std_deduction")));
    year.rebateLimit = RoundAmount(rs.number(QStringLiteral("rebate_limit")));
    year.rebateMax = RoundAmount(rs.number(QStringLiteral("rebate_max")));
    year.rebateRelief = rs.number(QStringLiteral("rebate_relief")) != 0;
    year.cess = RoundAmount(rs.number(QStringLiteral("cess_per")));
    rs.close();

    rs = db.query(SlabsSql(from, to) + lock);
    for (; !rs.eof(); rs.moveNext()) {
        Slab s;
        s.from = RoundAmount(rs.number(QStringLiteral("it_slab_start")));
        if (!rs.isNull(QStringLiteral("it_slab_end")))
            s.to = RoundAmount(rs.number(QStringLiteral("it_slab_end")));
        s.per = RoundAmount(rs.number(QStringLiteral("it_per")));
        year.slabs.append(s);
    }
    rs.close();

    year.surcharge = ReadBands(db, SurchargeSql(from, to) + lock);
    return year;
}

Problem Validate(const Year &year)
{
    using F = Problem::Field;
    if (year.rebateMax > 0 && year.rebateLimit <= 0)
        return Fault(F::RebateLimit, -1, QStringLiteral("Please enter the income limit of the rebate.   "));
    if (year.rebateRelief && year.rebateLimit <= 0)
        return Fault(F::RebateLimit, -1, QStringLiteral("Marginal relief needs the income limit of the rebate.   "));
    if (year.cess > 100 || year.cess < 0)
        return Fault(F::Cess, -1, QStringLiteral("The cess cannot be %1 %.   ").arg(Limit(year.cess)));
    if (year.slabs.isEmpty())
        return Fault(F::SlabFrom, 0, QStringLiteral("Please enter the slabs of the new regime.   "));
    for (int i = 0; i < year.slabs.size(); ++i) {
        const Slab &s = year.slabs[i];
        const int n = i + 1;
        if (i == 0 && s.from != 0)
            return Fault(F::SlabFrom, i, QStringLiteral("Slab 1 must start at 0.   "));
        if (i > 0) {
            const Slab &before = year.slabs[i - 1];
            if (!before.to)
                return Fault(F::SlabTo, i - 1,
                             QStringLiteral("Only the last slab may be left without an upper limit.   "));
            if (s.from != *before.to)
                return Fault(F::SlabFrom, i,
                             QStringLiteral("Slab %1 must start where slab %2 ends (%3).   ")
                                 .arg(n)
                                 .arg(n - 1)
                                 .arg(Format00(*before.to)));
        }
        if (s.to && *s.to <= s.from)
            return Fault(F::SlabTo, i, QStringLiteral("Slab %1 must end above its start.   ").arg(n));
        if (s.per > 100 || s.per < 0)
            return Fault(F::SlabRate, i,
                         QStringLiteral("The rate of slab %1 cannot be %2 %.   ").arg(n).arg(Limit(s.per)));
    }
    return ValidateBands(year.surcharge, F::BandThreshold, F::BandRate);
}

QStringList SaveStatements(const Year &year, const QDate &from, const QDate &to, const AuditStamp &stamp)
{
    const QString user = UserNumber(stamp);
    const QString date = SqlSlashDate(stamp.now.date());
    const QString time = SqlTime(stamp.now.time());
    const QString values = QStringLiteral("default_regime='") + RegimeCode(year.defaultRegime) +
                           QStringLiteral("', std_deduction=") + N(year.standardDeduction) +
                           QStringLiteral(", rebate_limit=") + N(year.rebateLimit) + QStringLiteral(", rebate_max=") +
                           N(year.rebateMax) + QStringLiteral(", rebate_relief=") +
                           QString::number(year.rebateRelief ? 1 : 0) + QStringLiteral(", cess_per=") + N(year.cess);
    QStringList sql;
    sql << QStringLiteral("Insert into hr_it_new_regime set ac_from_date='") + SqlDate(from) +
               QStringLiteral("', ac_to_date='") + SqlDate(to) + QStringLiteral("', ") + values +
               QStringLiteral(", created_by=") + user + QStringLiteral(", created_date='") + date +
               QStringLiteral("', created_time='") + time + QStringLiteral("' on duplicate key update ") + values +
               QStringLiteral(", modified_by=") + user + QStringLiteral(", modified_date='") + date +
               QStringLiteral("', modified_time='") + time + QStringLiteral("'");

    const QString slabKey = YearKey("it_ac_from_date", from, "it_ac_to_date", to);
    const QString keyValues =
        QStringLiteral("('") + SqlDate(from) + QStringLiteral("','") + SqlDate(to) + QStringLiteral("',");
    sql << QStringLiteral("Delete from hr_it_new_regime_slabs where ") + slabKey;
    if (!year.slabs.isEmpty()) {
        QStringList rows;
        for (int i = 0; i < year.slabs.size(); ++i) {
            const Slab &s = year.slabs[i];
            rows << keyValues + QString::number(i + 1) + QLatin1Char(',') + N(s.from) + QLatin1Char(',') +
                        (s.to ? N(*s.to) : QStringLiteral("null")) + QLatin1Char(',') + N(s.per) + QLatin1Char(')');
        }
        sql << QStringLiteral("Insert into hr_it_new_regime_slabs(it_ac_from_date,it_ac_to_date,it_slab,"
                              "it_slab_start,it_slab_end,it_per) values ") +
                   rows.join(QLatin1Char(','));
    }
    sql << QStringLiteral("Delete from hr_it_new_regime_surcharge where ") + slabKey;
    if (!year.surcharge.isEmpty())
        sql << QStringLiteral("Insert into hr_it_new_regime_surcharge(it_ac_from_date,it_ac_to_date,it_band,"
                              "it_threshold,it_per) values ") +
                   BandRows(year.surcharge, from, to);
    return sql;
}

namespace {

// Writes the statements in one transaction unless what is stored is no longer what the screen
// loaded: then nothing is written and the result holds what is stored now. Two first saves of
// a year find no row to lock and both go on to insert one; the server undoes one of them,
// which, tried again, finds the other's figures.
template <class Result, class T, class LoadNow>
Result SaveUnlessChanged(DbConnection &db, const QStringList &statements, const T &value, const T *loaded,
                         LoadNow loadNow)
{
    Result result;
    RetryOnCollision({3, 50}, [&] {
        result = Result();
        Transaction tx(db);
        if (loaded) {
            T now = loadNow();
            if (now != *loaded) {
                result.changedMeanwhile = true;
                result.stored = std::move(now);
                return; // nothing written; the transaction is rolled back
            }
        }
        for (const QString &sql : statements)
            db.execute(sql);
        tx.commit();
        result.stored = value;
    });
    return result;
}

} // namespace

SaveResult Save(DbConnection &db, const Year &year, const QDate &from, const QDate &to, const AuditStamp &stamp,
                const std::optional<Year> *loaded)
{
    return SaveUnlessChanged<SaveResult>(db, SaveStatements(year, from, to, stamp), std::optional<Year>(year), loaded,
                                         [&] { return Load(db, from, to, true); });
}

namespace {

QString SlabsText(const QList<Slab> &slabs)
{
    QStringList items;
    for (const Slab &s : slabs)
        items << Format00(s.from) + QStringLiteral(" to ") + (s.to ? Format00(*s.to) : QStringLiteral("above")) +
                     QStringLiteral(" at ") + Format00(s.per) + QStringLiteral(" %");
    return items.isEmpty() ? QStringLiteral("none") : items.join(QStringLiteral(", "));
}

QString BandsText(const QList<SurchargeBand> &bands)
{
    QStringList items;
    for (const SurchargeBand &b : bands)
        items << QStringLiteral("above ") + Format00(b.threshold) + QStringLiteral(" at ") + Format00(b.per) +
                     QStringLiteral(" %");
    return items.isEmpty() ? QStringLiteral("none") : items.join(QStringLiteral(", "));
}

} // namespace

QStringList Changes(const std::optional<Year> &loaded, const std::optional<Year> &now)
{
    if (loaded == now)
        return {};
    if (!loaded || !now)
        return {QStringLiteral("the year's figures: now ") +
                (now ? QStringLiteral("stored") : QStringLiteral("none stored")) + QStringLiteral(", loaded ") +
                (loaded ? QStringLiteral("stored ones") : QStringLiteral("none"))};
    QStringList changes;
    const auto line = [&changes](const char *what, const QString &was, const QString &is) {
        if (was != is)
            changes << QLatin1String(what) + QStringLiteral(": now ") + is + QStringLiteral(", loaded ") + was;
    };
    const auto regime = [](TaxRegime r) { return r == TaxRegime::New ? QStringLiteral("New") : QStringLiteral("Old"); };
    const auto yesNo = [](bool b) { return b ? QStringLiteral("Yes") : QStringLiteral("No"); };
    line("regime of employees without a choice", regime(loaded->defaultRegime), regime(now->defaultRegime));
    line("standard deduction", Format00(loaded->standardDeduction), Format00(now->standardDeduction));
    line("rebate 87A: income limit", Format00(loaded->rebateLimit), Format00(now->rebateLimit));
    line("largest rebate", Format00(loaded->rebateMax), Format00(now->rebateMax));
    line("marginal relief above the limit", yesNo(loaded->rebateRelief), yesNo(now->rebateRelief));
    line("cess %", Format00(loaded->cess), Format00(now->cess));
    line("slabs", SlabsText(loaded->slabs), SlabsText(now->slabs));
    line("surcharge", BandsText(loaded->surcharge), BandsText(now->surcharge));
    return changes;
}

QString OldSurchargeSql(const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from hr_it_old_regime_surcharge where ") +
           YearKey("it_ac_from_date", from, "it_ac_to_date", to) + QStringLiteral(" order by it_threshold");
}

QList<SurchargeBand> LoadOldSurcharge(DbConnection &db, const QDate &from, const QDate &to, bool forUpdate)
{
    return ReadBands(db, OldSurchargeSql(from, to) + (forUpdate ? QStringLiteral(" for update") : QString()));
}

Problem ValidateOldSurcharge(const QList<SurchargeBand> &bands)
{
    return ValidateBands(bands, Problem::Field::OldBandThreshold, Problem::Field::OldBandRate);
}

QStringList OldSurchargeStatements(const QList<SurchargeBand> &bands, const QDate &from, const QDate &to)
{
    QStringList sql;
    sql << QStringLiteral("Delete from hr_it_old_regime_surcharge where ") +
               YearKey("it_ac_from_date", from, "it_ac_to_date", to);
    if (!bands.isEmpty())
        sql << QStringLiteral("Insert into hr_it_old_regime_surcharge(it_ac_from_date,it_ac_to_date,it_band,"
                              "it_threshold,it_per) values ") +
                   BandRows(bands, from, to);
    return sql;
}

Regimes LoadRegimes(DbConnection &db, const QDate &from, const QDate &to, bool forUpdate)
{
    Regimes r;
    r.newRegime = Load(db, from, to, forUpdate);
    r.oldSurcharge = LoadOldSurcharge(db, from, to, forUpdate);
    return r;
}

RegimesSaveResult SaveRegimes(DbConnection &db, const Regimes &regimes, const QDate &from, const QDate &to,
                              const AuditStamp &stamp, const Regimes *loaded)
{
    QStringList statements = regimes.newRegime ? SaveStatements(*regimes.newRegime, from, to, stamp) : QStringList();
    statements += OldSurchargeStatements(regimes.oldSurcharge, from, to);
    RegimesSaveResult result = SaveUnlessChanged<RegimesSaveResult>(db, statements, regimes, loaded,
                                                                    [&] { return LoadRegimes(db, from, to, true); });
    // A year without new-regime figures that got none keeps what is stored (none).
    if (!result.changedMeanwhile && !regimes.newRegime && loaded)
        result.stored.newRegime = loaded->newRegime;
    return result;
}

QStringList Changes(const Regimes &loaded, const Regimes &now)
{
    QStringList changes;
    if (loaded.newRegime != now.newRegime)
        changes = Changes(loaded.newRegime, now.newRegime);
    if (loaded.oldSurcharge != now.oldSurcharge)
        changes << QStringLiteral("the old regime's surcharge: now ") + BandsText(now.oldSurcharge) +
                       QStringLiteral(", loaded ") + BandsText(loaded.oldSurcharge);
    return changes;
}

} // namespace NewRegimeSetup
