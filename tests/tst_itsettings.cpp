// The tax settings screen: what it shows for a year, and Apply storing the six limits
// all together or not at all.
#include "CompanyTest.h"
#include "RecordingPlatform.h"
#include "Screens.h"
#include "TestDb.h"
#include "config/ITSetup.h"
#include "config/frmITSettings.h"
#include "session/mdlDalvoni.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QtTest>

using namespace mdlDalvoni;

namespace {

// Every limit of every year, in a fixed order, to compare before and after.
QStringList SetupRows()
{
    QStringList rows;
    Recordset rs = TestDb::Open().query(QStringLiteral(
        "SELECT ac_from_date, set_id, set_value FROM hr_it_setup ORDER BY ac_from_date, set_id, set_value"));
    for (; !rs.eof(); rs.moveNext())
        rows << rs.text(0) + QLatin1Char('|') + rs.text(1) + QLatin1Char('|') + rs.text(2);
    return rows;
}

QStringList SlabRows()
{
    QStringList rows;
    Recordset rs = TestDb::Open().query(QStringLiteral(
        "SELECT it_ac_from_date, it_slab, it_slab_start, it_slab_end, it_per FROM hr_it_slabs ORDER BY 1, 2, 3"));
    for (; !rs.eof(); rs.moveNext())
        rows << QStringList{rs.text(0), rs.text(1), rs.text(2), rs.text(3), rs.text(4)}.join(QLatin1Char('|'));
    return rows;
}

double Limit(const QString &id, int year = 2018)
{
    return TestDb::Scalar(
               QStringLiteral("SELECT set_value FROM hr_it_setup WHERE set_id='%1' AND ac_from_date='%2-04-01'")
                   .arg(id)
                   .arg(year))
        .toDouble();
}

} // namespace

class tst_ITSettings : public CompanyTest
{
    Q_OBJECT

private slots:
    void loadShowsLimitsInTwoDecimalsAndSlabsAsStored()
    {
        RecordingPlatform p;
        // A later row of the same limit wins; a fifth slab is not shown.
        TestDb::Exec("INSERT INTO hr_it_setup VALUES ('2018-04-01','2019-03-31','MC_LIMIT',30000.5)");
        TestDb::Exec("INSERT INTO hr_it_setup VALUES ('2018-04-01','2019-03-31','cess',99)");
        TestDb::Exec("INSERT INTO hr_it_slabs VALUES ('2018-04-01','2019-03-31',5,99999999,999999999,40)");
        frmITSettings f;
        QCOMPARE(f.ui.Tx80CLimit->text(), QStringLiteral("150000.00"));
        QCOMPARE(f.ui.TxHLInterestLimit->text(), QStringLiteral("200000.00"));
        QCOMPARE(f.ui.TxMCLimit->text(), QStringLiteral("30000.50"));
        QCOMPARE(f.ui.TxExemption->text(), QStringLiteral("250000.00"));
        QCOMPARE(f.ui.TxRebate->text(), QStringLiteral("2500.00"));
        QCOMPARE(f.ui.TxCESS->text(), QStringLiteral("4.00"));
        QCOMPARE(f.ui.TxSlab1From->text(), QStringLiteral("0"));
        QCOMPARE(f.ui.TxSlab1To->text(), QStringLiteral("250000"));
        QCOMPARE(f.ui.TxSlab2Per->text(), QStringLiteral("5"));
        QCOMPARE(f.ui.TxSlab4From->text(), QStringLiteral("1000000"));
        QCOMPARE(f.ui.TxSlab4To->text(), QStringLiteral("99999999"));
        QCOMPARE(f.ui.TxSlab4Per->text(), QStringLiteral("30"));
        QVERIFY(p.messages.isEmpty());
    }

    void applyStoresLeadingNumbersOfTheYearOnly()
    {
        RecordingPlatform p;
        const QStringList before = SetupRows();
        frmITSettings f;
        QVERIFY(ShowActive(f));
        f.ui.Tx80CLimit->setText(QStringLiteral("160000.00"));
        f.ui.TxHLInterestLimit->setText(QStringLiteral("210000.50"));
        f.ui.TxMCLimit->setText(QString());
        f.ui.TxRebate->setText(QStringLiteral("abc"));
        f.ui.TxCESS->setText(QStringLiteral("12abc"));
        QTest::mouseClick(f.ui.CmApply, Qt::LeftButton);

        QCOMPARE(p.messages.size(), 1);
        QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Settngs Updated!.   "));
        QCOMPARE(p.messages.last().icon, Platform::Icon::Information);
        QVERIFY(!f.isVisible());
        QCOMPARE(Limit("80C_LIMIT"), 160000.0);
        QCOMPARE(Limit("HL_LIMIT"), 210000.5);
        QCOMPARE(Limit("MC_LIMIT"), 0.0);
        QCOMPARE(Limit("TAX_LIMIT"), 250000.0);
        QCOMPARE(Limit("REBATE"), 0.0);
        QCOMPARE(Limit("CESS"), 12.0);
        // Other years keep their values.
        const QStringList after = SetupRows();
        for (int year : {2016, 2017, 2019})
            for (const QString &row : before.filter(QStringLiteral("%1-04-01").arg(year)))
                QVERIFY2(after.contains(row), qPrintable(row));
    }

