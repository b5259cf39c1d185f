// itdemo: fills the suite's databases with the demo company and prints its users.
#include "DemoData.h"
#include "session/AppSettings.h"
#include "session/DbConnection.h"
#include "session/mdlDalvoni.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>

#include <stdexcept>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("itdemo"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Writes the IncomeTax demo company into the suite's databases."));
    parser.addHelpOption();
    const QCommandLineOption employeesOption({QStringLiteral("n"), QStringLiteral("employees")},
                                             QStringLiteral("Number of employees (default 500)."),
                                             QStringLiteral("count"), QStringLiteral("500"));
    const QCommandLineOption resetOption(QStringLiteral("reset"),
                                         QStringLiteral("Empty every table of both databases first."));
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("Seed of the generator (default 1)."),
                                        QStringLiteral("number"), QStringLiteral("1"));
    const QCommandLineOption serverOption(QStringLiteral("server"),
                                          QStringLiteral("Server address (default 127.0.0.1)."),
                                          QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption usersOption(QStringLiteral("users"),
                                         QStringLiteral("Only print the demo users and their passwords."));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("Only write the settings IncomeTax needs for the demo (server address and the "
                       "workstation's unit) where they are absent."));
    const QCommandLineOption todayOption(
        QStringLiteral("today"),
        QStringLiteral("The day the demo is made for (default: today): its financial year is the default, "
                       "paid from April to the last complete month."),
        QStringLiteral("yyyy-mm-dd"));
    // The current year's payroll is always written now; older scripts still pass this.
    QCommandLineOption recentOption(QStringLiteral("recent-payroll"));
    recentOption.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption highEarnersOption(
        QStringLiteral("high-earners"),
        QStringLiteral("Also eight high earners in the main company (about 60 L, 1.2 Cr, 2.5 Cr and 6 Cr a year, "
                       "four under each regime): the surcharge of both regimes at work."));
    parser.addOptions({employeesOption, resetOption, seedOption, serverOption, usersOption, settingsOption, todayOption,
                       recentOption, highEarnersOption});
    parser.process(app);

    if (parser.isSet(usersOption)) {
        out << DemoData::UsersText();
        return 0;
    }
    if (parser.isSet(settingsOption)) {
        const auto writeIfAbsent = [&](const char *section, const char *key, const QString &value) {
            const QString s = QLatin1String(section), k = QLatin1String(key);
            if (AppSettings::Get(s, k).isEmpty()) {
                AppSettings::Save(s, k, value);
                out << "Setting " << s << '/' << k << " = " << value << '\n';
            }
        };
        writeIfAbsent(AppSettings::kServerSection, AppSettings::kServerKey, parser.value(serverOption));
        writeIfAbsent(AppSettings::kWorkstationSection, AppSettings::kUnitKey,
                      QLatin1String(DemoData::kHeadOfficeUnit));
        return 0;
    }

    DemoOptions options;
    bool ok = false;
    options.employees = parser.value(employeesOption).toInt(&ok);
    if (!ok || options.employees < 0) {
        err << "itdemo: the number of employees must be a whole number of 0 or more\n";
        return 1;
    }
    options.seed = parser.value(seedOption).toUInt(&ok);
    if (!ok) {
        err << "itdemo: the seed must be a whole number of 0 or more\n";
        return 1;
    }
    options.reset = parser.isSet(resetOption);
    options.highEarners = parser.isSet(highEarnersOption);
    if (parser.isSet(todayOption)) {
        options.today = QDate::fromString(parser.value(todayOption), Qt::ISODate);
        if (!options.today.isValid()) {
            err << "itdemo: --today needs a date written yyyy-mm-dd\n";
            return 1;
        }
    }

    try {
        DbConnection &db = mdlDalvoni::Db();
        db.open(mdlDalvoni::ConnectionString(parser.value(serverOption)));
        const DemoSummary s = DemoData::Generate(db, options);
        out << QStringLiteral("Demo company written: %1 employees, %2 salary lines, %3 bonuses, %4 declarations, "
                              "%5 finalisations in %6 s.\n")
                   .arg(s.employees)
                   .arg(s.salaryLines)
                   .arg(s.bonuses)
                   .arg(s.declarations)
                   .arg(s.finalisations)
                   .arg(s.milliseconds / 1000.0, 0, 'f', 1);
        const QDate from = DemoData::DefaultYearFrom(options.today);
        out << QStringLiteral("Default financial year %1-%2, paid and finalised up to %3.\n")
                   .arg(from.year())
                   .arg((from.year() + 1) % 100, 2, 10, QLatin1Char('0'))
                   .arg(QLocale::c().toString(DemoData::LastCompleteMonth(options.today), QStringLiteral("MMMM yyyy")));
        out << DemoData::UsersText();
    } catch (const DbError &e) {
        err << "itdemo: database error: " << e.text() << '\n';
        return 1;
    } catch (const std::exception &e) {
        err << "itdemo: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
