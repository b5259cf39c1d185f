// Measures many first runs of a year at once, one per company, as at the start of a year when
// every company's clerk presses Generate: whether every run finishes, how many meet other runs
// on the new records and are run again, and how long the slowest takes, on loopback and
// through the delay proxy.
//
//   unshare -n bash -c 'ip link set lo up; scripts/dbserver.sh start /tmp/concurrent-db;
//                       build/bench/concurrent/bench_concurrent [--companies 20] [--employees 500]
//                           [--rounds 5] [--delays 0,2] [--no-retry];
//                       scripts/dbserver.sh stop /tmp/concurrent-db'
//
// The driver generates the demo company and copies its employees and their pay of the tax
// year into the bench's companies. Each round removes their tax records of the year, starts one
// process per company (bench_concurrent --run CODE --server ADDRESS), waits until every one
// has connected, and then lets them all start at the same moment.
#include "BenchSupport.h"
#include "DemoData.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"
#include "tax/IncomeTaxBatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const QDate kFrom = DemoData::HistoryYearFrom;
const QDate kTo = kFrom.addYears(1).addDays(-1);

QString CompanyCode(int k)
{
    return QStringLiteral("K%1").arg(k, 2, 10, QLatin1Char('0'));
}

// One run of a company in this process: connects, says "ready", waits for a line on standard
// input, runs, and prints "key=value ..." on one line.
int MeasureRun(const QString &company, const QString &server, bool retry)
{
    mdlDalvoni::ServerAddress = server;
    DbConnection &db = mdlDalvoni::Db();
    db.open(mdlDalvoni::ConnectionString(server));
    mdlDalvoni::CompanyCode = company;
    mdlDalvoni::UserId = QStringLiteral("1");
    mdlDalvoni::UserName = QStringLiteral("admin");
    mdlDalvoni::FinYearFrom = mdlDalvoni::TaxYearStart = kFrom;
    mdlDalvoni::FinYearTo = mdlDalvoni::TaxYearEnd = kTo;
    auto request = IncomeTaxBatch::SessionRequest(kFrom, kTo, QString());
    request.lockWaitSeconds = 60;
    if (!retry)
        request.retry = {1, 1, 1, false};
    std::printf("ready\n");
    std::fflush(stdout);
    std::string go;
    std::getline(std::cin, go);
    RebateState state;
    QElapsedTimer clock;
    clock.start();
    try {
        const IncomeTaxBatch::Result r = IncomeTaxBatch::Run(db, request, state);
        std::printf("ok=1 seconds=%.3f attempts=%d inserted=%d\n", clock.nsecsElapsed() / 1e9, r.attempts, r.inserted);
    } catch (const IncomeTaxBatch::Error &e) {
        std::printf("ok=0 seconds=%.3f why=%s\n", clock.nsecsElapsed() / 1e9,
                    qPrintable(e.text().section(QLatin1Char('\n'), 0, 0).replace(QLatin1Char(' '), QLatin1Char('_'))));
    }
    return 0;
}

