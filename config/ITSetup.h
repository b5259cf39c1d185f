#pragma once

// The tax limits and slabs of one financial year (hr_it_setup, hr_it_slabs): the one reader
// of both tables for the settings screen, the batch and the worksheet, and the settings
// screen's one write, the six limits in one transaction.

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class DbConnection;

// One tax slab: lower and upper bound of taxable income and the rate in percent.
struct TaxSlab
{
    double start = 0;
    double end = 0;
    double rate = 0;
};

namespace ITSetup {

// The six limits, in the order they are saved.
enum Limit { Limit80C, LimitHL, LimitMC, LimitExemption, LimitRebate, LimitCess, LimitCount };

// The set_id of a limit ('80C_LIMIT', 'HL_LIMIT', ...).
QString SetId(Limit limit);

// What the year's rows hold, as stored: a limit or slab is empty where the year has no row
// for it; a later row of the same limit or slab wins. Each reader decides what a missing
// row means to it.
struct Year
{
    std::array<std::optional<double>, LimitCount> limits;
    std::array<std::optional<TaxSlab>, 4> slabs; // slab numbers 1 to 4; other numbers are ignored
};

// Who reads the slabs: the settings screen and the computations have always sent the same
// statement with a different first letter.
enum class Reader { SettingsScreen, Computation };

QString SetupSql(const QDate &from, const QDate &to);
QString SlabsSql(const QDate &from, const QDate &to, Reader reader);

// Reads the limits and then the slabs of the financial year. Database errors propagate (DbError).
Year Load(DbConnection &db, const QDate &from, const QDate &to, Reader reader);

// The six UPDATE texts for the typed limit texts (each stores its leading number, 0 for none).
QStringList UpdateStatements(const std::array<QString, LimitCount> &texts, const QDate &from, const QDate &to);

// Stores the six limits in one transaction; on a DbError nothing is stored and it propagates.
void Save(DbConnection &db, const std::array<QString, LimitCount> &texts, const QDate &from, const QDate &to);

} // namespace ITSetup
