#pragma once

// The tax limits and slabs of one financial year (hr_it_setup, hr_it_slabs): what the
// settings screen shows, and the one write it makes, the six limits in one transaction.

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>

class DbConnection;

namespace ITSetup {

// The six limits, in the order they are saved.
enum Limit { Limit80C, LimitHL, LimitMC, LimitExemption, LimitRebate, LimitCess, LimitCount };

// The set_id of a limit ('80C_LIMIT', 'HL_LIMIT', ...).
QString SetId(Limit limit);

struct Slab
{
    QString from, to, per;
};

// A year as the screen shows it: limits in "0.00", slabs as their plain stored text,
// empty where the year has no row.
struct YearSettings
{
    std::array<QString, LimitCount> limits;
    std::array<Slab, 4> slabs;
};

QString SetupQuery(const QDate &from, const QDate &to);
QString SlabsQuery(const QDate &from, const QDate &to);

// Reads the year; a later row of the same limit or slab wins, other slab numbers are ignored.
YearSettings Load(DbConnection &db, const QDate &from, const QDate &to);

// The six UPDATE texts for the typed limit texts (each stores its leading number, 0 for none).
QStringList UpdateStatements(const std::array<QString, LimitCount> &texts, const QDate &from, const QDate &to);

// Stores the six limits in one transaction; on a DbError nothing is stored and it propagates.
void Save(DbConnection &db, const std::array<QString, LimitCount> &texts, const QDate &from, const QDate &to);

} // namespace ITSetup
