// Measures the batch generation against a generated company, on loopback and through a delay
// proxy that stands in for a network: wall time, statements a run, peak memory, and the longest
// wait of an event posted to the batch screen while it runs.
//
//   unshare -n bash -c 'ip link set lo up; scripts/dbserver.sh start /tmp/batch-db;
//                       build/bench/batch/bench_batch; scripts/dbserver.sh stop /tmp/batch-db'
//
// The driver generates the demo company for each size, starts tools/delayproxy on 127.0.0.2:3306
// in front of the server for each delay, and measures every run in a fresh process of its own
// (bench_batch --run ...), so that each peak of memory is the run's own.
#include "../support/BenchSupport.h"
#include "DemoData.h"
#include "session/mdlDalvoni.h"
#include "tax/IncomeTaxBatch.h"
#include "tax/RegimeComparison.h"
#include "tax/frmGenerateIncomeTax.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sys/resource.h>
#include <thread>

namespace {

using namespace BenchSupport;
using Clock = std::chrono::steady_clock;

// The session as after login to the demo's main company, in 2018-19 or the financial year
// that starts in April of firstYear.
void DemoSession(const QString &server, int firstYear)
{
    mdlDalvoni::ServerAddress = server;
    mdlDalvoni::Db().open(mdlDalvoni::ConnectionString(server));
    mdlDalvoni::CompanyCode = QString::fromLatin1(DemoData::kMainCompany);
    mdlDalvoni::UserId = QStringLiteral("1");
    mdlDalvoni::UserName = QStringLiteral("admin");
    mdlDalvoni::FinYearFrom = firstYear > 0 ? QDate(firstYear, 4, 1) : DemoData::HistoryYearFrom;
    mdlDalvoni::FinYearTo = mdlDalvoni::FinYearFrom.addYears(1).addDays(-1);
    mdlDalvoni::TaxYearStart = mdlDalvoni::FinYearFrom;
    mdlDalvoni::TaxYearEnd = mdlDalvoni::FinYearTo;
}

// An event that carries the moment it was posted.
class StampedEvent : public QEvent
{
public:
    static QEvent::Type kind()
    {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    StampedEvent() : QEvent(kind()), posted(Clock::now()) {}
    Clock::time_point posted;
};

// Receives the stamped events on the screen's thread and keeps the longest wait.
class WaitProbe : public QObject
{
public:
    double longestMs = 0;
    int delivered = 0;
    bool event(QEvent *e) override
    {
        if (e->type() != StampedEvent::kind())
            return QObject::event(e);
        const double ms =
            std::chrono::duration<double, std::milli>(Clock::now() - static_cast<StampedEvent *>(e)->posted).count();
        longestMs = std::max(longestMs, ms);
        ++delivered;
        return true;
    }
};

// One measured run in this process; prints "key=value ..." on one line.
int MeasureRun(const QString &how, const QString &server, int firstYear, int argc, char *argv[])
{
    if (how == QLatin1String("screen")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) {
            const QByteArray runtime = "/tmp/bench-batch-runtime";
            QDir().mkpath(QString::fromLatin1(runtime));
            QFile::setPermissions(QString::fromLatin1(runtime),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            qputenv("XDG_RUNTIME_DIR", runtime);
        }
        QApplication app(argc, argv);
        DemoSession(server, firstYear);
        frmGenerateIncomeTax screen;
        screen.show();
        QEventLoop loop;
        bool done = false;
        QObject::connect(&screen, &frmGenerateIncomeTax::runEnded, [&] {
            done = true;
            loop.quit();
        });
        WaitProbe probe;
        // Input arrives from outside the screen's thread: post an event every 5 ms, as a
        // typing clerk's keys would come, and see how long each waits.
        std::atomic<bool> posting{true};
        std::thread poster([&] {
            while (posting) {
                QCoreApplication::postEvent(&probe, new StampedEvent);
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
        QElapsedTimer clock;
        clock.start();
        screen.CmGenerate_Click();
        loop.exec();
        const double seconds = clock.nsecsElapsed() / 1e9;
        posting = false;
        poster.join();
        QCoreApplication::processEvents();
        std::printf("ok=%d seconds=%.3f longest_wait_ms=%.1f events=%d peak_kb=%ld summary=%s\n", done ? 1 : 0, seconds,
                    probe.longestMs, probe.delivered, PeakRssKb(),
                    qPrintable(screen.ui.LbSummary->text().replace(QLatin1Char(' '), QLatin1Char('_'))));
        return done ? 0 : 1;
    }

    QCoreApplication app(argc, argv);
    DemoSession(server, firstYear);
    DbConnection &db = mdlDalvoni::Db();
    std::map<QString, std::pair<int, double>> kinds; // statement kind: count, seconds until the next one
    QString lastKind;
    QElapsedTimer sinceLast;
    int statements = 0;
    db.setRecorder([&](const QString &sql, bool) {
        ++statements;
        if (!lastKind.isEmpty())
            kinds[lastKind].second += sinceLast.nsecsElapsed() / 1e9;
        lastKind = sql.left(sql.startsWith(QLatin1String("Update (")) ? 8 : 34);
        ++kinds[lastKind].first;
        sinceLast.restart();
    });
    auto request = IncomeTaxBatch::SessionRequest(mdlDalvoni::TaxYearStart, mdlDalvoni::TaxYearEnd, QString());
    request.perEmployee = how == QLatin1String("per-employee");
    RebateState state;
    QElapsedTimer clock;
    clock.start();
    sinceLast.start();
    if (how == QLatin1String("compare")) {
        // The regime comparison of the company: both regimes of every employee, nothing written.
        const QList<RegimeComparison::Row> rows = RegimeComparison::Read(db, request);
        const double seconds = clock.nsecsElapsed() / 1e9;
        db.setRecorder({});
        if (!lastKind.isEmpty())
            kinds[lastKind].second += sinceLast.nsecsElapsed() / 1e9;
        std::printf("ok=1 seconds=%.3f statements=%d rows=%lld costs_more=%d peak_kb=%ld\n", seconds, statements,
                    static_cast<long long>(rows.size()), RegimeComparison::Sum(rows).costsMore, PeakRssKb());
        if (qEnvironmentVariableIsSet("BENCH_PROFILE"))
            for (const auto &[kind, v] : kinds)
                std::fprintf(stderr, "  %5d x %-36s %.3f s\n", v.first, qPrintable(kind), v.second);
        return 0;
    }
    const IncomeTaxBatch::Result r = IncomeTaxBatch::Run(db, request, state);
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (!lastKind.isEmpty())
        kinds[lastKind].second += sinceLast.nsecsElapsed() / 1e9;
    db.setRecorder({});
    std::printf("ok=1 seconds=%.3f statements=%d selected=%d inserted=%d updated=%d new_regime=%d peak_kb=%ld\n",
                seconds, statements, r.selected, r.inserted, r.updated, r.newRegime, PeakRssKb());
    if (qEnvironmentVariableIsSet("BENCH_PROFILE"))
        for (const auto &[kind, v] : kinds)
            std::fprintf(stderr, "  %5d x %-36s %.3f s\n", v.first, qPrintable(kind), v.second);
    return 0;
}

int Drive(const QCommandLineParser &args)
{
    const QList<double> sizes = Numbers(args.value(QStringLiteral("employees")));
    const QList<double> delays = Numbers(args.value(QStringLiteral("delays")));
    const QList<double> perEmployeeDelays = Numbers(args.value(QStringLiteral("per-employee-delays")));
    const QList<double> years = Numbers(args.value(QStringLiteral("years")));
    const QList<double> compareDelays = Numbers(args.value(QStringLiteral("compare-delays")));
    for (const double size : sizes) {
        {
            DbConnection db(QStringLiteral("generator"));
            db.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
            DemoOptions opt;
            opt.employees = static_cast<int>(size);
            opt.reset = true;
            // A later year measured has the demo's current payroll: the demo made in October of
            // the newest year, paid April to September; 2018-19 alone needs the history only.
            const double newest = years.isEmpty() ? 2018 : *std::max_element(years.begin(), years.end());
            opt.currentPayroll = newest > DemoData::HistoryYearFrom.year();
            opt.today = opt.currentPayroll ? QDate(int(newest), 10, 15) : QDate(2018, 10, 15);
            const DemoSummary demo = DemoData::Generate(db, opt);
            std::printf("\n%d demo employees, %d salary lines (generated in %.0f s)\n", demo.employees,
                        demo.salaryLines, demo.milliseconds / 1000.0);
        }
        for (const double year : years) {
            const QString yearArg = QString::number(static_cast<int>(year));
            const auto child = [&yearArg](const QString &how, const QString &server) {
                return Child({QStringLiteral("--run"), how, QStringLiteral("--server"), server,
                              QStringLiteral("--year"), yearArg});
            };
            // The first run inserts every record; the measured runs update them, as every later run does.
            auto first = child(QStringLiteral("sets"), QStringLiteral("127.0.0.1"));
            std::printf("financial year %s-%02d, first run (inserts), loopback: %s s, %s statements, %s selected, %s "
                        "under the new regime\n",
                        qPrintable(yearArg), (static_cast<int>(year) + 1) % 100,
                        qPrintable(first[QStringLiteral("seconds")]), qPrintable(first[QStringLiteral("statements")]),
                        qPrintable(first[QStringLiteral("selected")]), qPrintable(first[QStringLiteral("new_regime")]));
            std::printf("%-12s %-6s %9s %10s %9s %10s %12s\n", "path", "rtt ms", "run s", "statements", "core MB",
                        "screen s", "longest wait");
            for (const double delay : delays) {
                std::unique_ptr<BenchSupport::Proxy> proxy;
                if (delay > 0)
                    proxy = std::make_unique<BenchSupport::Proxy>(delay);
                const QString server = delay > 0 ? QStringLiteral("127.0.0.2") : QStringLiteral("127.0.0.1");
                auto core = child(QStringLiteral("sets"), server);
                auto screen = child(QStringLiteral("screen"), server);
                std::printf("%-12s %-6g %9s %10s %9.1f %10s %9s ms  (screen process %.1f MB)\n", "sets", delay,
                            qPrintable(core[QStringLiteral("seconds")]), qPrintable(core[QStringLiteral("statements")]),
                            core[QStringLiteral("peak_kb")].toDouble() / 1024,
                            qPrintable(screen[QStringLiteral("seconds")]),
                            qPrintable(screen[QStringLiteral("longest_wait_ms")]),
                            screen[QStringLiteral("peak_kb")].toDouble() / 1024);
                if (compareDelays.contains(delay) && DemoData::NewRegimeYear(static_cast<int>(year))) {
                    auto compare = child(QStringLiteral("compare"), server);
                    std::printf("%-12s %-6g %9s %10s %9.1f  (%s employees, %s whose regime costs more)\n", "compare",
                                delay, qPrintable(compare[QStringLiteral("seconds")]),
                                qPrintable(compare[QStringLiteral("statements")]),
                                compare[QStringLiteral("peak_kb")].toDouble() / 1024,
                                qPrintable(compare[QStringLiteral("rows")]),
                                qPrintable(compare[QStringLiteral("costs_more")]));
                }
                if (perEmployeeDelays.contains(delay)) {
                    auto one = child(QStringLiteral("per-employee"), server);
                    std::printf("%-12s %-6g %9s %10s %9.1f\n", "per-employee", delay,
                                qPrintable(one[QStringLiteral("seconds")]),
                                qPrintable(one[QStringLiteral("statements")]),
                                one[QStringLiteral("peak_kb")].toDouble() / 1024);
                }
                std::fflush(stdout);
            }
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // A measured run: bench_batch --run sets|per-employee|screen|compare --server ADDRESS [--year FIRST].
    if ((argc == 5 || (argc == 7 && qstrcmp(argv[5], "--year") == 0)) && qstrcmp(argv[1], "--run") == 0 &&
        qstrcmp(argv[3], "--server") == 0) {
        try {
            return MeasureRun(QString::fromLatin1(argv[2]), QString::fromLatin1(argv[4]),
                              argc == 7 ? std::atoi(argv[6]) : 0, argc, argv);
        } catch (const DbError &e) {
            std::fprintf(stderr, "bench_batch: %s\n", qPrintable(e.text()));
        } catch (const std::exception &e) {
            std::fprintf(stderr, "bench_batch: %s\n", e.what());
        }
        return 1;
    }
    QCoreApplication app(argc, argv);
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Measures the batch generation over loopback and a delay proxy."));
    args.addHelpOption();
    args.addOption({QStringLiteral("employees"), QStringLiteral("Company sizes (default 2000,10000)."),
                    QStringLiteral("n,..."), QStringLiteral("2000,10000")});
    args.addOption({QStringLiteral("delays"), QStringLiteral("Round-trip times in ms (default 0,0.5,2,10)."),
                    QStringLiteral("ms,..."), QStringLiteral("0,0.5,2,10")});
    args.addOption({QStringLiteral("years"),
                    QStringLiteral("Financial years measured, by the year of their 1 April (default 2018: the demo's "
                                   "payroll history; a later year, 2025 say, gets the demo's payroll of April "
                                   "to September of the newest year given, and the new regime)."),
                    QStringLiteral("year,..."), QStringLiteral("2018")});
    args.addOption({QStringLiteral("per-employee-delays"),
                    QStringLiteral("Round-trip times at which the per-employee path is measured too (default 0,2)."),
                    QStringLiteral("ms,..."), QStringLiteral("0,2")});
    args.addOption({QStringLiteral("compare-delays"),
                    QStringLiteral("Round-trip times at which the regime comparison is measured too, in a year with "
                                   "the new regime's figures (default none)."),
                    QStringLiteral("ms,..."), QString()});
    args.process(app);
    try {
        return Drive(args);
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_batch: %s\n%s\n", qPrintable(e.text()), qPrintable(e.sql()));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_batch: %s\n", e.what());
    }
    return 1;
}
