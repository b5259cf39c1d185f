#include "CertificateRun.h"

#include "CertificatePdf.h"
#include "session/Common.h"
#include "session/mdlDalvoni.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryFile>

#include <cerrno>
#include <memory>

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

// A PDF file being written under a temporary name.
struct PdfFile
{
    QSaveFile file;
    std::unique_ptr<QPdfWriter> writer;
    QPainter painter;
    bool empty = true;

    PdfFile(const QString &path, const QString &title) : file(path)
    {
        if (!file.open(QIODevice::WriteOnly))
            throw Error(QStringLiteral("The certificate file %1 could not be written (%2).")
                            .arg(Native(path), file.errorString()));
        writer = std::make_unique<QPdfWriter>(&file);
        CertificatePdf::Setup(*writer, title);
    }
    void add(const Certificate::Document &document)
    {
        if (empty) {
            if (!painter.begin(writer.get()))
                throw Error(
                    QStringLiteral("The certificate file %1 could not be written.").arg(Native(file.fileName())));
        } else {
            writer->newPage();
        }
        empty = false;
        CertificatePdf::Draw(painter, *writer, document);
    }
    // Completes the file and gives it its final name.
    void finish()
    {
        if (painter.isActive())
            painter.end();
        if (!file.commit())
            throw Error(QStringLiteral("The certificate file %1 could not be written (%2).")
                            .arg(Native(file.fileName()), file.errorString()));
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
    std::unique_ptr<PdfFile> combined;
    const QString combinedName =
        Certificate::CombinedFileName(request.data.companyCode, request.data.from, request.data.to);
    if (request.data.slno.isEmpty())
        combined = std::make_unique<PdfFile>(folder.filePath(combinedName), context.companyName);

    QSet<QString> names{combinedName};
    const int perSet = std::max(1, request.data.employeesPerSet);
    int done = 0;
    for (int first = 0; first < result.selected && !result.stopped; first += perSet) {
        const int count = std::min(perSet, result.selected - first);
        const std::vector<CertificateData::Prepared> set = CertificateData::ReadSet(db, context, first, count);
        for (const CertificateData::Prepared &p : set) {
            if (stop && stop->load()) {
                result.stopped = true;
                break;
            }
            const Entry entry{p.employee.code, p.employee.name, p.reason};
            if (p.status == CertificateData::Prepared::Status::NoRecord) {
                result.skipped.append({entry.code, entry.name, QStringLiteral("no tax record for the period")});
            } else if (p.status == CertificateData::Prepared::Status::Refused) {
                result.refused.append(entry);
            } else {
                const Certificate::Document document = Certificate::Build(p.inputs);
                result.projected = result.projected || document.projected;
                // Two employees with the same code get files of their own.
                QString name = Certificate::FileName(p.employee.code);
                if (names.contains(name))
                    name = Certificate::FileName(p.employee.code + QLatin1Char('_') + p.employee.slno);
                names.insert(name);
                PdfFile own(folder.filePath(name), p.employee.code + QLatin1Char(' ') + p.employee.name);
                own.add(document);
                own.finish();
                if (combined)
                    combined->add(document);
                ++result.written;
                if (p.employee.pan.isEmpty())
                    result.withoutPan.append({entry.code, entry.name, QStringLiteral("no PAN")});
            }
            ++done;
            if (progress)
                progress({done, result.selected});
        }
    }
    if (combined && !result.stopped && result.written > 0) {
        combined->finish();
        result.combinedFile = folder.filePath(combinedName);
    }
    // Otherwise the file of them all is dropped with its temporary name.
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