    void emptyYearShowsNothingAndApplyChangesNothingButReports()
    {
        RecordingPlatform p;
        FinYearFrom = QDate(2030, 4, 1);
        FinYearTo = QDate(2031, 3, 31);
        const QStringList before = SetupRows();
        frmITSettings f;
        for (QLineEdit *box : f.findChildren<QLineEdit *>())
            QVERIFY2(box->text().isEmpty(), qPrintable(box->objectName()));
        f.ui.Tx80CLimit->setText(QStringLiteral("5.00"));
        f.CmApply_Click();
        QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Settngs Updated!.   "));
        QCOMPARE(SetupRows(), before);
    }

    void slabBoxesAreReadOnlyAndNeverStored()
    {
        RecordingPlatform p;
        const QStringList before = SlabRows();
        frmITSettings f;
        for (QLineEdit *box : f.ui.FrSlabs->findChildren<QLineEdit *>())
            QVERIFY2(box->isReadOnly(), qPrintable(box->objectName()));
        f.ui.TxSlab2Per->setText(QStringLiteral("7"));
        f.CmApply_Click();
        QCOMPARE(SlabRows(), before);
        frmITSettings again;
        QCOMPARE(again.ui.TxSlab2Per->text(), QStringLiteral("5"));
    }

    void failedUpdateStoresNothingAndKeepsTheFormOpen()
    {
        RecordingPlatform p;
        const QStringList before = SetupRows();
        // The last of the six updates fails at the server.
        TestDb::Exec("CREATE TRIGGER tst_cess_locked BEFORE UPDATE ON hr_it_setup FOR EACH ROW "
                     "IF NEW.set_id='CESS' THEN SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT='cess is locked'; END IF");
        frmITSettings f;
        QVERIFY(ShowActive(f));
        f.ui.Tx80CLimit->setText(QStringLiteral("1.00"));
        f.ui.TxCESS->setText(QStringLiteral("9.00"));
        QTest::mouseClick(f.ui.CmApply, Qt::LeftButton);
        TestDb::Exec("DROP TRIGGER tst_cess_locked");

        QCOMPARE(p.messages.size(), 1);
        QVERIFY2(p.lastMessage().contains(QStringLiteral("cess is locked")), qPrintable(p.lastMessage()));
        QVERIFY(f.isVisible());
        QCOMPARE(f.ui.Tx80CLimit->text(), QStringLiteral("1.00"));
        QVERIFY(!Db().inTransaction());
        QCOMPARE(SetupRows(), before);

        // The same values go through once the server accepts them.
        QTest::mouseClick(f.ui.CmApply, Qt::LeftButton);
        QCOMPARE(Limit("80C_LIMIT"), 1.0);
        QCOMPARE(Limit("CESS"), 9.0);
    }

    void typedAmountsGoThroughTheKeyFilter()
    {
        RecordingPlatform p;
        frmITSettings f;
        QVERIFY(ShowActive(f));
        // The whole text is selected on entry, so typing replaces the stored value.
        for (QLineEdit *box : {f.ui.TxCESS, f.ui.Tx80CLimit}) {
            box->setFocus();
            QTRY_VERIFY(box->hasFocus());
            QTest::keyClicks(box, QStringLiteral("12x-.5"));
            QCOMPARE(box->text(), QStringLiteral("12.50"));
        }
        QTest::keyClick(f.ui.Tx80CLimit, Qt::Key_Return);
        QTRY_VERIFY(f.ui.CmApply->hasFocus());
        QTest::keyClick(f.ui.CmApply, Qt::Key_Space);
        QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Settngs Updated!.   "));
        QCOMPARE(Limit("CESS"), 12.5);
        QCOMPARE(Limit("80C_LIMIT"), 12.5);
    }

    void applyInsideTheMainWindowClosesTheScreensFrame()
    {
        RecordingPlatform p;
        QMdiArea area;
        area.show();
        QPointer<frmITSettings> f = new frmITSettings;
        QPointer<QMdiSubWindow> frame = area.addSubWindow(f);
        frame->show();
        QTest::mouseClick(f->ui.CmApply, Qt::LeftButton);
        QCOMPARE(p.lastMessage(), QStringLiteral("Income Tax Settngs Updated!.   "));
        QTRY_VERIFY(frame.isNull());
        QVERIFY(area.subWindowList().isEmpty());
    }