// The bench's companies: the demo company's employees in service and their pay of the tax
// year, copied into each, with its finalisations.
void CopyCompanies(DbConnection &db, int companies)
{
    const QString main = QString::fromLatin1(DemoData::kMainCompany);
    for (int k = 1; k <= companies; ++k) {
        const QString code = CompanyCode(k);
        db.execute(QStringLiteral("Insert into dalvoni.acc_companymaster values ('%1','BENCH COMPANY %2',0,%3)")
                       .arg(code)
                       .arg(k)
                       .arg(100 + k));
        db.execute(QStringLiteral("Insert into hr0910.hr_employee select concat('%1-',emp_slno),emp_code_char,emp_code,"
                                  "emp_name,emp_pan,emp_desig_code,emp_dept_code,emp_unit_code,'%1',emp_disable,"
                                  "emp_flag from hr0910.hr_employee where comp_code='%2' and emp_flag=0")
                       .arg(code, main));
        db.execute(QStringLiteral("Insert into hr0910.hr_emp_salary (emp_slno,emp_sal_type,emp_sal_dr,emp_sal_cr,"
                                  "emp_sal_date_from) select concat('%1-',s.emp_slno),s.emp_sal_type,s.emp_sal_dr,"
                                  "s.emp_sal_cr,s.emp_sal_date_from from hr0910.hr_emp_salary s join "
                                  "hr0910.hr_employee e on e.emp_slno=s.emp_slno where e.comp_code='%2' and "
                                  "e.emp_flag=0 and s.emp_sal_date_from>='%3' and s.emp_sal_date_from<='%4'")
                       .arg(code, main, SqlDate(kFrom), SqlDate(kTo)));
        db.execute(QStringLiteral("Insert into hr0910.hr_it_trans (emp_slno,emp_it_allowance_code,emp_amount,"
                                  "emp_allowance_slno,emp_it_from,emp_it_to) select concat('%1-',t.emp_slno),"
                                  "t.emp_it_allowance_code,t.emp_amount,t.emp_allowance_slno,t.emp_it_from,t.emp_it_to "
                                  "from hr0910.hr_it_trans t join hr0910.hr_employee e on e.emp_slno=t.emp_slno where "
                                  "e.comp_code='%2' and t.emp_it_from='%3'")
                       .arg(code, main, SqlDate(kFrom)));
        db.execute(QStringLiteral("Insert into hr0910.hr_finalize select '%1',entry_type,entry_date from "
                                  "hr0910.hr_finalize where comp_code='%2'")
                       .arg(code, main));
    }
}

// The server's count of deadlocks and of waits for a row lock so far.
std::pair<int, int> LockCounts(DbConnection &db)
{
    int deadlocks = 0, waits = 0;
    Recordset rs = db.query(QStringLiteral("Select variable_name,variable_value from information_schema.GLOBAL_STATUS "
                                           "where variable_name in ('INNODB_DEADLOCKS','INNODB_ROW_LOCK_WAITS')"));
    for (; !rs.eof(); rs.moveNext())
        (rs.text(0).toUpper() == QLatin1String("INNODB_DEADLOCKS") ? deadlocks : waits) =
            static_cast<int>(rs.number(1));
    rs.close();
    return {deadlocks, waits};
}

