#pragma once

// The two regimes side by side for every in-service employee of a company: the tax payable
// under each, computed from the inputs the batch reads (not from the stored record, which
// holds one regime), the regime that applies (his own choice or the year's default) and what
// changing to the other would save. Read set by set, as the batch reads a company.

#include "IncomeTaxBatch.h"

#include <QList>
#include <QString>

#include <functional>

class DbConnection;

namespace RegimeComparison {

struct Row
{
    QString slno;
    QString code; // emp_code_char followed by emp_code
    QString name;
    TaxRegime regime = TaxRegime::Old; // the one that applies
    bool ownChoice = false;            // his own choice, else the year's default
    bool paid = true;                  // false: no gross pay in the period, nothing to compare (both 0)
    double oldPayable = 0;
    double newPayable = 0;

    // The payable under the regime that applies less that under the other: above 0 the
    // regime that applies costs more, and changing would save this much.
    double saving() const;
    bool costsMore() const { return saving() > 0; }
};

struct Totals
{
    double oldPayable = 0;
    double newPayable = 0;
    double saving = 0; // of the employees whose regime costs more
    int costsMore = 0;
};
Totals Sum(const QList<Row> &rows);

// Every in-service employee (emp_flag 0) of the request's company, ordered by code, over the
// request's period and financial year. Throws IncomeTaxBatch::Error when the year has no
// new-regime figures, its regime figures do not hold together or the months remaining cannot
// be counted; DbError when a statement fails. progress(done, total) after each set.
QList<Row> Read(DbConnection &db, const IncomeTaxBatch::Request &req,
                const std::function<void(int done, int total)> &progress = {});

// "OLD" or "NEW".
QString RegimeCsv(TaxRegime regime);
// The CSV of the rows: a header line, then one line per row, first
// code,name,regime,old_payable,new_payable (amounts with two decimals and a point, no
// grouping), then saving, costs_more (1 or 0), choice (OWN or DEFAULT) and paid (1 or 0).
// Lines end in a line feed; a text with a comma or a quote is quoted.
QString Csv(const QList<Row> &rows);

} // namespace RegimeComparison
