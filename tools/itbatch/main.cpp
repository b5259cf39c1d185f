// itbatch: generates the tax records of a company's employees (or of one) for a period, with
// the same rules and statements as the "Generate Income Tax" screen; writes their tax
// certificates from the stored records, as the "Tax Certificates" screen does; or, with
// --compare-regimes, prints the company's regime comparison as CSV and writes nothing.
#include "reports/CertificateRun.h"
#include "session/AppSettings.h"
#include "session/Common.h"
#include "session/LoginCheck.h"
#include "session/SessionData.h"
#include "session/Startup.h"
#include "session/mdlDalvoni.h"
#include "tax/IncomeTaxBatch.h"
#include "tax/RegimeComparison.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <termios.h>
#include <unistd.h>

using namespace mdlDalvoni;

namespace {

// A failure that ends the program with a message and an exit code.
struct Stop
{
    QString text;
    int code;
};

QString ReadPassword()
{
    const QByteArray fromEnv = qgetenv("INCOMETAX_PASSWORD");
    if (!fromEnv.isNull())
        return QString::fromLocal8Bit(fromEnv);
    if (!isatty(STDIN_FILENO))
        throw Stop{QStringLiteral("No password: set INCOMETAX_PASSWORD or run from a terminal."), 2};
    std::fprintf(stderr, "Password: ");
    std::fflush(stderr);
    termios saved{};
    tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    std::string line;
    std::getline(std::cin, line);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fprintf(stderr, "\n");
    return QString::fromLocal8Bit(line.c_str());
}

QDate DateOption(const QCommandLineParser &args, const QString &name)
{
    const QDate d = QDate::fromString(args.value(name), QStringLiteral("yyyy-MM-dd"));
    if (!d.isValid())
        throw Stop{QStringLiteral("--%1: not a date (yyyy-mm-dd): %2").arg(name, args.value(name)), 1};
    return d;
}

// The certificates of each period from the stored records: one line per employee not written
// (or written without a PAN) and a summary; 0 only when every employee selected was written.
int WriteCertificates(const QCommandLineParser &args, const QList<std::pair<QDate, QDate>> &periods)
{
    if (args.isSet(QStringLiteral("per-employee")))
        throw Stop{QStringLiteral("--per-employee belongs to the generation of records, not to --certificates."), 1};
    const bool terminal = isatty(STDERR_FILENO);
    bool allWritten = true;
    for (const auto &[from, to] : periods) {
        const auto request = CertificateRun::SessionRequest(from, to, args.value(QStringLiteral("employee")),
                                                            args.value(QStringLiteral("certificates")));
        CertificateRun::Result r;
        try {
            r = CertificateRun::Run(Db(), request, [terminal](const CertificateRun::Progress &p) {
                if (terminal && p.done > 0)
                    std::fprintf(stderr, "\r%d/%d", p.done, p.total);
            });
        } catch (const CertificateData::Problem &e) {
            throw Stop{e.text(), 4};
        } catch (const CertificateRun::Error &e) {
            if (terminal)
                std::fprintf(stderr, "\n");
            throw Stop{e.text(), 4};
        }
        if (terminal)
            std::fprintf(stderr, "\n");
        for (const QString &line : CertificateRun::EntryLines(r))
            std::printf("%s\n", qPrintable(line));
        std::printf("%s %s to %s: certificates in %s: %s\n", qPrintable(CompanyCode), qPrintable(SqlDate(from)),
                    qPrintable(SqlDate(to)), qPrintable(QDir::toNativeSeparators(r.folder)),
                    qPrintable(CertificateRun::SummaryText(r)));
        std::fflush(stdout);
        allWritten = allWritten && r.written == r.selected;
    }
    return allWritten ? 0 : 6;
}

int Run(const QCommandLineParser &args)
{
    if (!args.isSet(QStringLiteral("company")))
        throw Stop{QStringLiteral("--company is required (see --help)."), 1};

    ServerAddress = AppSettings::Get(QString::fromLatin1(AppSettings::kServerSection),
                                     QString::fromLatin1(AppSettings::kServerKey));
    try {
        Db().open(ConnectionString(ServerAddress));
    } catch (const DbError &e) {
        throw Stop{QStringLiteral("Cannot connect to the server \"%1\": %2").arg(ServerAddress, e.text()), 2};
    }

    // The workstation's unit as the program takes it (the first unit when none is set).
    const QString unitProblem = Startup::UseWorkstationUnit(Db());
    if (!unitProblem.isEmpty())
        throw Stop{unitProblem.simplified(), 2};

    QString user = args.value(QStringLiteral("user"));
    if (user.isEmpty())
        user = AppSettings::Get(QString::fromLatin1(AppSettings::kLoginSection),
                                QString::fromLatin1(AppSettings::kLoginKey));
    if (user.trimmed().isEmpty())
        throw Stop{QStringLiteral("No user name: give --user."), 1};
    const LoginCheck::Result login = LoginCheck::Check(Db(), user, ReadPassword(), false);
    if (login.outcome != LoginCheck::Outcome::Admitted)
        throw Stop{login.message.trimmed(), 3};

    // The company as the master holds its code ("c01" is C01), for the summary; the run itself
    // looks it up once more as it starts.
    const auto company = SessionData::FindCompany(Db(), args.value(QStringLiteral("company")));
    if (!company)
        throw Stop{QStringLiteral("No company with the code \"%1\".").arg(args.value(QStringLiteral("company"))), 2};
    CompanyCode = company->code;
    CompanyName = company->name;

    const bool yearFound = args.isSet(QStringLiteral("year"))
                               ? SessionData::UseYearOf(Db(), SessionData::FinYearStartingQuery(
                                                                  UnitCode, DateOption(args, QStringLiteral("year"))))
                               : SessionData::UseDefaultYear(Db());
    if (!yearFound)
        throw Stop{args.isSet(QStringLiteral("year"))
                       ? QStringLiteral("Unit %1 has no financial year starting %2.").arg(UnitCode, args.value("year"))
                       : QStringLiteral("Unit %1 has no default financial year; give --year.").arg(UnitCode),
                   2};

    // The periods of the runs, one after the other, as on one open screen.
    QList<std::pair<QDate, QDate>> periods;
    if (args.isSet(QStringLiteral("period"))) {
        if (args.isSet(QStringLiteral("from")) || args.isSet(QStringLiteral("to")))
            throw Stop{QStringLiteral("Give either --period or --from and --to."), 1};
        for (const QString &p : args.values(QStringLiteral("period"))) {
            const QStringList ends = p.split(QLatin1Char(':'));
            const QDate from = QDate::fromString(ends.value(0), QStringLiteral("yyyy-MM-dd"));
            const QDate to = QDate::fromString(ends.value(1), QStringLiteral("yyyy-MM-dd"));
            if (ends.size() != 2 || !from.isValid() || !to.isValid())
                throw Stop{QStringLiteral("--period: not two dates (yyyy-mm-dd:yyyy-mm-dd): %1").arg(p), 1};
            periods.append({from, to});
        }
    } else {
        periods.append({args.isSet(QStringLiteral("from")) ? DateOption(args, QStringLiteral("from")) : TaxYearStart,
                        args.isSet(QStringLiteral("to")) ? DateOption(args, QStringLiteral("to")) : TaxYearEnd});
    }
    for (const auto &[from, to] : periods)
        if (!from.isValid() || !to.isValid() || from > to)
            throw Stop{QStringLiteral("The period %1 to %2 is not valid.").arg(SqlDate(from), SqlDate(to)), 1};

    if (args.isSet(QStringLiteral("certificates")))
        return WriteCertificates(args, periods);

    int wait = 5;
    if (args.isSet(QStringLiteral("wait"))) {
        bool ok = false;
        wait = args.value(QStringLiteral("wait")).toInt(&ok);
        if (!ok || wait < 0)
            throw Stop{QStringLiteral("--wait: not a number of seconds: %1").arg(args.value("wait")), 1};
    }

    const bool terminal = isatty(STDERR_FILENO);
    if (args.isSet(QStringLiteral("compare-regimes"))) {
        if (periods.size() != 1)
            throw Stop{QStringLiteral("--compare-regimes takes one period."), 1};
        const auto request =
            IncomeTaxBatch::SessionRequest(periods[0].first, periods[0].second, args.value(QStringLiteral("employee")));
        QList<RegimeComparison::Row> rows;
        try {
            rows = RegimeComparison::Read(Db(), request, [terminal](int done, int total) {
                if (terminal)
                    std::fprintf(stderr, "\r%d/%d", done, total);
            });
        } catch (const IncomeTaxBatch::Error &e) {
            throw Stop{e.text(), 4};
        }
        if (terminal)
            std::fprintf(stderr, "\n");
        std::fputs(RegimeComparison::Csv(rows).toUtf8().constData(), stdout);
        std::fflush(stdout);
        return 0;
    }

    // The slabs and rebate carry from one run to the next, as on one open screen.
    RebateState state;
    for (const auto &[from, to] : periods) {
        auto request = IncomeTaxBatch::SessionRequest(from, to, args.value(QStringLiteral("employee")));
        request.perEmployee = args.isSet(QStringLiteral("per-employee"));
        request.lockWaitSeconds = wait;
        IncomeTaxBatch::Result r;
        try {
            r = IncomeTaxBatch::Run(Db(), request, state, [terminal](const IncomeTaxBatch::Progress &p) {
                if (!p.note.isEmpty())
                    std::fprintf(stderr, "%s\n", qPrintable(p.note));
                else if (terminal && p.value > 0)
                    std::fprintf(stderr, "\r%s %s", qPrintable(IncomeTaxBatch::CaptionText(p.value, p.maximum)),
                                 qPrintable(p.percent));
            });
        } catch (const IncomeTaxBatch::Error &e) {
            if (terminal)
                std::fprintf(stderr, "\n");
            const IncomeTaxBatch::Error::Kind kind = e.kind();
            throw Stop{e.text(), kind == IncomeTaxBatch::Error::Kind::Busy             ? 5
                                 : kind == IncomeTaxBatch::Error::Kind::UnknownCompany ? 2
                                                                                       : 4};
        }
        if (terminal)
            std::fprintf(stderr, "\n");
        std::printf("%s %s to %s: %s\n", qPrintable(CompanyCode), qPrintable(SqlDate(from)), qPrintable(SqlDate(to)),
                    qPrintable(IncomeTaxBatch::SummaryText(r)));
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // Certificates are drawn with fonts, which need Qt Gui: without a display, off screen.
    bool certificates = false;
    for (int i = 1; i < argc; ++i)
        certificates = certificates || QByteArray(argv[i]).startsWith("--certificates");
    if (certificates && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> application;
    if (certificates)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("itbatch"));
    QCoreApplication::setApplicationVersion(QLatin1String(kProgramVersion));
    QCommandLineParser args;
    args.setApplicationDescription(
        QStringLiteral("Generates the income-tax records of a company's employees for a period, as the "
                       "\"Generate Income Tax\" screen does, or writes their tax certificates "
                       "(--certificates).\nServer and unit come from the settings of IncomeTax; "
                       "the password from INCOMETAX_PASSWORD or a prompt."));
    args.addHelpOption();
    args.addVersionOption();
    args.addOptions({
        {QStringLiteral("company"), QStringLiteral("Company code (required)."), QStringLiteral("code")},
        {QStringLiteral("user"), QStringLiteral("Login name (default: the last login of IncomeTax)."),
         QStringLiteral("name")},
        {QStringLiteral("year"), QStringLiteral("Financial year by its start date (default: the unit's default)."),
         QStringLiteral("yyyy-mm-dd")},
        {QStringLiteral("from"), QStringLiteral("Period start (default: the tax year's)."),
         QStringLiteral("yyyy-mm-dd")},
        {QStringLiteral("to"), QStringLiteral("Period end (default: the tax year's)."), QStringLiteral("yyyy-mm-dd")},
        {QStringLiteral("period"),
         QStringLiteral("A run over this period; repeat it for several runs one after the other, the slabs and "
                        "rebate carrying from run to run as on one open screen."),
         QStringLiteral("yyyy-mm-dd:yyyy-mm-dd")},
        {QStringLiteral("employee"), QStringLiteral("Only the employee with this serial number."),
         QStringLiteral("slno")},
        {QStringLiteral("per-employee"),
         QStringLiteral("Read and write the whole company one employee at a time, with the statements of a run "
                        "for one employee, instead of in sets.")},
        {QStringLiteral("compare-regimes"),
         QStringLiteral("Write nothing: print the tax payable under each regime of every in-service employee "
                        "as CSV (code,name,regime,old_payable,new_payable,saving,costs_more,choice,paid).")},
        {QStringLiteral("wait"),
         QStringLiteral("Seconds to wait for a run of the same company on another workstation (default 5); exit "
                        "code 5 when it is still running then."),
         QStringLiteral("seconds")},
        {QStringLiteral("certificates"),
         QStringLiteral("Write the tax certificates of the period from the stored records into this folder (one PDF "
                        "per employee, named by his code, and one of them all) instead of generating records; exit "
                        "code 6 when an employee selected was not written."),
         QStringLiteral("folder")},
    });
    args.process(app);
    try {
        return Run(args);
    } catch (const Stop &s) {
        std::fprintf(stderr, "itbatch: %s\n", qPrintable(s.text));
        return s.code;
    } catch (const DbError &e) {
        std::fprintf(stderr, "itbatch: database error: %s\n", qPrintable(e.text()));
        return 2;
    }
}
