// An amount box with the filter attached, driven by real key events offscreen.
#include "RecordingPlatform.h"
#include "ui/NumericEdit.h"

#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QtTest>

class tst_NumericEdit : public QObject
{
    Q_OBJECT

private:
    QLineEdit *makeBox(int maxLength = 12, int decimals = 2)
    {
        auto *box = new QLineEdit;
        m_edit = AttachNumericKeyFilter(box, maxLength, decimals, 1, false);
        box->show();
        box->setFocus();
        return box;
    }
    NumericEdit *m_edit = nullptr;

private slots:
    void typingGivesAnAmount()
    {
        std::unique_ptr<QLineEdit> box(makeBox());
        QCOMPARE(box->maxLength(), 12);
        QVERIFY(box->alignment() & Qt::AlignRight);
        QTest::keyClicks(box.get(), QStringLiteral("56.78"));
        QCOMPARE(box->text(), QStringLiteral("56.78"));
        QTest::keyClicks(box.get(), QStringLiteral("9abc -+"));
        QCOMPARE(box->text(), QStringLiteral("56.78"));

        QTest::keyClick(box.get(), Qt::Key_Left);
        QTest::keyClick(box.get(), Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("56.80"));
        QCOMPARE(box->cursorPosition(), 3);
        QTest::keyClick(box.get(), Qt::Key_Home);
        QTest::keyClick(box.get(), Qt::Key_Delete);
        QCOMPARE(box->text(), QStringLiteral("6.80"));

        // Editing shortcuts of the box itself do not get past the filter.
        QTest::keyClick(box.get(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(box.get(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("6.80"));

        box->selectAll();
        QTest::keyClick(box.get(), Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("0.00"));

        box->setText(QStringLiteral("12.50"));
        box->setReadOnly(true);
        QTest::keyClicks(box.get(), QStringLiteral("7."));
        QTest::keyClick(box.get(), Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("12.50"));
    }

    void enterReachesTheScreenFirst()
    {
        std::unique_ptr<QLineEdit> box(makeBox());
        QString seen = QStringLiteral("none");
        connect(m_edit, &NumericEdit::enterPressed, this, [&] { seen = box->text(); });
        QTest::keyClick(box.get(), Qt::Key_Return);
        QCOMPARE(seen, QString()); // before the filter showed the template
        QCOMPARE(box->text(), QStringLiteral("0.00"));
        QSignalSpy spy(m_edit, &NumericEdit::enterPressed);
        QTest::keyClick(box.get(), Qt::Key_Enter);
        QCOMPARE(spy.count(), 1);
    }

    void pasteAndCutKeepTheForm()
    {
        std::unique_ptr<QLineEdit> box(makeBox());
        QGuiApplication::clipboard()->setText(QStringLiteral("1,234.5"));
        QTest::keyClick(box.get(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("1234.50"));
        QGuiApplication::clipboard()->setText(QStringLiteral("twelve"));
        QTest::keyClick(box.get(), Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), QStringLiteral("1234.50"));

        box->setSelection(5, 2);
        QTest::keyClick(box.get(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("50"));
        QCOMPARE(box->text(), QStringLiteral("1234.00"));
    }

    void invalidDecimalLengthIsShown()
    {
        RecordingPlatform rec;
        std::unique_ptr<QLineEdit> box(makeBox(3, 2));
        box->setText(QStringLiteral("1"));
        QTest::keyClick(box.get(), Qt::Key_5);
        QCOMPARE(rec.lastMessage(), QStringLiteral("Invalid decimal length ...!"));
        QCOMPARE(box->text(), QString());
    }
};

QTEST_MAIN(tst_NumericEdit)
#include "tst_numericedit.moc"
