// The copier of PDF pages: pages of Qt's PDF writer copied into new files are sound PDF with
// their text, whatever their strings hold; a file that is not such a PDF is refused, not read
// past its end.
#include "reports/PdfCopy.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A file of `pages` pages, the n-th saying "<word> page n".
void Draw(const QString &path, const QString &word, int pages)
{
    QPdfWriter writer(path);
    writer.setTitle(QStringLiteral("a (title) with 1 0 R and \\ in it"));
    QPainter p(&writer);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    for (int i = 1; i <= pages; ++i) {
        if (i > 1)
            writer.newPage();
        p.drawText(QPointF(300, 300), word + QStringLiteral(" page %1 (1 0 R) <<").arg(i));
    }
}

QString Run(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    if (exitCode)
        *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

} // namespace

class TestPdfCopy : public QObject
{
    Q_OBJECT

private slots:
    // Pages of two sources, some from each, in one file: the text of each in its order, one
    // copy of the fonts a source's pages share.
    void copies()
    {
        QTemporaryDir dir;
        Draw(dir.filePath("a.pdf"), "alpha", 3);
        Draw(dir.filePath("b.pdf"), "beta", 2);
        const PdfCopy::Source a(dir.filePath("a.pdf")), b(dir.filePath("b.pdf"));
        QCOMPARE(a.pageCount(), 3);
        QFile out(dir.filePath("out.pdf"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        PdfCopy::Writer w(out, QStringLiteral("Сертификат (x) \\"));
        w.addPages(a, 1, 2);
        w.addPages(b, 0, 1);
        w.finish();
        out.close();
        int code = -1;
        const QString check = Run("qpdf", {"--check", out.fileName()}, &code);
        QVERIFY2(code == 0, qPrintable(check));
        QCOMPARE(Run("pdftotext", {out.fileName(), "-"}),
                 QStringLiteral("alpha page 2 (1 0 R) << alpha page 3 (1 0 R) << beta page 1 (1 0 R) <<"));
        QVERIFY(Run("pdfinfo", {out.fileName()}).contains(QStringLiteral("Title: Сертификат (x) \\")));
        QCOMPARE(Run("pdffonts", {out.fileName()}).count(QStringLiteral("DejaVuSans")), 2);
    }

    void refuses_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("not a PDF") << QByteArray("hello");
        QTest::newRow("no table") << QByteArray("%PDF-1.4\n1 0 obj\n<< >>\nendobj\n");
        QTest::newRow("a table past the end") << QByteArray("%PDF-1.4\nstartxref\n99999\n%%EOF\n");
        QTest::newRow("cut short") << QByteArray();
    }
    void refuses()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QFile f(dir.filePath("x.pdf"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (bytes.isEmpty()) {
            Draw(dir.filePath("whole.pdf"), "whole", 2);
            QFile whole(dir.filePath("whole.pdf"));
            QVERIFY(whole.open(QIODevice::ReadOnly));
            const QByteArray all = whole.readAll();
            // The table and trailer kept, the objects before them cut in half.
            const qsizetype xref = all.lastIndexOf("xref\n0");
            bytes = all.left(xref / 2) + all.mid(xref);
        }
        f.write(bytes);
        f.close();
        try {
            const PdfCopy::Source s(f.fileName());
            QBuffer sink;
            sink.open(QIODevice::WriteOnly);
            PdfCopy::Writer w(sink, QStringLiteral("x"));
            w.addPages(s, 0, s.pageCount());
            QFAIL("a broken file was copied");
        } catch (const PdfCopy::Error &e) {
            QVERIFY(!e.text().isEmpty());
        }
    }
};

QTEST_MAIN(TestPdfCopy)
#include "tst_pdfcopy.moc"
