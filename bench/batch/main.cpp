// Measures the batch generation on a generated company over the local server: employees a
// second, peak and growing memory, the longest pause between two employees, and the time of
// the batch against a bare loop that sends the very statements the batch sent.
//
//   unshare -n bash -c 'ip link set lo up; scripts/dbserver.sh start /tmp/batch-db; build/bench/batch/bench_batch'
#include "DemoData.h"
#include "session/mdlDalvoni.h"
#include "tax/IncomeTaxBatch.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlQuery>

#include <algorithm>
#include <cstdio>
#include <malloc.h>
#include <sys/resource.h>

namespace {

struct Statement
{
    QString sql;
    bool isQuery;
};

long PeakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

long CurrentRssKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toLong() * 4 : 0;
}

struct BatchTiming
{
    double seconds = 0;
    double longestPauseMs = 0;
    long rssAtTenthKb = 0;
    long rssAtEndKb = 0;
    IncomeTaxBatch::Result result;
};

BatchTiming TimeBatch(DbConnection &db, std::vector<Statement> *record)
{
    if (record) {
        record->clear();
        db.setRecorder([record](const QString &sql, bool isQuery) { record->push_back({sql, isQuery}); });
    }
    RebateState state;
    BatchTiming t;
    QElapsedTimer clock, pause;
    const auto req = IncomeTaxBatch::SessionRequest(mdlDalvoni::TaxYearStart, mdlDalvoni::TaxYearEnd, QString());
    clock.start();
    pause.start();
    t.result = IncomeTaxBatch::Run(db, req, state, [&](const IncomeTaxBatch::Progress &p) {
        t.longestPauseMs = std::max(t.longestPauseMs, pause.nsecsElapsed() / 1e6);
        if (p.maximum >= 10 && p.value == p.maximum / 10)
            t.rssAtTenthKb = CurrentRssKb();
        QCoreApplication::processEvents();
        pause.restart();
    });
    t.seconds = clock.nsecsElapsed() / 1e9;
    t.rssAtEndKb = CurrentRssKb();
    db.setRecorder({});
    return t;
}

// The same statements in a plain loop: execute, and read every column of every row.
double TimeReplay(DbConnection &db, const std::vector<Statement> &statements)
{
    QElapsedTimer clock;
    clock.start();
    QSqlQuery q(db.database());
    q.setForwardOnly(true);
    for (const Statement &s : statements) {
        if (!q.exec(s.sql))
            throw DbError(QStringLiteral("replay failed"), s.sql);
        if (s.isQuery) {
            const int n = q.record().count();
            while (q.next())
                for (int i = 0; i < n; ++i)
                    q.value(i);
        }
        q.finish();
    }
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser args;
    args.addHelpOption();
    args.addOption({QStringLiteral("employees"), QStringLiteral("Employees to generate (default 2000)."),
                    QStringLiteral("n"), QStringLiteral("2000")});
    args.addOption({QStringLiteral("rounds"), QStringLiteral("Timed rounds of batch and replay (default 3)."),
                    QStringLiteral("n"), QStringLiteral("3")});
    args.process(app);
    const int employees = args.value(QStringLiteral("employees")).toInt();
    const int rounds = std::max(1, args.value(QStringLiteral("rounds")).toInt());

    try {
        DbConnection &db = mdlDalvoni::Db();
        db.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
        DemoOptions opt;
        opt.employees = employees;
        opt.reset = true;
        const DemoSummary demo = DemoData::Generate(db, opt);
        std::printf("generated %d employees, %d salary lines in %.1f s\n", demo.employees, demo.salaryLines,
                    demo.milliseconds / 1000.0);

        mdlDalvoni::CompanyCode = QString::fromLatin1(DemoData::kMainCompany);
        mdlDalvoni::UserId = QStringLiteral("1");
        mdlDalvoni::FinYearFrom = DemoData::DefaultYearFrom;
        mdlDalvoni::FinYearTo = DemoData::DefaultYearFrom.addYears(1).addDays(-1);
        mdlDalvoni::TaxYearStart = mdlDalvoni::FinYearFrom;
        mdlDalvoni::TaxYearEnd = mdlDalvoni::FinYearTo;

        // The first run inserts; the timed ones update the same rows, as the replay does.
        const BatchTiming first = TimeBatch(db, nullptr);
        std::printf("first run (inserts): %d selected, %d inserted, %d skipped, %.2f s, %.0f employees/s\n",
                    first.result.selected, first.result.inserted, first.result.skipped, first.seconds,
                    first.result.selected / first.seconds);

        // Timed rounds: the batch with its statements recorded, then the bare replay of them.
        std::vector<Statement> statements;
        double bestBatch = 1e9, bestReplay = 1e9;
        int selected = 0;
        for (int r = 0; r < rounds; ++r) {
            const BatchTiming t = TimeBatch(db, &statements);
            bestBatch = std::min(bestBatch, t.seconds);
            selected = t.result.selected;
            bestReplay = std::min(bestReplay, TimeReplay(db, statements));
        }
        const size_t count = statements.size();
        statements = {};

        // One more run without the recording, for memory and the pauses a screen would see.
        // The generator and the recording leave freed memory with the allocator: hand it back first.
        malloc_trim(0);
        const long before = CurrentRssKb();
        const BatchTiming plain = TimeBatch(db, nullptr);
        std::printf("update runs: %d employees, %zu statements a run (%.1f an employee)\n", selected, count,
                    double(count) / std::max(1, selected));
        std::printf("batch  best %.3f s  %.0f employees/s\n", bestBatch, selected / bestBatch);
        std::printf("replay best %.3f s\n", bestReplay);
        std::printf("ratio batch / replay: %.3f\n", bestBatch / bestReplay);
        std::printf("longest pause between two employees: %.1f ms (first run %.1f ms)\n", plain.longestPauseMs,
                    first.longestPauseMs);
        std::printf("resident memory of a plain run: %ld kB before, %ld kB at 1/10, %ld kB at the end; "
                    "peak of the process %ld kB\n",
                    before, plain.rssAtTenthKb, plain.rssAtEndKb, PeakRssKb());
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_batch: %s\n%s\n", qPrintable(e.text()), qPrintable(e.sql()));
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_batch: %s\n", e.what());
        return 1;
    }
    return 0;
}
