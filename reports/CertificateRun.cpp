#include "CertificateRun.h"

#include "CertificatePdf.h"
#include "PdfCopy.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace CertificateRun {

namespace {

QString Native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The folder, made when missing, and known to take files.
QString UsableFolder(const QString &folder)
{
    if (folder.trimmed().isEmpty())
        throw Error(QStringLiteral("No certificate was written: no folder was given for them."));
    const QString path = QFileInfo(folder).absoluteFilePath();
    errno = 0;
    if (!QDir().mkpath(path))
        throw Error(QStringLiteral("No certificate was written: the folder %1 could not be made (%2).")
                        .arg(Native(path), qt_error_string(errno ? errno : EACCES)));
    QTemporaryFile probe(path + QStringLiteral("/.incometax-XXXXXX"));
    if (!probe.open())
        throw Error(QStringLiteral("No certificate was written: the folder %1 cannot be written (%2).")
                        .arg(Native(path), probe.errorString()));
    return path;
}

// Every certificate is drawn once, into a drawing of a few dozen employees (a temporary PDF
// file in the folder, whose fonts are made once for all of them); each employee's file is then
// cut out of it and its pages are added to the file of them all, both as bytes (PdfCopy). The
// drawings are made on every core but one the coordinator keeps for reading and the file of
// them all; the fewer employees a drawing holds, the more often the fonts are made, the more
// a drawing holds, the longer a stop waits and the more glyphs an employee's file carries.
constexpr int kPerDrawing = 64;

// One certificate to draw and its file.
struct Job
{
    const CertificateData::Prepared *prepared = nullptr;
    QString fileName; // the employee's file in the folder
    int firstPage = 0, pages = 0;
    bool projected = false;
    bool written = false;
};

// The certificates of consecutive employees drawn into one temporary file.
struct Drawing
{
    enum class State { Waiting, Working, Finished, Abandoned };
    std::shared_ptr<const std::vector<CertificateData::Prepared>> set; // keeps the prepared figures alive
    std::vector<Job> jobs;
    std::unique_ptr<QTemporaryFile> file;
    State state = State::Waiting;
};

[[noreturn]] void WriteFailed(const QString &path, const QString &reason)
{
    throw Error(QStringLiteral("The certificate file %1 could not be written (%2).").arg(Native(path), reason));
}

// What the coordinator and the drawers share.
class Drawers
{
public:
    Drawers(const QDir &folder, const std::atomic<bool> *stop, int threads) : m_folder(folder), m_stop(stop)
    {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this] { work(); });
    }
    // Stops the drawers (abandoning what they are on when the run has not come to its end) and
    // waits for them.
    ~Drawers()
    {
        {
            std::lock_guard lock(m_mutex);
            m_closing = true;
            if (!m_ended)
                m_failed = true;
        }
        m_failedFlag = m_failed;
        m_wake.notify_all();
        for (std::thread &t : m_threads)
            t.join();
    }

    void add(std::shared_ptr<Drawing> drawing)
    {
        {
            std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(drawing));
        }
        m_wake.notify_all();
    }
    // Waits until `drawing` is finished or abandoned, or `timeout` has passed; true when it is.
    bool waitFor(const Drawing &drawing, std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(m_mutex);
        return m_done.wait_for(lock, timeout, [&] {
            return drawing.state == Drawing::State::Finished || drawing.state == Drawing::State::Abandoned;
        });
    }
    // The first failure of a drawer, empty when none.
    QString failure()
    {
        std::lock_guard lock(m_mutex);
        return m_failure;
    }
    void ended()
    {
        std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    int written() const { return m_written.load(); }

private:
    bool stopping() const { return (m_stop && m_stop->load()) || m_failedFlag.load(); }

    void work()
    {
        for (;;) {
            std::shared_ptr<Drawing> d;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return m_closing || !m_queue.empty(); });
                if (m_queue.empty() || (m_closing && m_failed))
                    return;
                d = std::move(m_queue.front());
                m_queue.pop_front();
                d->state = Drawing::State::Working;
            }
            bool complete = false;
            try {
                complete = !stopping() && draw(*d) && cut(*d);
            } catch (const Error &e) {
                fail(e.text());
            } catch (const PdfCopy::Error &e) {
                fail(QStringLiteral("The certificates could not be written (%1).").arg(e.text()));
            }
            {
                std::lock_guard lock(m_mutex);
                d->state = complete ? Drawing::State::Finished : Drawing::State::Abandoned;
            }
            m_done.notify_all();
        }
    }
    void fail(const QString &text)
    {
        std::lock_guard lock(m_mutex);
        if (m_failure.isEmpty())
            m_failure = text;
        m_failed = true;
        m_failedFlag = true;
    }

    // Draws the drawing's certificates one after another; false when stopped.
    bool draw(Drawing &d)
    {
        d.file = std::make_unique<QTemporaryFile>(m_folder.filePath(QStringLiteral(".incometax-XXXXXX.pdf")));
        if (!d.file->open())
            WriteFailed(d.file->fileTemplate(), d.file->errorString());
        QPdfWriter writer(d.file.get());
        CertificatePdf::Setup(writer, QStringLiteral("IncomeTax"));
        QPainter painter;
        int pages = 0;
        for (Job &job : d.jobs) {
            if (stopping())
                return false;
            const Certificate::Document document = Certificate::Build(job.prepared->inputs);
            job.projected = document.projected;
            if (pages == 0) {
                if (!painter.begin(&writer))
                    WriteFailed(d.file->fileName(), QStringLiteral("no PDF writer"));
            } else {
                writer.newPage();
            }
            job.firstPage = pages;
            job.pages = CertificatePdf::Draw(painter, writer, document);
            pages += job.pages;
        }
        painter.end();
        if (!d.file->flush() || d.file->error() != QFileDevice::NoError)
            WriteFailed(d.file->fileName(), d.file->errorString());
        return true;
    }
    // Each employee's own file, cut out of the drawing; false when stopped.
    bool cut(Drawing &d)
    {
        const PdfCopy::Source source(d.file->fileName());
        for (Job &job : d.jobs) {
            if (stopping())
                return false;
            const Certificate::Employee &e = job.prepared->employee;
            const QString path = m_folder.filePath(job.fileName);
            QSaveFile file(path);
            if (!file.open(QIODevice::WriteOnly))
                WriteFailed(path, file.errorString());
            PdfCopy::Writer writer(file, e.code + QLatin1Char(' ') + e.name);
            writer.addPages(source, job.firstPage, job.pages);
            try {
                writer.finish();
            } catch (const PdfCopy::Error &) {
                WriteFailed(path, file.errorString());
            }
            if (!file.commit())
                WriteFailed(path, file.errorString());
            job.written = true;
            ++m_written;
        }
        return true;
    }

    const QDir m_folder;
    const std::atomic<bool> *m_stop;
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    std::deque<std::shared_ptr<Drawing>> m_queue;
    bool m_closing = false, m_failed = false, m_ended = false;
    std::atomic<bool> m_failedFlag{false};
    QString m_failure;
    std::atomic<int> m_written{0};
    std::vector<std::thread> m_threads;
};

