#include "IncomeTaxBatch.h"

#include "BatchInputs.h"
#include "BatchLock.h"
#include "RegimeChoice.h"
#include "SalaryFigures.h"
#include "session/Common.h"
#include "session/DbConnection.h"
#include "session/SessionData.h"
#include "session/mdlDalvoni.h"

#include <QSysInfo>

#include <algorithm>

namespace IncomeTaxBatch {

namespace {

QString DayText(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace

Request SessionRequest(const QDate &from, const QDate &to, const QString &slno)
{
    Request r;
    r.companyCode = mdlDalvoni::CompanyCode;
    r.finYearFrom = mdlDalvoni::FinYearFrom;
    r.finYearTo = mdlDalvoni::FinYearTo;
    r.from = from;
    r.to = to;
    r.slno = slno;
    r.userId = mdlDalvoni::UserId;
    r.today = QDate::currentDate();
    r.now = QTime::currentTime();
    r.userName = mdlDalvoni::UserName;
    r.workstation = QSysInfo::machineHostName();
    return r;
}

QString CountSql(const QString &companyCode, const QString &slno)
{
    const QString comp = SqlEscape(companyCode);
    QString sql = QStringLiteral("Select count(*) as tot_count from hr_employee where comp_code='") + comp +
                  QStringLiteral("' and emp_flag=0");
    if (!slno.isEmpty())
        sql += QStringLiteral(" and emp_slno='") + SqlEscape(slno) + QStringLiteral("' and comp_code='") + comp +
               QStringLiteral("'");
    return sql;
}

QString ListSql(const QString &companyCode, const QString &slno)
{
    const QString comp = SqlEscape(companyCode);
    QString sql =
        QStringLiteral("Select * from hr_employee where comp_code='") + comp + QStringLiteral("' and emp_flag=0 ");
    if (!slno.isEmpty())
        sql += QStringLiteral(" and emp_slno='") + SqlEscape(slno) + QStringLiteral("' and comp_code='") + comp +
               QStringLiteral("'");
    return sql;
}

QString RecordSql(const QString &slno, const QDate &from, const QDate &to)
{
    return QStringLiteral("Select * from hr_it where emp_slno='") + SqlEscape(slno) +
           QStringLiteral("' and emp_it_from= '") + SqlDate(from) + QStringLiteral("' and emp_it_to='") + SqlDate(to) +
           QStringLiteral("'");
}

namespace {

using TaxRecord::Column;
using TaxRecord::Write;

// The record a run writes for an employee: the figures, the year's limits, the run's period and
// stamp, and the interest and premium the row already holds (the update writes them back).
TaxRecord::Record RecordOf(const Request &req, const QString &slno, const QString &empCode, const TaxFigures &f,
                           const TaxSettings &s, double hlInt, double mc)
{
    TaxRecord::Record r;
    r.slno = slno;
    r.empCode = empCode;
    r.companyCode = req.companyCode;
    r.from = req.from;
    r.to = req.to;
    r.figures = f;
    r.figures.declaredHlInt = hlInt;
    r.figures.declaredMc = mc;
    r.limits = s;
    r.createdBy = LeadingNumber(req.userId);
    r.createdDate = req.today;
    r.createdTime = req.now;
    return r;
}

bool Writes(Write w)
{
    return w == Write::Value || w == Write::Zero || w == Write::Kept;
}

// What a statement writes into the column for the record.
QString Written(const Column &c, Write w, const TaxRecord::Record &r)
{
    return w == Write::Zero ? QStringLiteral("0") : c.value.sql(r);
}

// "Insert into hr_it(emp_slno, emp_code,... created_time) values ".
const QString &InsertHead()
{
    static const QString head = [] {
        QString sql = QStringLiteral("Insert into hr_it(");
        for (const Column &c : TaxRecord::Columns())
            if (Writes(c.insert))
                sql += QLatin1String(c.listSep) + QLatin1String(c.name);
        return sql + QStringLiteral(") values ");
    }();
    return head;
}

// One row of the insert, "('7' , 'E007', ... '10:20:30')".
void AppendInsertValues(QString &sql, const TaxRecord::Record &r)
{
    sql += QLatin1Char('(');
    for (const Column &c : TaxRecord::Columns())
        if (Writes(c.insert))
            sql += QLatin1String(c.valueSep) + Written(c, c.insert, r);
    sql += QLatin1Char(')');
}

} // namespace

QString InsertSql(const Request &req, const QString &slno, const QString &empCode, const TaxFigures &f,
                  const TaxSettings &s)
{
    QString sql = InsertHead();
    AppendInsertValues(sql, RecordOf(req, slno, empCode, f, s, 0, 0));
    return sql;
}

QString InsertRowsSql(const Request &req, const QList<RecordRow> &rows, const TaxSettings &s)
{
    QString sql = InsertHead();
    sql.reserve(sql.size() + rows.size() * 320);
    for (int i = 0; i < rows.size(); ++i) {
        if (i > 0)
            sql += QLatin1Char(',');
        AppendInsertValues(sql, RecordOf(req, rows[i].slno, rows[i].empCode, rows[i].figures, s, 0, 0));
    }
    return sql;
}

QString UpdateSql(const Request &req, const QString &slno, const TaxFigures &f, const TaxSettings &s, double hlInt,
                  double mc)
{
    const TaxRecord::Record r = RecordOf(req, slno, QString(), f, s, hlInt, mc);
    QString sql = QStringLiteral("Update hr_it set ");
    for (const Column &c : TaxRecord::Columns())
        if (Writes(c.update))
            sql += QLatin1String(c.setSep) + QLatin1String(c.name) + QLatin1String(c.assign) + Written(c, c.update, r);
    return sql + QStringLiteral(" where emp_slno='") + SqlEscape(slno) + QStringLiteral("' and emp_it_from='") +
           SqlDate(req.from) + QStringLiteral("' and emp_it_to='") + SqlDate(req.to) + QStringLiteral("'");
}

QString UpdateRowsSql(const Request &req, const QList<RecordRow> &rows, const TaxSettings &s)
{
    // The columns each record gets its own value in, by a table of the records joined on the
    // employee: the figures, then the values kept; and the year's limits, the same for all.
    static const auto [perRecord, perRun] = [] {
        QList<const Column *> own, kept, run;
        for (const Column &c : TaxRecord::Columns()) {
            if (!Writes(c.update))
                continue;
            (c.value.perRun ? run : c.update == Write::Kept ? kept : own).append(&c);
        }
        return std::pair{own + kept, run};
    }();
    QString sql = QStringLiteral("Update (");
    sql.reserve(600 + rows.size() * 220);
    for (int i = 0; i < rows.size(); ++i) {
        const RecordRow &row = rows[i];
        const TaxRecord::Record r = RecordOf(req, row.slno, row.empCode, row.figures, s, row.hlInt, row.mc);
        const bool first = i == 0;
        const auto as = [first](const char *column) {
            return first ? QStringLiteral(" as ") + QLatin1String(column) : QString();
        };
        sql += first ? QStringLiteral("Select '") : QStringLiteral(" union all Select '");
        sql += SqlEscape(r.slno) + QLatin1Char('\'') + as("emp_slno");
        for (const Column *c : perRecord)
            sql += QLatin1Char(',') + Written(*c, c->update, r) + as(c->name);
    }
    sql += QStringLiteral(") v straight_join hr_it h on h.emp_slno=v.emp_slno set ");
    for (const Column *c : perRecord) {
        if (c != perRecord.first())
            sql += QLatin1Char(',');
        sql += QStringLiteral("h.") + QLatin1String(c->name) + QStringLiteral("=v.") + QLatin1String(c->name);
    }
    const TaxRecord::Record year = RecordOf(req, QString(), QString(), TaxFigures(), s, 0, 0);
    for (const Column *c : perRun)
        sql += QStringLiteral(",h.") + QLatin1String(c->name) + QLatin1Char('=') + Written(*c, c->update, year);
    sql += QStringLiteral(" where h.emp_it_from='") + SqlDate(req.from) + QStringLiteral("' and h.emp_it_to='") +
           SqlDate(req.to) + QLatin1Char('\'');
    return sql;
}

QString CaptionText(int value, int maximum)
{
    return QStringLiteral(" [ %1/%2]").arg(value).arg(maximum);
}

QString PercentText(int value, int maximum)
{
    // Whole percent in integers: 29 of 100 is 29, where 29 / 100 * 100 in doubles is 28.99...
    const long long pct = maximum > 0 ? static_cast<long long>(value) * 100 / maximum : 0;
    return QString::number(pct) + QStringLiteral(" %");
}

QString SummaryText(const Result &result)
{
    QString text = QStringLiteral("%1 selected, %2 inserted, %3 updated, %4 skipped without gross pay")
                       .arg(result.selected)
                       .arg(result.inserted)
                       .arg(result.updated)
                       .arg(result.skipped);
    if (result.newRegimeYear)
        text += QStringLiteral("; %1 under the new regime, %2 under the old")
                    .arg(result.newRegime)
                    .arg(result.inserted + result.updated - result.newRegime);
    return text;
}

namespace {

using ProgressFn = std::function<void(const Progress &)>;

// "E002 (serial no. 2)", the employee a message names.
QString EmployeeText(const QString &empCode, const QString &slno)
{
    return empCode + QStringLiteral(" (serial no. ") + slno + QStringLiteral(")");
}

// Counts one employee done, skipped or not, and tells the caller.
void Advance(Progress &p, const ProgressFn &progress)
{
    p.caption = CaptionText(p.value, p.maximum);
    ++p.value;
    p.percent = PercentText(p.value, p.maximum);
    if (progress)
        progress(p);
}

} // namespace

TaxRules::Context RunContext(DbConnection &db, const Request &req, RebateState &state)
{
    TaxRules::Context ctx;
    ctx.periodFrom = req.from;
    ctx.periodTo = req.to;
    ctx.finYearFrom = req.finYearFrom;
    ctx.finYearTo = req.finYearTo;
    ctx.today = req.today;
    // A year whose stored figures of either regime do not hold together is refused before
    // anything is computed, and the slabs and rebate carried from the run before stay.
    const RebateState before = state;
    ctx.settings = TaxRules::LoadYear(db, req.finYearFrom, req.finYearTo, state);
    // The new regime's figures of the year, and then, only where there are some, the employees'
    // own choices: one statement for a year without them.
    ctx.newRegime = NewRegimeSetup::Load(db, req.finYearFrom, req.finYearTo);
    ctx.oldSurcharge = NewRegimeSetup::LoadOldSurcharge(db, req.finYearFrom, req.finYearTo);
    const NewRegimeSetup::Problem problem =
        ctx.newRegime ? NewRegimeSetup::Validate(*ctx.newRegime) : NewRegimeSetup::Problem{};
    const NewRegimeSetup::Problem oldProblem = NewRegimeSetup::ValidateOldSurcharge(ctx.oldSurcharge);
    if (problem.field != NewRegimeSetup::Problem::Field::None ||
        oldProblem.field != NewRegimeSetup::Problem::Field::None) {
        state = before;
        const bool isNew = problem.field != NewRegimeSetup::Problem::Field::None;
        throw Error(QStringLiteral("The %1 regime's figures of the financial year %2 to %3 cannot be used:\n%4\n"
                                   "No tax record was changed. Please mend them in Master: Tax Regimes.")
                        .arg(isNew ? QStringLiteral("new") : QStringLiteral("old"), DayText(req.finYearFrom),
                             DayText(req.finYearTo), (isNew ? problem : oldProblem).message.trimmed()));
    }
    if (ctx.newRegime)
        ctx.regimeChoices = RegimeChoice::LoadChoices(db, req.companyCode, req.finYearFrom, req.finYearTo, req.slno);

    const QDate last = SalaryFigures::ReadLastFinalised(db, req.companyCode, req.to);
    if (!last.isValid())
        throw Error(QStringLiteral("No salary month of this company has been finalised up to %1.\n"
                                   "Income tax cannot be generated before the first payroll is finalised.")
                        .arg(DayText(req.to)));
    ctx.monthsRemaining = SalaryFigures::MonthsRemaining(last, req.to);
    if (ctx.monthsRemaining >= 12)
        throw Error(QStringLiteral("The last finalised salary month is %1, %2 months before the period end %3.\n"
                                   "The remaining salary cannot be projected over 12 months or more.")
                        .arg(DayText(last))
                        .arg(ctx.monthsRemaining)
                        .arg(DayText(req.to)));
    return ctx;
}

namespace {

// The employees one at a time, with the statements of one employee: the reference, and the
// way of a run for one employee.
void RunPerEmployee(DbConnection &db, const Request &req, const TaxRules::Context &ctx, RebateState &state,
                    Result &result, Progress &p, const ProgressFn &progress, QString &current)
{
    Recordset list = db.query(ListSql(req.companyCode, req.slno));
    while (!list.eof()) {
        const QString slno = list.text(QStringLiteral("emp_slno"));
        const QString empCode = list.text(QStringLiteral("emp_code_char")) + list.text(QStringLiteral("emp_code"));
        current = EmployeeText(empCode, slno);

        const auto figures =
            TaxRules::ComputeEmployee(db, slno, list.text(QStringLiteral("emp_unit_code")), ctx, state);
        if (!figures) {
            ++result.skipped;
        } else {
            if (figures->regime == TaxRegime::New)
                ++result.newRegime;
            // A locking read: it sees the interest and premium as a worksheet saved them during
            // the run, whatever the transaction's reads saw before, and keeps them from changing
            // until the run ends.
            Recordset rec = db.query(RecordSql(slno, req.from, req.to) + QStringLiteral(" for update"));
            if (rec.eof()) {
                rec.close();
                db.execute(InsertSql(req, slno, empCode, *figures, ctx.settings));
                ++result.inserted;
            } else {
                const double hlInt = rec.number(QStringLiteral("emp_hl_int"));
                const double mc = rec.number(QStringLiteral("emp_mc"));
                rec.close();
                db.execute(UpdateSql(req, slno, *figures, ctx.settings, hlInt, mc));
                ++result.updated;
            }
        }
        current.clear();
        Advance(p, progress);
        list.moveNext();
    }
    list.close();
}

// Sends rows with one statement; when the server refuses it, finds the first row it refuses
// on its own (halving the rows, each half one statement) and names its employee in current.
// The rows sent meanwhile go with the run's transaction.
void WriteRows(DbConnection &db, const QList<RecordRow> &rows, int perStatement,
               const std::function<QString(const QList<RecordRow> &)> &sql, QString &current)
{
    perStatement = std::max(1, perStatement);
    for (qsizetype first = 0; first < rows.size(); first += perStatement) {
        const QList<RecordRow> part = rows.mid(first, perStatement);
        try {
            db.execute(sql(part));
        } catch (const DbError &e) {
            if (e.kind() != DbError::Kind::Other)
                throw;
            QList<RecordRow> suspects = part;
            DbError blamed = e;
            while (suspects.size() > 1) {
                const QList<RecordRow> half = suspects.mid(0, suspects.size() / 2);
                try {
                    db.execute(sql(half));
                    suspects = suspects.mid(half.size());
                } catch (const DbError &again) {
                    if (again.kind() != DbError::Kind::Other)
                        throw;
                    blamed = again;
                    suspects = half;
                }
            }
            try {
                db.execute(sql(suspects));
            } catch (const DbError &alone) {
                current = EmployeeText(suspects.first().empCode, suspects.first().slno);
                throw alone;
            }
            // No row is refused on its own: the statement as a whole was.
            throw blamed;
        }
    }
}

// The company in sets of employees: each set's figures read with one statement per kind,
// computed one employee after the other in the order of the list, and written with one insert
// and one update.
void RunInSets(DbConnection &db, const Request &req, const TaxRules::Context &ctx, RebateState &state, Result &result,
               Progress &p, const ProgressFn &progress, QString &current)
{
    Recordset list = db.query(ListSql(req.companyCode, req.slno));
    QList<BatchInputs::Employee> set;
    while (!list.eof()) {
        set.clear();
        for (; !list.eof() && set.size() < std::max(1, req.employeesPerSet); list.moveNext())
            set.append({list.text(QStringLiteral("emp_slno")),
                        list.text(QStringLiteral("emp_code_char")) + list.text(QStringLiteral("emp_code")),
                        list.text(QStringLiteral("emp_unit_code"))});

        const std::vector<BatchInputs::Inputs> inputs = BatchInputs::Read(db, set, req.from, req.to);
        QList<RecordRow> inserts, updates;
        int skipped = 0;
        for (qsizetype i = 0; i < set.size(); ++i) {
            const BatchInputs::Inputs &in = inputs[i];
            const auto figures = TaxRules::Compute(in.in, TaxRules::IsMetroUnit(set[i].unitCode),
                                                   TaxRules::RegimeOf(ctx, set[i].slno), ctx, state);
            if (figures && figures->regime == TaxRegime::New)
                ++result.newRegime;
            if (!figures)
                ++skipped;
            else if (in.hasRecord)
                updates.append({set[i].slno, set[i].empCode, *figures, in.recordHlInt, in.recordMc});
            else
                inserts.append({set[i].slno, set[i].empCode, *figures, 0, 0});
        }
        WriteRows(
            db, inserts, req.rowsPerStatement,
            [&](const QList<RecordRow> &rows) { return InsertRowsSql(req, rows, ctx.settings); }, current);
        WriteRows(
            db, updates, req.rowsPerStatement,
            [&](const QList<RecordRow> &rows) { return UpdateRowsSql(req, rows, ctx.settings); }, current);
        result.inserted += static_cast<int>(inserts.size());
        result.updated += static_cast<int>(updates.size());
        result.skipped += skipped;
        for (qsizetype i = 0; i < set.size(); ++i)
            Advance(p, progress);
    }
    list.close();
}

QString BusyText(const QString &holder, int waitSeconds)
{
    QString text = QStringLiteral("Income tax of this company is being generated by another run");
    text += holder.isEmpty() ? QStringLiteral(".") : QStringLiteral(":\n") + holder + QLatin1Char('.');
    return text + QStringLiteral("\nThis run waited %1 second%2 for it and has changed nothing. Please generate "
                                 "again when that run has finished.")
                      .arg(waitSeconds)
                      .arg(waitSeconds == 1 ? "" : "s");
}

QString Times(int n)
{
    return n == 1 ? QStringLiteral("once") : QStringLiteral("%1 times").arg(n);
}

// "the table hr_it", the tables of the statement the server undid.
QString TablesOf(const DbError &e)
{
    const QStringList tables = StatementTables(e.sql());
    if (tables.isEmpty())
        return QStringLiteral("the tax records");
    return (tables.size() == 1 ? QStringLiteral("the table ") : QStringLiteral("the tables ")) +
           tables.join(QStringLiteral(", "));
}

// Why the server undid the run, and what that means for the clerk, after the last attempt.
QString CollisionText(DbConnection &db, const DbError &e, int attempts, int lockWaitSeconds)
{
    const QString stored = QStringLiteral("\nNo tax record was changed: the server undid all this run had written.");
    if (e.isDeadlock())
        return QStringLiteral("Income tax could not be generated: %1 this run and other work on %2 at the same moment "
                              "waited for each other (a deadlock), and the database server undid this run.")
                   .arg(Times(attempts), TablesOf(e)) +
               stored + QStringLiteral("\nPlease generate again in a minute.");
    if (e.isDuplicateKey())
        return QStringLiteral("Income tax could not be generated: %1, while this run was storing the tax records, "
                              "another workstation or program stored a record of the same employee and period first.")
                   .arg(Times(attempts)) +
               stored + QStringLiteral("\nPlease generate again.");
    const QString holder = LockHolderText(db);
    return QStringLiteral("Income tax could not be generated: %1 is in use by another user or program%2, and this run "
                          "waited %3 second%4 for it, %5.")
               .arg(TablesOf(e), holder.isEmpty() ? QString() : QStringLiteral(" (") + holder + QLatin1Char(')'))
               .arg(lockWaitSeconds)
               .arg(lockWaitSeconds == 1 ? "" : "s", Times(attempts)) +
           stored + QStringLiteral("\nPlease generate again when that work has finished.");
}

// What the screen and itbatch are told while a run that collided waits to run again.
QString RetryNote(const DbError &e, int attempt, int attempts, int pauseMs)
{
    const QString why = e.isDeadlock()       ? QStringLiteral("other work on %1 got in its way (a deadlock)")
                        : e.isDuplicateKey() ? QStringLiteral("a record it was storing was stored meanwhile by "
                                                              "another workstation or program")
                                             : QStringLiteral("%1 stayed in use by another user or program");
    return QStringLiteral("The database server undid the run: %1. Generating again in %2 s (attempt %3 of %4).")
        .arg(why.contains(QLatin1String("%1")) ? why.arg(TablesOf(e)) : why)
        .arg(QString::number(pauseMs / 1000.0, 'f', 1))
        .arg(attempt)
        .arg(attempts);
}

// One attempt of the run, in a transaction of its own.
Result Attempt(DbConnection &db, const Request &req, const BatchLock::Guard &lock, RebateState &state,
               const ProgressFn &progress, QString &current, bool &committing)
{
    Result result;
    // The run's locking reads then lock the records they find and no gap beside them: runs of
    // other companies storing their first records of a year (into the same gaps of the key)
    // no longer wait for each other or meet in deadlocks. The run's own records are kept from
    // other runs by the company's run lock, and from other programs by the locks and the key.
    if (db.mayReadCommitted())
        db.execute(QStringLiteral("SET TRANSACTION ISOLATION LEVEL READ COMMITTED"));
    Transaction transaction(db);
    if (!lock.held())
        throw Error(QStringLiteral("The connection to the database server was lost as the run began.\n"
                                   "Nothing was changed. Please generate again."));

    const TaxRules::Context ctx = RunContext(db, req, state);
    result.newRegimeYear = ctx.newRegime.has_value();
    const QString total = QueryFirstValue(db, CountSql(req.companyCode, req.slno));
    result.selected = static_cast<int>(LeadingNumber(total));
    Progress p;
    p.maximum = result.selected;
    p.percent = QStringLiteral("0%");
    if (progress)
        progress(p);

    if (req.slno.isEmpty() && !req.perEmployee)
        RunInSets(db, req, ctx, state, result, p, progress, current);
    else
        RunPerEmployee(db, req, ctx, state, result, p, progress, current);
    committing = true;
    transaction.commit();
    return result;
}

} // namespace

Result Run(DbConnection &db, const Request &typed, RebateState &state, const ProgressFn &progress)
{
    Result result;
    QString current; // the employee whose record the server refused, for the message
    bool committing = false;
    int attempts = 1;
    try {
        // Every statement of the run, the lock and the run's row take the code as the master
        // holds it: the server finds "c01" as C01, but the lock's name and a hash would not.
        const std::optional<SessionData::Company> company = SessionData::FindCompany(db, typed.companyCode);
        if (!company)
            throw Error(QStringLiteral("No company with the code \"%1\" is in the company master.\n"
                                       "Nothing was generated.")
                            .arg(typed.companyCode),
                        Error::Kind::UnknownCompany);
        Request req = typed;
        req.companyCode = company->code;

        const BatchLock::Owner owner{req.companyCode, req.userId, req.userName, req.workstation, req.from, req.to};
        const auto waiting = [&](const QString &holder) {
            Progress note;
            note.note = QStringLiteral("Waiting up to %1 seconds for another run of this company to finish%2.")
                            .arg(req.lockWaitSeconds)
                            .arg(holder.isEmpty() ? QString() : QStringLiteral(": ") + holder);
            if (progress)
                progress(note);
        };
        BatchLock::Guard lock(db, owner, req.lockWaitSeconds, waiting);
        if (!lock.taken())
            throw Error(BusyText(BatchLock::DescribeHolder(db, req.companyCode), req.lockWaitSeconds),
                        Error::Kind::Busy);

        // A run the server undid starts again from the slabs and rebate it started with.
        const RebateState before = state;
        RetryOnCollision(
            req.retry,
            [&] {
                state = before;
                current.clear();
                committing = false;
                result = Attempt(db, req, lock, state, progress, current, committing);
            },
            [&](const DbError &e, int next, int ofAttempts, int pauseMs) {
                attempts = next;
                if (progress) {
                    Progress note;
                    note.note = RetryNote(e, next, ofAttempts, pauseMs);
                    progress(note);
                }
            });
        result.companyCode = req.companyCode;
        result.attempts = attempts;
    } catch (const DbError &e) {
        if (committing)
            throw Error(QStringLiteral("Income tax was generated, but the database server did not confirm that "
                                       "the records were stored.\nPlease generate again to be sure.\n%1")
                            .arg(e.text()));
        if (e.kind() == DbError::Kind::ConnectionLost)
            throw Error(QStringLiteral("Income tax could not be generated: the connection to the database server was "
                                       "lost during the run.\nThe server undoes a run that breaks off: no tax record "
                                       "was changed. Please generate again when the server can be reached.\n%1")
                            .arg(e.text()));
        if (e.kind() == DbError::Kind::Busy || e.isDuplicateKey())
            throw Error(CollisionText(db, e, attempts, db.limits().lockWaitSeconds));
        if (current.isEmpty() || e.kind() != DbError::Kind::Other)
            throw Error(
                QStringLiteral("Income tax could not be generated.\nNo tax record was changed.\n%1").arg(e.text()));
        throw Error(QStringLiteral("Income tax could not be generated for employee %1.\n"
                                   "No tax record was changed: what this run had written has been undone.\n%2")
                        .arg(current, e.text()));
    }
    return result;
}

} // namespace IncomeTaxBatch
