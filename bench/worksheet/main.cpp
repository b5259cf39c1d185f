// bench_worksheet: times the worksheet's load of one employee (a year of payroll lines, ten
// declarations) and its recomputations, on the 2,000-employee demo company.
//
//   bench_worksheet [server address] [employees]     (defaults 127.0.0.1 and 2000)
#include "DemoData.h"
#include "session/Common.h"
#include "session/DbConnection.h"
#include "session/mdlDalvoni.h"
#include "tax/Worksheet.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

namespace {

struct Timing
{
    double median = 0, worst = 0;
};

Timing Measure(int runs, const std::function<void()> &work)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        work();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const QString server = args.size() > 1 ? args[1] : QStringLiteral("127.0.0.1");
    const int employees = args.size() > 2 ? args[2].toInt() : 2000;

    try {
        DbConnection &db = mdlDalvoni::Db();
        db.open(mdlDalvoni::ConnectionString(server));
        DemoOptions options;
        options.employees = employees;
        options.reset = true;
        // The company's payroll history alone, as it was made in October 2018.
        options.today = QDate(2018, 10, 15);
        options.currentPayroll = false;
        const DemoSummary demo = DemoData::Generate(db, options);
        out << QStringLiteral("demo company: %1 employees, %2 salary lines, %3 declarations (%4 ms)\n")
                   .arg(demo.employees)
                   .arg(demo.salaryLines)
                   .arg(demo.declarations)
                   .arg(demo.milliseconds);

        // The default year (payroll up to September) and the full year before it.
        for (const QDate &yearFrom : {DemoData::HistoryYearFrom.addYears(-1), DemoData::HistoryYearFrom}) {
            Worksheet::YearSetup setup;
            setup.finYearFrom = setup.taxYearStart = yearFrom;
            setup.finYearTo = setup.taxYearEnd = yearFrom.addYears(1).addDays(-1);
            out << QStringLiteral("\ntax year %1 to %2\n").arg(SqlDate(setup.taxYearStart), SqlDate(setup.taxYearEnd));

            // The employee of the main company with the most payroll lines in the tax year, given
            // ten declarations with a rent line among them.
            const QString slno = QueryFirstValue(
                db, QStringLiteral("select s.emp_slno from hr_emp_salary s join hr_employee e on e.emp_slno=s.emp_slno "
                                   "where e.comp_code='%1' and s.emp_sal_date_from>='%2' and s.emp_sal_date_from<='%3' "
                                   "group by s.emp_slno order by count(*) desc, s.emp_slno limit 1")
                        .arg(QLatin1String(DemoData::kMainCompany), SqlDate(setup.taxYearStart),
                             SqlDate(setup.taxYearEnd)));
            const QString unitName = QueryFirstValue(
                db,
                QStringLiteral("select unit_name from hr_employee join dalvoni.unitmaster on unit_code=emp_unit_code "
                               "where emp_slno='%1'")
                    .arg(slno));
            const QString lines = QueryFirstValue(
                db,
                QStringLiteral("select count(*) from hr_emp_salary where emp_slno='%1' and emp_sal_date_from>='%2' and "
                               "emp_sal_date_from<='%3'")
                    .arg(slno, SqlDate(setup.taxYearStart), SqlDate(setup.taxYearEnd)));
            db.execute(QStringLiteral("delete from hr_it_trans where emp_slno='%1'").arg(slno));
            const char *heads[] = {"ITA000001", "ITA000002", "ITA000003", "ITA000004", "ITA000005",
                                   "ITA000006", "ITA000007", "ITA000001", "ITA000002", "ITA000003"};
            for (int i = 0; i < 10; ++i)
                db.execute(
                    QStringLiteral("Insert into hr_it_trans (emp_slno, emp_it_allowance_code, emp_amount,"
                                   "emp_allowance_slno,emp_it_from,emp_it_to) values('%1','%2','%3',%4,'%5','%6')")
                        .arg(slno, QLatin1String(heads[i]), QString::number(i == 4 ? 180000 : 5000 * (i + 1)))
                        .arg(i + 1)
                        .arg(SqlDate(setup.taxYearStart), SqlDate(setup.taxYearEnd)));
            out << QStringLiteral("employee %1 (%2): %3 payroll lines in the tax year, 10 declarations\n")
                       .arg(slno, unitName, lines);

            Worksheet::Figures opened = Worksheet::OpenedFigures();
            const Timing open = Measure(20, [&] {
                Worksheet::YearSetup s = setup;
                Worksheet::LoadYearSetup(db, s, opened);
            });
            Worksheet::LoadYearSetup(db, setup, opened);

            Worksheet::Figures fig;
            const QDate today = yearFrom == DemoData::HistoryYearFrom ? QDate(2018, 10, 15) : yearFrom.addYears(1);
            auto load = [&] {
                fig = opened;
                Worksheet::Clear(fig);
                fig.LbName = QStringLiteral("BENCH");
                fig.LbSerialNo = slno;
                fig.LbUnit = unitName;
                fig.companyCodeTag = QLatin1String(DemoData::kMainCompany);
                Worksheet::LoadFigures(db, fig, setup, today);
            };
            load(); // warm the server's caches once
            const Timing loaded = Measure(50, load);
            out << QStringLiteral("  filled lines %1, taxable %2, to pay %3\n")
                       .arg(fig.filledLines())
                       .arg(fig.TxTaxableAmt, fig.TxNetTax);

            // A keystroke in an amount box recomputes the tax; Enter in the grid also totals the
            // declarations, with the rent line's two salary sums kept since the load.
            int key = 0;
            const Timing keystroke = Measure(1000, [&] {
                fig.TxMediClaim = Format00(1000 + (key++ % 50) * 100);
                Worksheet::ComputeTax(fig, setup);
            });
            const Worksheet::SalarySum sums = Worksheet::LoadedSalarySum(db, fig, setup.taxYearStart, setup.taxYearEnd);
            const Timing enter = Measure(200, [&] {
                fig.lines[0].amount = Format00(5000 + (key++ % 50) * 10);
                Worksheet::ComputeDeclarations(fig, sums);
                Worksheet::ComputeTax(fig, setup);
            });

            auto line = [&](const QString &what, const Timing &t, const QString &target) {
                out << QStringLiteral("%1 median %2 ms, worst %3 ms%4\n")
                           .arg(what.leftJustified(44))
                           .arg(t.median, 0, 'f', 3)
                           .arg(t.worst, 0, 'f', 3)
                           .arg(target);
            };
            line(QStringLiteral("opening (limits and slabs)"), open, QString());
            line(QStringLiteral("loading the employee (50 runs)"), loaded, QStringLiteral("   (target < 50 ms)"));
            line(QStringLiteral("recompute after a keystroke (1000 runs)"), keystroke,
                 QStringLiteral("   (target < 5 ms)"));
            line(QStringLiteral("recompute after Enter in the grid (200 runs)"), enter,
                 QStringLiteral("   (target < 5 ms)"));
        }
    } catch (const DbError &e) {
        QTextStream(stderr) << "bench_worksheet: " << e.text() << '\n';
        return 1;
    } catch (const std::exception &e) {
        QTextStream(stderr) << "bench_worksheet: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
