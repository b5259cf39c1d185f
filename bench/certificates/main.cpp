// Measures the writing of the year's tax certificates of a generated company: certificates a
// second, statements a run and the run's peak memory, on loopback and through the delay proxy.
//
//   unshare -n bash -c 'ip link set lo up; scripts/dbserver.sh start /tmp/cert-db;
//                       build/bench/certificates/bench_certificates; scripts/dbserver.sh stop /tmp/cert-db'
//
// For each size the driver generates the demo company, generates its tax records of 2018-19
// (twice, so that they hold every figure), and measures every run in a process of its own
// (bench_certificates --run --server ADDRESS --folder DIR), so that each peak is the run's own.
#include "../support/BenchSupport.h"
#include "DemoData.h"
#include "reports/CertificateRun.h"
#include "session/mdlDalvoni.h"
#include "tax/IncomeTaxBatch.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <memory>
#include <sys/resource.h>

namespace {

using namespace BenchSupport;

void DemoSession(const QString &server)
{
    mdlDalvoni::ServerAddress = server;
    mdlDalvoni::Db().open(mdlDalvoni::ConnectionString(server));
    mdlDalvoni::CompanyCode = QString::fromLatin1(DemoData::kMainCompany);
    mdlDalvoni::UserId = QStringLiteral("1");
    mdlDalvoni::FinYearFrom = DemoData::HistoryYearFrom;
    mdlDalvoni::FinYearTo = mdlDalvoni::FinYearFrom.addYears(1).addDays(-1);
    mdlDalvoni::TaxYearStart = mdlDalvoni::FinYearFrom;
    mdlDalvoni::TaxYearEnd = mdlDalvoni::FinYearTo;
}

int MeasureRun(const QString &server, const QString &folder)
{
    DemoSession(server);
    DbConnection &db = mdlDalvoni::Db();
    int statements = 0;
    db.setRecorder([&](const QString &, bool) { ++statements; });
    const auto request =
        CertificateRun::SessionRequest(mdlDalvoni::TaxYearStart, mdlDalvoni::TaxYearEnd, QString(), folder);
    QElapsedTimer clock;
    clock.start();
    const CertificateRun::Result r = CertificateRun::Run(db, request);
    const double seconds = clock.nsecsElapsed() / 1e9;
    db.setRecorder({});
    qint64 bytes = 0;
    for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files))
        bytes += f.size();
    std::printf("ok=1 seconds=%.3f statements=%d selected=%d written=%d refused=%d skipped=%d peak_kb=%ld "
                "folder_kb=%lld\n",
                seconds, statements, r.selected, r.written, static_cast<int>(r.refused.size()),
                static_cast<int>(r.skipped.size()), PeakRssKb(), bytes / 1024);
    return 0;
}

int Drive(const QCommandLineParser &args)
{
    for (const double size : Numbers(args.value(QStringLiteral("employees")))) {
        {
            DbConnection db(QStringLiteral("generator"));
            db.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
            DemoOptions opt;
            opt.employees = static_cast<int>(size);
            opt.reset = true;
            const DemoSummary demo = DemoData::Generate(db, opt);
            std::printf("\n%d demo employees (generated in %.0f s)\n", demo.employees, demo.milliseconds / 1000.0);
            mdlDalvoni::Db().close();
            DemoSession(QStringLiteral("127.0.0.1"));
            RebateState state;
            const auto request =
                IncomeTaxBatch::SessionRequest(mdlDalvoni::TaxYearStart, mdlDalvoni::TaxYearEnd, QString());
            IncomeTaxBatch::Run(mdlDalvoni::Db(), request, state);
            IncomeTaxBatch::Run(mdlDalvoni::Db(), request, state);
            mdlDalvoni::Db().close();
        }
        std::printf("%-6s %9s %8s %9s %10s %9s %10s %12s\n", "rtt ms", "run s", "written", "per s", "statements",
                    "peak MB", "files MB", "not written");
        for (const double delay : Numbers(args.value(QStringLiteral("delays")))) {
            std::unique_ptr<Proxy> proxy;
            if (delay > 0)
                proxy = std::make_unique<Proxy>(delay);
            QTemporaryDir folder;
            auto r = Child({QStringLiteral("--run"), QStringLiteral("--server"),
                            delay > 0 ? QStringLiteral("127.0.0.2") : QStringLiteral("127.0.0.1"),
                            QStringLiteral("--folder"), folder.path()});
            const double seconds = r[QStringLiteral("seconds")].toDouble();
            const int written = r[QStringLiteral("written")].toInt();
            std::printf("%-6g %9.2f %8d %9.0f %10s %9.1f %10.1f %5s + %s\n", delay, seconds, written,
                        seconds > 0 ? written / seconds : 0, qPrintable(r[QStringLiteral("statements")]),
                        r[QStringLiteral("peak_kb")].toDouble() / 1024,
                        r[QStringLiteral("folder_kb")].toDouble() / 1024, qPrintable(r[QStringLiteral("refused")]),
                        qPrintable(r[QStringLiteral("skipped")]));
            std::fflush(stdout);
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("bench_certificates"));
    QCommandLineParser args;
    args.setApplicationDescription(QStringLiteral("Measures the writing of the year's tax certificates."));
    args.addHelpOption();
    args.addOption({QStringLiteral("employees"), QStringLiteral("Company sizes (default 2000,10000)."),
                    QStringLiteral("n,..."), QStringLiteral("2000,10000")});
    args.addOption({QStringLiteral("delays"), QStringLiteral("Round-trip times in ms (default 0,2)."),
                    QStringLiteral("ms,..."), QStringLiteral("0,2")});
    args.addOption({QStringLiteral("run"), QStringLiteral("A measured run (the driver starts these).")});
    args.addOption({QStringLiteral("server"), QStringLiteral("The run's server address."), QStringLiteral("address")});
    args.addOption({QStringLiteral("folder"), QStringLiteral("The run's folder."), QStringLiteral("folder")});
    args.process(app);
    try {
        if (args.isSet(QStringLiteral("run")))
            return MeasureRun(args.value(QStringLiteral("server")), args.value(QStringLiteral("folder")));
        return Drive(args);
    } catch (const DbError &e) {
        std::fprintf(stderr, "bench_certificates: %s\n", qPrintable(e.text()));
    } catch (const CertificateData::Problem &e) {
        std::fprintf(stderr, "bench_certificates: %s\n", qPrintable(e.text()));
    } catch (const CertificateRun::Error &e) {
        std::fprintf(stderr, "bench_certificates: %s\n", qPrintable(e.text()));
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_certificates: %s\n", e.what());
    }
    return 1;
}
