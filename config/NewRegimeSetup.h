#pragma once

// The figures of the two regimes that this program keeps for a financial year. The new regime
// (section 115BAC): the regime of employees without a choice of their own, the standard
// deduction, the 87A rebate, the cess, the slabs and the surcharge bands (hr_it_new_regime,
// hr_it_new_regime_slabs, hr_it_new_regime_surcharge); a year without that data is computed
// the old way for everybody. The old regime's surcharge bands (hr_it_old_regime_surcharge);
// its limits and slabs are the suite's (config/ITSetup.h); a year without bands has no
// surcharge.

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class DbConnection;

// The two ways an employee's tax is worked out: Old with the exemptions, deductions and
// limits of the year's settings, New by section 115BAC.
enum class TaxRegime { Old, New };

// 'OLD' or 'NEW', as the tables store a regime.
QString RegimeCode(TaxRegime regime);
// The regime of a stored code; nullopt for anything else.
std::optional<TaxRegime> RegimeFromCode(const QString &code);

// Who saves, and when: audit columns take the user's numeric id, 'yyyy/mm/dd' and 'HH:mm:ss'.
struct AuditStamp
{
    QString userId;
    QDateTime now;
};

namespace NewRegimeSetup {

// One slab: income from `from` up to `to` (no upper bound when absent) taxed at `per` %.
struct Slab
{
    double from = 0;
    std::optional<double> to;
    double per = 0;
    bool operator==(const Slab &) const = default;
};

// A surcharge of `per` % of the tax on a taxable income above `threshold`.
struct SurchargeBand
{
    double threshold = 0;
    double per = 0;
    bool operator==(const SurchargeBand &) const = default;
};

struct Year
{
    TaxRegime defaultRegime = TaxRegime::Old;
    double standardDeduction = 0;
    double rebateLimit = 0;         // 87A: taxable income up to which the rebate applies
    double rebateMax = 0;           // 87A: the largest rebate
    bool rebateRelief = false;      // above the limit the tax is at most the income above it
    double cess = 0;                // percent of tax plus surcharge
    QList<Slab> slabs;              // in order, each starting where the one before ends
    QList<SurchargeBand> surcharge; // thresholds ascending
    bool operator==(const Year &) const = default;
};

QString YearSql(const QDate &from, const QDate &to);
QString SlabsSql(const QDate &from, const QDate &to);
QString SurchargeSql(const QDate &from, const QDate &to);

// The year's data; nullopt when the year has none (the old way for everybody). forUpdate
// locks what it reads until the transaction ends.
std::optional<Year> Load(DbConnection &db, const QDate &from, const QDate &to, bool forUpdate = false);

// What a clerk got wrong, and where, so that the screen can put the cursor there.
struct Problem
{
    enum class Field {
        None,
        RebateLimit,
        Cess,
        SlabFrom,
        SlabTo,
        SlabRate,
        BandThreshold,
        BandRate,
        OldBandThreshold,
        OldBandRate
    };
    Field field = Field::None;
    int row = -1; // slab or band, from 0
    QString message;
};

// The first fault of the figures (slabs that overlap, leave a gap or run backwards, rates
// outside 0 to 100, ...); a Problem with Field::None when they are sound.
Problem Validate(const Year &year);

// --- The old regime's surcharge bands ---------------------------------------------------
QString OldSurchargeSql(const QDate &from, const QDate &to);
// The year's bands, thresholds ascending; none when the year has none.
// forUpdate locks what it reads until the transaction ends.
QList<SurchargeBand> LoadOldSurcharge(DbConnection &db, const QDate &from, const QDate &to, bool forUpdate = false);
// The first fault of the bands (a threshold not above 0 or not above the band before, a rate
// outside 0 to 100), as Validate's of the new regime's bands.
Problem ValidateOldSurcharge(const QList<SurchargeBand> &bands);
// The statements that replace the year's bands.
QStringList OldSurchargeStatements(const QList<SurchargeBand> &bands, const QDate &from, const QDate &to);

// The statements of a save: the year's row (inserted, or changed with the modified columns),
// then its slabs and surcharge bands replaced.
QStringList SaveStatements(const Year &year, const QDate &from, const QDate &to, const AuditStamp &stamp);
struct SaveResult
{
    // True when the stored year was no longer the one the screen loaded: nothing was written.
    bool changedMeanwhile = false;
    // The year as stored now: the one saved, or, when changed meanwhile, the other one.
    std::optional<Year> stored;
};
// Stores the year in one transaction; a DbError leaves the stored year as it was and
// propagates. With loaded (the year as stored when the screen loaded it, nullopt for none), the
// stored year is first read under lock and compared with it: when someone else saved it in
// between, nothing is written. Two first saves of a year that met in a deadlock are tried again.
SaveResult Save(DbConnection &db, const Year &year, const QDate &from, const QDate &to, const AuditStamp &stamp,
                const std::optional<Year> *loaded = nullptr);
// What differs between two stored states of a year, one line each, in the clerk's words
// ("standard deduction: now 75000.00, loaded 50000.00").
QStringList Changes(const std::optional<Year> &loaded, const std::optional<Year> &now);

// --- Both regimes of a year, as the Tax Regimes screen keeps them -------------------------
struct Regimes
{
    std::optional<Year> newRegime; // none: the year has no new-regime figures
    QList<SurchargeBand> oldSurcharge;
    bool operator==(const Regimes &) const = default;
};
Regimes LoadRegimes(DbConnection &db, const QDate &from, const QDate &to, bool forUpdate = false);
struct RegimesSaveResult
{
    bool changedMeanwhile = false; // nothing was written
    Regimes stored;                // as stored now: what was saved, or another workstation's
};
// Stores the new regime's figures (when given; none leaves the stored ones as they are) and the
// old regime's bands of the year in one transaction; a DbError leaves the year as it was and
// propagates. With loaded, as Save: what is stored is first read under lock and compared with
// it, and when another workstation saved the year in between nothing is written.
RegimesSaveResult SaveRegimes(DbConnection &db, const Regimes &regimes, const QDate &from, const QDate &to,
                              const AuditStamp &stamp, const Regimes *loaded = nullptr);
// What differs between two stored states of both regimes, one line each.
QStringList Changes(const Regimes &loaded, const Regimes &now);

} // namespace NewRegimeSetup