// The file of them all: the pages of every finished drawing, in the order of the employees.
struct CombinedFile
{
    QSaveFile file;
    std::unique_ptr<PdfCopy::Writer> writer;

    CombinedFile(const QString &path, const QString &title) : file(path)
    {
        if (!file.open(QIODevice::WriteOnly))
            WriteFailed(path, file.errorString());
        writer = std::make_unique<PdfCopy::Writer>(file, title);
    }
    void add(const Drawing &d)
    {
        try {
            writer->addPages(PdfCopy::Source(d.file->fileName()), 0, d.jobs.back().firstPage + d.jobs.back().pages);
        } catch (const PdfCopy::Error &e) {
            throw Error(QStringLiteral("The certificates could not be written (%1).").arg(e.text()));
        }
    }
    // Completes the file and gives it its final name.
    void finish()
    {
        try {
            writer->finish();
        } catch (const PdfCopy::Error &) {
            WriteFailed(file.fileName(), file.errorString());
        }
        if (!file.commit())
            WriteFailed(file.fileName(), file.errorString());
    }
};

} // namespace

Request SessionRequest(const QDate &from, const QDate &to, const QString &slno, const QString &folder)
{
    Request r;
    r.data.companyCode = mdlDalvoni::CompanyCode;
    r.data.slno = slno;
    r.data.finYearFrom = mdlDalvoni::FinYearFrom;
    r.data.finYearTo = mdlDalvoni::FinYearTo;
    r.data.from = from;
    r.data.to = to;
    r.data.issued = QDate::currentDate();
    r.folder = folder;
    return r;
}

