// An amount box with the filter attached, driven by real key events offscreen.
#include "RecordingPlatform.h"
#include "Screens.h"
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

    // However text reaches the box, it ends in the filter's form: a number the box can show
    // is brought to it, anything else leaves the box as it was.
    void everyRouteEndsInTheForm_data()
    {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("after");
        QTest::newRow("keys") << "keys"
                              << ""
                              << "45000.001e5"
                              << "45000.00";
        QTest::newRow("Ctrl+V, grouped") << "Ctrl+V"
                                         << "56.78"
                                         << "12,500"
                                         << "12500.00";
        QTest::newRow("Ctrl+V, letters") << "Ctrl+V"
                                         << "56.78"
                                         << "5000abc"
                                         << "56.78";
        QTest::newRow("Shift+Insert, minus") << "Shift+Insert"
                                             << "56.78"
                                             << "-500"
                                             << "56.78";
        QTest::newRow("menu paste") << "menu paste"
                                    << "56.78"
                                    << "1,234.5"
                                    << "1234.50";
        QTest::newRow("menu paste, exponent") << "menu paste"
                                              << "56.78"
                                              << "45000.001e5"
                                              << "56.78";
        QTest::newRow("menu paste, minus") << "menu paste"
                                           << "56.78"
                                           << "-500"
                                           << "56.78";
        QTest::newRow("middle click") << "middle click"
                                      << "56.78"
                                      << "12,500"
                                      << "12500.00";
        QTest::newRow("middle click, minus") << "middle click"
                                             << "56.78"
                                             << "-500"
                                             << "56.78";
        QTest::newRow("input method, minus") << "input method"
                                             << ""
                                             << "-500"
                                             << "500.00";
        QTest::newRow("input method, letters") << "input method"
                                               << "56.78"
                                               << "5000abc"
                                               << "56.78";
        QTest::newRow("drop") << "drop"
                              << "56.78"
                              << "-500"
                              << "56.78";
        QTest::newRow("set by a screen, plain") << "set"
                                                << "56.78"
                                                << "12.5"
                                                << "12.50";
        QTest::newRow("set by a screen, empty") << "set"
                                                << "56.78"
                                                << ""
                                                << "";
    }
    void everyRouteEndsInTheForm()
    {
        QFETCH(QString, route);
        QFETCH(QString, before);
        QFETCH(QString, text);
        if (SelectionMissing(route))
            QSKIP("This platform has no selection to paste with the middle button (it runs under X11).");
        std::unique_ptr<QLineEdit> box(makeBox());
        box->setText(before);
        if (route == QLatin1String("menu paste")) {
            // The box's own menu, whose Undo and Redo would bypass the filter, is not offered.
            const QString entries = TriggerMenuEntry(box.get(), QString()).join(' ');
            QVERIFY2(entries.contains(QStringLiteral("Paste")) && !entries.contains(QStringLiteral("Undo")) &&
                         !entries.contains(QStringLiteral("Redo")),
                     qPrintable(entries));
        }
        EnterByRoute(box.get(), route, text);
        QTEST(box->text(), "after");
        QVERIFY(box->alignment() & Qt::AlignRight);
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
