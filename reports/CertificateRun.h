#pragma once

// Writes the year's tax certificates of a company (or of one employee) as PDF files in a
// folder: one file per employee named by his code (SAT00005.pdf) and, for a company, one file
// of them all. Every file is written under a temporary name and takes its final name only
// when it is complete, so that a full disk or a stop leaves no half-written certificate. The
// screen (on a thread of its own) and the command-line batch both run it.

#include "CertificateData.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <stdexcept>

class DbConnection;

namespace CertificateRun {

struct Request
{
    CertificateData::Request data;
    QString folder;
    int threads = 0; // the threads that draw; 0: one a core, up to four
};

// The certificates of the session's company and financial year over a period, issued today.
Request SessionRequest(const QDate &from, const QDate &to, const QString &slno, const QString &folder);

struct Progress
{
    int done = 0;
    int total = 0;
};

// An employee whose certificate was not written, or was written with a flag.
struct Entry
{
    QString code;
    QString name;
    QString reason;
};

struct Result
{
    int selected = 0;
    int written = 0;
    QList<Entry> refused;    // figures that do not add up
    QList<Entry> skipped;    // no tax record for the period
    QList<Entry> withoutPan; // written, flagged
    bool stopped = false;    // by the user, before the end
    bool projected = false;  // months of the period remain: projected computations, not certificates
    QString folder;
    QString combinedFile; // empty when none was written
    bool act2025 = false; // Form 130: the 2025 Act's sections in the texts
};

// A run that could not write what it should; the text says why, with the system's reason.
class Error : public std::runtime_error
{
public:
    explicit Error(const QString &text) : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// Reads and writes, drawing on threads of its own and telling its progress on the caller's
// thread as certificates are written; stops between two employees once *stop is set. Throws CertificateData::Problem
// when the employer's details are missing (before anything is written), Error when the folder or a file cannot be
// written, DbError on a database failure.
Result Run(DbConnection &db, const Request &request, const std::function<void(const Progress &)> &progress = {},
           const std::atomic<bool> *stop = nullptr);

// "412 written, 3 refused, 85 skipped without a tax record; 4 without a PAN (tax at 20 % may
// be due under section 206AA)", and how the run ended.
QString SummaryText(const Result &result);
// One line per employee not written or flagged: "SAT00007 RAVI KUMAR: refused: ...".
QStringList EntryLines(const Result &result);

} // namespace CertificateRun