Result Run(DbConnection &db, const Request &request, const std::function<void(const Progress &)> &progress,
           const std::atomic<bool> *stop)
{
    const CertificateData::Context context = CertificateData::Load(db, request.data);
    Result result;
    result.folder = UsableFolder(request.folder);
    result.selected = static_cast<int>(context.employees.size());
    result.act2025 = Certificate::FormOf(request.data.finYearFrom) == Certificate::Form::Form130;
    const QDir folder(result.folder);
    if (progress)
        progress({0, result.selected});

    // A company's run also gathers every certificate in one file.
    std::unique_ptr<CombinedFile> combined;
    const QString combinedName =
        Certificate::CombinedFileName(request.data.companyCode, request.data.from, request.data.to);
    if (request.data.slno.isEmpty())
        combined = std::make_unique<CombinedFile>(folder.filePath(combinedName), context.companyName);

    const int perSet = std::max(1, request.data.employeesPerSet);
    const int threads = request.threads > 0 ? request.threads : std::clamp(QThread::idealThreadCount(), 1, 4);
    Drawers drawers(folder, stop, threads);
    std::deque<std::shared_ptr<Drawing>> order; // drawn, or being drawn, not yet in the file of them all
    QSet<QString> names{combinedName};
    int first = 0;   // the next employee to read
    int settled = 0; // employees skipped, refused, or in drawings taken off `order`
    int pending = 0; // employees in `order`
    int told = -1;
    const auto stopped = [&] { return stop && stop->load(); };
    for (;;) {
        // Reads the next set while the drawers still have the last one's to do.
        if (first < result.selected && pending < perSet && !stopped()) {
            const int count = std::min(perSet, result.selected - first);
            auto set = std::make_shared<const std::vector<CertificateData::Prepared>>(
                CertificateData::ReadSet(db, context, first, count));
            first += count;
            std::shared_ptr<Drawing> drawing;
            for (const CertificateData::Prepared &p : *set) {
                const Entry entry{p.employee.code, p.employee.name, p.reason};
                if (p.status == CertificateData::Prepared::Status::NoRecord) {
                    result.skipped.append({entry.code, entry.name, QStringLiteral("no tax record for the period")});
                    ++settled;
                    continue;
                }
                if (p.status == CertificateData::Prepared::Status::Refused) {
                    result.refused.append(entry);
                    ++settled;
                    continue;
                }
                // Two employees with the same code get files of their own.
                QString name = Certificate::FileName(p.employee.code);
                if (names.contains(name))
                    name = Certificate::FileName(p.employee.code + QLatin1Char('_') + p.employee.slno);
                names.insert(name);
                if (!drawing) {
                    drawing = std::make_shared<Drawing>();
                    drawing->set = set;
                }
                drawing->jobs.push_back({&p, name});
                if (static_cast<int>(drawing->jobs.size()) == kPerDrawing) {
                    pending += kPerDrawing;
                    order.push_back(drawing);
                    drawers.add(std::exchange(drawing, nullptr));
                }
            }
            if (drawing) {
                pending += static_cast<int>(drawing->jobs.size());
                order.push_back(drawing);
                drawers.add(std::move(drawing));
            }
            continue;
        }
        if (order.empty())
            break;
        // The first drawing not yet in the file of them all: its certificates, then its pages.
        const std::shared_ptr<Drawing> front = order.front();
        if (drawers.waitFor(*front, std::chrono::milliseconds(40))) {
            if (const QString failure = drawers.failure(); !failure.isEmpty())
                throw Error(failure);
            for (const Job &job : front->jobs) {
                if (!job.written)
                    continue;
                ++result.written;
                result.projected = result.projected || job.projected;
                if (job.prepared->employee.pan.isEmpty())
                    result.withoutPan.append(
                        {job.prepared->employee.code, job.prepared->employee.name, QStringLiteral("no PAN")});
            }
            if (front->state != Drawing::State::Finished)
                result.stopped = true;
            else if (combined && !stopped())
                combined->add(*front);
            pending -= static_cast<int>(front->jobs.size());
            settled += static_cast<int>(front->jobs.size());
            order.pop_front();
        }
        const int done = std::min(result.selected, settled + drawers.written() - result.written);
        if (progress && done != told)
            progress({done, result.selected});
        told = done;
    }
    drawers.ended();
    if (const QString failure = drawers.failure(); !failure.isEmpty())
        throw Error(failure);
    result.stopped = result.stopped || (stopped() && first < result.selected);
    if (combined && !result.stopped && result.written > 0) {
        combined->finish();
        result.combinedFile = folder.filePath(combinedName);
    }
    // Otherwise the file of them all is dropped with its temporary name.
    if (progress && !result.stopped && told != result.selected)
        progress({result.selected, result.selected});
    return result;
}

QString SummaryText(const Result &r)
{
    QString text = QStringLiteral("%1 of %2 written, %3 refused, %4 skipped without a tax record")
                       .arg(r.written)
                       .arg(r.selected)
                       .arg(r.refused.size())
                       .arg(r.skipped.size());
    if (!r.withoutPan.isEmpty())
        text += QStringLiteral("; %1 without a PAN (tax at 20 % may be due under %2)")
                    .arg(r.withoutPan.size())
                    .arg(r.act2025 ? QStringLiteral("the Income-tax Act, 2025, formerly section 206AA")
                                   : QStringLiteral("section 206AA"));
    if (r.projected)
        text += QStringLiteral("; months of the period remain, so these are projected computations");
    if (r.stopped)
        text += QStringLiteral("; stopped before the end, so the file of them all was not written");
    return text;
}

QStringList EntryLines(const Result &r)
{
    QStringList lines;
    for (const Entry &e : r.refused)
        lines << QStringLiteral("%1 %2: refused: %3").arg(e.code, e.name, e.reason);
    for (const Entry &e : r.skipped)
        lines << QStringLiteral("%1 %2: skipped: %3").arg(e.code, e.name, e.reason);
    for (const Entry &e : r.withoutPan)
        lines << QStringLiteral("%1 %2: written without a PAN").arg(e.code, e.name);
    return lines;
}

} // namespace CertificateRun