    void updateTextsNameTheirLimitAndYear()
    {
        const std::array<QString, ITSetup::LimitCount> texts = {QStringLiteral("150000.00"), QStringLiteral("1,5"),
                                                                QStringLiteral(" 3"),        QString(),
                                                                QStringLiteral("-2"),        QStringLiteral("12.50")};
        const QStringList sql = ITSetup::UpdateStatements(texts, QDate(2018, 4, 1), QDate(2019, 3, 31));
        QCOMPARE(sql.size(), 6);
        QCOMPARE(sql[0], QStringLiteral("Update hr_it_setup set set_value=150000 where set_id='80C_LIMIT' and "
                                        "ac_from_date='2018-04-01' and ac_to_date='2019-03-31'"));
        QCOMPARE(sql[1], QStringLiteral("Update hr_it_setup set set_value=1 where set_id='HL_LIMIT' and  "
                                        "ac_from_date='2018-04-01' and ac_to_date='2019-03-31'"));
        QVERIFY(sql[2].startsWith(QStringLiteral("Update hr_it_setup set set_value=3 where set_id='MC_LIMIT' and ac")));
        QVERIFY(sql[3].startsWith(QStringLiteral("Update hr_it_setup set set_value=0 where set_id='TAX_LIMIT'")));
        QVERIFY(sql[4].startsWith(QStringLiteral("Update hr_it_setup set set_value=-2 where set_id='REBATE'")));
        QVERIFY(sql[5].startsWith(QStringLiteral("Update hr_it_setup set set_value=12.5 where set_id='CESS'")));
    }

    // The one reader of the year for the screen, the batch and the worksheet: what each sends,
    // and which limits and slabs the year has a row for.
    void yearReaderSendsEachCallersTextAndFlagsMissingRows_data()
    {
        QTest::addColumn<int>("reader");
        QTest::addColumn<QString>("slabsSql");
        QTest::newRow("settings screen") << int(ITSetup::Reader::SettingsScreen)
                                         << "Select * from hr_it_slabs where it_ac_from_date='2018-04-01' and "
                                            "it_ac_to_date='2019-03-31'";
        QTest::newRow("batch and worksheet") << int(ITSetup::Reader::Computation)
                                             << "select * from hr_it_slabs where it_ac_from_date='2018-04-01' and "
                                                "it_ac_to_date='2019-03-31'";
    }
    void yearReaderSendsEachCallersTextAndFlagsMissingRows()
    {
        QFETCH(int, reader);
        QFETCH(QString, slabsSql);
        TestDb::Exec("DELETE FROM hr_it_setup WHERE set_id='REBATE' AND ac_from_date='2018-04-01'");
        TestDb::Exec("DELETE FROM hr_it_slabs WHERE it_slab=3 AND it_ac_from_date='2018-04-01'");
        TestDb::Exec("INSERT INTO hr_it_setup VALUES ('2018-04-01','2019-03-31','CESS',4.5)");
        TestDb::Exec("INSERT INTO hr_it_slabs VALUES ('2018-04-01','2019-03-31',0,1,2,3)");
        QStringList sent;
        Db().setRecorder([&sent](const QString &sql, bool) { sent << sql; });
        const ITSetup::Year year = ITSetup::Load(Db(), QDate(2018, 4, 1), QDate(2019, 3, 31), ITSetup::Reader(reader));
        Db().setRecorder({});
        QCOMPARE(sent, QStringList({QStringLiteral("Select * from hr_it_setup where ac_from_date='2018-04-01' and "
                                                   "ac_to_date='2019-03-31'"),
                                    slabsSql}));
        QCOMPARE(year.limits[ITSetup::Limit80C], std::optional<double>(150000));
        QCOMPARE(year.limits[ITSetup::LimitCess], std::optional<double>(4.5)); // the later row
        QVERIFY(!year.limits[ITSetup::LimitRebate]);
        QVERIFY(year.slabs[1] && year.slabs[1]->start == 250000 && year.slabs[1]->rate == 5);
        QVERIFY(!year.slabs[2]); // slab 0 is not slab 3
        QVERIFY(year.slabs[3] && year.slabs[3]->end == 99999999);
    }

    void enterMovesBetweenTheLimitBoxes_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::newRow("80C to Apply") << "Tx80CLimit"
                                      << "CmApply";
        QTest::newRow("housing loan to mediclaim") << "TxHLInterestLimit"
                                                   << "TxMCLimit";
        QTest::newRow("mediclaim back to 80C") << "TxMCLimit"
                                               << "Tx80CLimit";
        QTest::newRow("exemption to rebate") << "TxExemption"
                                             << "TxRebate";
        QTest::newRow("rebate to cess") << "TxRebate"
                                        << "TxCESS";
        QTest::newRow("cess to Apply") << "TxCESS"
                                       << "CmApply";
    }
    void enterMovesBetweenTheLimitBoxes()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        RecordingPlatform p;
        frmITSettings f;
        QVERIFY(ShowActive(f));
        auto *box = f.findChild<QLineEdit *>(from);
        box->setFocus();
        QTRY_VERIFY(box->hasFocus());
        QCOMPARE(box->selectedText(), box->text());
        QTest::keyClick(box, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), to);
        QVERIFY(p.messages.isEmpty());
    }
};

QTEST_MAIN(tst_ITSettings)
#include "tst_itsettings.moc"
