// Times the statement of a large company: building the sheet from the stored tax records
// and writing it as a workbook and as the print file. Run against a local server that holds
// the suite's schema (its hr_it and hr_employee rows of company BENCH are replaced).
//
//   bench_statement [employees]        (10000 by default)
#include "reports/Statement.h"
#include "reports/StatementPrint.h"
#include "reports/Workbook.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

void Fill(DbConnection &db, int employees)
{
    db.execute(QStringLiteral("DELETE FROM hr0910.hr_it WHERE comp_code='BENCH'"));
    db.execute(QStringLiteral("DELETE FROM hr0910.hr_employee WHERE comp_code='BENCH'"));
    const int batch = 500;
    for (int first = 1; first <= employees; first += batch) {
        QString emp = QStringLiteral("INSERT INTO hr0910.hr_employee (emp_slno,emp_code_char,emp_code,emp_name,"
                                     "emp_pan,emp_unit_code,comp_code) VALUES ");
        QString it = QStringLiteral(
            "INSERT INTO hr0910.hr_it (emp_slno,emp_code,comp_code,emp_months_rem,emp_gross,emp_gross_proj,emp_hra,"
            "emp_hra_proj,emp_pf,emp_pf_proj,emp_pro_tax,emp_hl_int,emp_hl_int_limit,emp_mc,emp_mc_limit,emp_ta,"
            "emp_ta_proj,emp_80c_total,emp_80c_limit,emp_80c_net,emp_taxable_amt,emp_excemption,"
            "emp_net_taxable_amt,emp_cess,emp_payable,emp_sal_cut,emp_balance,emp_it_from,emp_it_to) VALUES ");
        for (int i = first; i < first + batch && i <= employees; ++i) {
            const QString slno = QStringLiteral("B%1").arg(i);
            const QString code = QStringLiteral("B%1").arg(i, 6, 10, QLatin1Char('0'));
            if (i > first) {
                emp += QLatin1Char(',');
                it += QLatin1Char(',');
            }
            emp += QStringLiteral("('%1','B','%2','EMPLOYEE NUMBER %3','ABCDE%3F','HO','BENCH')")
                       .arg(slno, code.mid(1), QString::number(i));
            it += QStringLiteral("('%1','%2','BENCH',%3").arg(slno, code).arg(i % 12);
            for (int c = 0; c < 23; ++c)
                it += QLatin1Char(',') + PlainNumber((i * 37 + c * 1013) % 900000 + 0.5 * (c % 3));
            it += QStringLiteral(",'2018-04-01','2019-03-31')");
        }
        db.execute(emp);
        db.execute(it);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int employees = argc > 1 ? std::atoi(argv[1]) : 10000;
    DbConnection &db = mdlDalvoni::Db();
    try {
        db.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        Fill(db, employees);

        QElapsedTimer t;
        Sheet sheet;
        t.start();
        const int last = Statement::Build(sheet, db, QStringLiteral("BENCH"), QDate(2018, 4, 1), QDate(2019, 3, 31),
                                          QString(), QDate::currentDate(), QDate(2018, 4, 1), QDate(2019, 3, 31));
        const qint64 build = t.elapsed();

        QTemporaryDir dir;
        QString error;
        t.restart();
        if (!WriteWorkbook(sheet, dir.filePath(QStringLiteral("statement.xlsx")), &error)) {
            std::fprintf(stderr, "export failed: %s\n", qPrintable(error));
            return 1;
        }
        const qint64 exported = t.elapsed();

        t.restart();
        const QByteArray text = StatementPrint::Text(sheet, last);
        StatementPrint::Write(dir.filePath(QStringLiteral("os.prn")), text, &error);
        const qint64 printed = t.elapsed();

        std::printf("employees %d (rows 6 to %d)\nbuild  %lld ms\nexport %lld ms\nprint  %lld ms\n", employees, last,
                    build, exported, printed);
        db.execute(QStringLiteral("DELETE FROM hr0910.hr_it WHERE comp_code='BENCH'"));
        db.execute(QStringLiteral("DELETE FROM hr0910.hr_employee WHERE comp_code='BENCH'"));
    } catch (const DbError &e) {
        std::fprintf(stderr, "database error: %s\n", qPrintable(e.text()));
        return 1;
    }
    return 0;
}