int Drive(const QCommandLineParser &args)
{
    const int companies = args.value(QStringLiteral("companies")).toInt();
    const int rounds = args.value(QStringLiteral("rounds")).toInt();
    const bool retry = !args.isSet(QStringLiteral("no-retry"));
    QList<double> delays;
    for (const QString &d : args.value(QStringLiteral("delays")).split(QLatin1Char(','), Qt::SkipEmptyParts))
        delays << d.toDouble();

    DbConnection db(QStringLiteral("generator"));
    db.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
    DemoOptions opt;
    opt.employees = args.value(QStringLiteral("employees")).toInt();
    opt.reset = true;
    // The payroll history alone, made as on a day of 2018-19: the year measured.
    opt.currentPayroll = false;
    opt.today = QDate(2018, 10, 15);
    DemoData::Generate(db, opt);
    CopyCompanies(db, companies);
    const QString perCompany =
        QueryFirstValue(db, QStringLiteral("Select count(*) from hr0910.hr_employee where comp_code='K01'"));
    std::printf("%d companies of %s employees in service each, first runs of %s-%02d at once, %s\n", companies,
                qPrintable(perCompany), qPrintable(QString::number(kFrom.year())), (kFrom.year() + 1) % 100,
                retry ? "runs that meet others run again" : "no run again (as before)");
    std::printf("%-6s %-5s %8s %8s %18s %10s %10s %10s %9s %10s\n", "rtt ms", "round", "finished", "refused",
                "runs again (tries)", "slowest s", "median s", "all in s", "deadlocks", "lock waits");

    for (const double delay : delays) {
        std::unique_ptr<BenchSupport::Proxy> proxy;
        if (delay > 0)
            proxy = std::make_unique<BenchSupport::Proxy>(delay);
        const QString server = delay > 0 ? QStringLiteral("127.0.0.2") : QStringLiteral("127.0.0.1");
        int allFinished = 0, allRefused = 0, allAgain = 0;
        for (int round = 1; round <= rounds; ++round) {
            db.execute(QStringLiteral("Delete from hr0910.hr_it where comp_code like 'K%'"));
            const auto [deadlocksBefore, waitsBefore] = LockCounts(db);
            std::vector<std::unique_ptr<QProcess>> runs;
            for (int k = 1; k <= companies; ++k) {
                auto p = std::make_unique<QProcess>();
                p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
                QStringList a{QStringLiteral("--run"), CompanyCode(k), QStringLiteral("--server"), server};
                if (!retry)
                    a << QStringLiteral("--no-retry");
                p->start(QCoreApplication::applicationFilePath(), a);
                runs.push_back(std::move(p));
            }
            for (auto &p : runs)
                while (!p->canReadLine() && p->waitForReadyRead(30000)) {
                }
            for (auto &p : runs)
                p->readLine(); // "ready"
            QElapsedTimer clock;
            clock.start();
            // QProcess sends what is written when it is waited on: every run gets its line now.
            for (auto &p : runs)
                p->write("go\n");
            for (auto &p : runs)
                p->waitForBytesWritten();
            std::vector<double> seconds;
            int finished = 0, refused = 0, again = 0, most = 1;
            for (auto &p : runs) {
                p->waitForFinished(-1);
                auto v = BenchSupport::Values(QString::fromLocal8Bit(p->readAllStandardOutput()));
                if (v[QStringLiteral("ok")] == QLatin1String("1")) {
                    ++finished;
                    again += v[QStringLiteral("attempts")].toInt() - 1;
                    most = std::max(most, v[QStringLiteral("attempts")].toInt());
                } else {
                    ++refused;
                    std::fprintf(stderr, "  refused: %s\n", qPrintable(v[QStringLiteral("why")]));
                }
                seconds.push_back(v[QStringLiteral("seconds")].toDouble());
            }
            const double all = clock.nsecsElapsed() / 1e9;
            const auto [deadlocks, waits] = LockCounts(db);
            std::sort(seconds.begin(), seconds.end());
            std::printf("%-6g %-5d %8d %8d %5d (%d at most) %10.2f %10.2f %10.2f %9d %10d\n", delay, round, finished,
                        refused, again, most, seconds.back(), seconds[seconds.size() / 2], all,
                        deadlocks - deadlocksBefore, waits - waitsBefore);
            std::fflush(stdout);
            allFinished += finished;
            allRefused += refused;
            allAgain += again;
        }
        std::printf("%-6g all   %8d %8d %12d\n", delay, allFinished, allRefused, allAgain);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Measures first runs of many companies at once."));
    args.addHelpOption();
    args.addOption({QStringLiteral("companies"), QStringLiteral("Companies run at once (default 20)."),
                    QStringLiteral("n"), QStringLiteral("20")});
    args.addOption({QStringLiteral("employees"),
                    QStringLiteral("Demo employees each company copies (default 500: 385 in service)."),
                    QStringLiteral("n"), QStringLiteral("500")});
    args.addOption({QStringLiteral("rounds"), QStringLiteral("Rounds of first runs (default 5)."), QStringLiteral("n"),
                    QStringLiteral("5")});
    args.addOption({QStringLiteral("delays"), QStringLiteral("Round-trip times in ms (default 0,2)."),
                    QStringLiteral("ms,..."), QStringLiteral("0,2")});
    args.addOption({QStringLiteral("no-retry"), QStringLiteral("Runs that meet others are not run again.")});
    args.addOption({QStringLiteral("run"), QStringLiteral("(internal) One company's run."), QStringLiteral("code")});
    args.addOption({QStringLiteral("server"), QStringLiteral("(internal) Its server."), QStringLiteral("address")});
    args.process(app);
    try {
        if (args.isSet(QStringLiteral("run")))
            return MeasureRun(args.value(QStringLiteral("run")), args.value(QStringLiteral("server")),
                              !args.isSet(QStringLiteral("no-retry")));
        return Drive(args);
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_concurrent: %s\n%s\n", qPrintable(e.text()), qPrintable(e.sql()));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_concurrent: %s\n", e.what());
    }
    return 1;
}
