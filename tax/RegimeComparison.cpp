#include "RegimeComparison.h"

#include "BatchInputs.h"
#include "session/Common.h"
#include "session/DbConnection.h"

#include <algorithm>

namespace RegimeComparison {

double Row::saving() const
{
    return RoundAmount(regime == TaxRegime::New ? newPayable - oldPayable : oldPayable - newPayable);
}

Totals Sum(const QList<Row> &rows)
{
    Totals t;
    for (const Row &r : rows) {
        t.oldPayable = RoundAmount(t.oldPayable + r.oldPayable);
        t.newPayable = RoundAmount(t.newPayable + r.newPayable);
        if (r.costsMore()) {
            t.saving = RoundAmount(t.saving + r.saving());
            ++t.costsMore;
        }
    }
    return t;
}

QList<Row> Read(DbConnection &db, const IncomeTaxBatch::Request &req,
                const std::function<void(int done, int total)> &progress)
{
    RebateState state;
    const TaxRules::Context ctx = IncomeTaxBatch::RunContext(db, req, state);
    if (!ctx.newRegime)
        throw IncomeTaxBatch::Error(QStringLiteral("The financial year has no new-regime figures: every employee is "
                                                   "taxed under the old regime, and there is nothing to compare.\n"
                                                   "Enter them in Master: Tax Regimes."));

    struct Listed
    {
        BatchInputs::Employee employee;
        QString name;
    };
    QList<Listed> listed;
    Recordset list = db.query(IncomeTaxBatch::ListSql(req.companyCode, req.slno));
    for (; !list.eof(); list.moveNext())
        listed.append({{list.text(QStringLiteral("emp_slno")),
                        list.text(QStringLiteral("emp_code_char")) + list.text(QStringLiteral("emp_code")),
                        list.text(QStringLiteral("emp_unit_code"))},
                       list.text(QStringLiteral("emp_name"))});
    list.close();

    QList<Row> rows;
    rows.reserve(listed.size());
    const int perSet = std::max(1, req.employeesPerSet);
    for (qsizetype first = 0; first < listed.size(); first += perSet) {
        QList<BatchInputs::Employee> set;
        for (qsizetype i = first; i < std::min(listed.size(), first + perSet); ++i)
            set.append(listed[i].employee);
        const std::vector<BatchInputs::Inputs> inputs = BatchInputs::Read(db, set, req.from, req.to);
        for (qsizetype i = 0; i < set.size(); ++i) {
            const BatchInputs::Employee &e = set[i];
            Row row;
            row.slno = e.slno;
            row.code = e.empCode;
            row.name = listed[first + i].name;
            row.regime = TaxRules::RegimeOf(ctx, e.slno);
            row.ownChoice = ctx.regimeChoices.contains(e.slno);
            const bool metro = TaxRules::IsMetroUnit(e.unitCode);
            // Both from the same inputs, each as the batch computes it under that regime.
            const auto oldFigures = TaxRules::Compute(inputs[i].in, metro, TaxRegime::Old, ctx, state);
            const auto newFigures = TaxRules::Compute(inputs[i].in, metro, TaxRegime::New, ctx, state);
            row.paid = oldFigures.has_value();
            row.oldPayable = oldFigures ? oldFigures->payable : 0;
            row.newPayable = newFigures ? newFigures->payable : 0;
            rows.append(row);
        }
        if (progress)
            progress(static_cast<int>(first + set.size()), static_cast<int>(listed.size()));
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) { return a.code < b.code; });
    return rows;
}

QString RegimeCsv(TaxRegime regime)
{
    return RegimeCode(regime);
}

namespace {

QString CsvText(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString Csv(const QList<Row> &rows)
{
    QString csv = QStringLiteral("code,name,regime,old_payable,new_payable,saving,costs_more,choice,paid\n");
    for (const Row &r : rows)
        csv += CsvText(r.code) + QLatin1Char(',') + CsvText(r.name) + QLatin1Char(',') + RegimeCsv(r.regime) +
               QLatin1Char(',') + Format00(r.oldPayable) + QLatin1Char(',') + Format00(r.newPayable) +
               QLatin1Char(',') + Format00(r.saving()) + QLatin1Char(',') +
               (r.costsMore() ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char(',') +
               (r.ownChoice ? QStringLiteral("OWN") : QStringLiteral("DEFAULT")) + QLatin1Char(',') +
               (r.paid ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char('\n');
    return csv;
}

} // namespace RegimeComparison
