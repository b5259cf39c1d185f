// Enter on a focused button clicks it, on every screen: the Enter chains of the screens end
// on a button, and the next Enter presses it.
#include "CompanyTest.h"
#include "RecordingPlatform.h"
#include "Screens.h"
#include "config/frmITSettings.h"
#include "config/frmOtherAllowance.h"
#include "reports/frmrptIT.h"
#include "session/frmChangeCompany.h"
#include "session/frmFinancialYear.h"
#include "session/frmLogin.h"
#include "session/frmMain.h"
#include "tax/frmIncomeTax.h"

#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

std::unique_ptr<QWidget> MakeScreen(const QString &name)
{
    const std::map<QString, std::function<QWidget *()>> screens = {
        {"frmITSettings", [] { return new frmITSettings; }},
        {"frmrptIT", [] { return new frmrptIT; }},
        {"frmLogin", [] { return new frmLogin; }},
        {"frmChangeCompany", [] { return new frmChangeCompany; }},
        {"frmFinancialYear", [] { return new frmFinancialYear; }},
        {"frmOtherAllowance", [] { return new frmOtherAllowance; }},
        {"frmIncomeTax", [] { return new frmIncomeTax; }},
    };
    std::unique_ptr<QWidget> screen(screens.at(name)());
    // Screens that close themselves must not delete what the test still holds.
    screen->setAttribute(Qt::WA_DeleteOnClose, false);
    return screen;
}

} // namespace

class tst_EnterKey : public CompanyTest
{
    Q_OBJECT

private slots:
    void initTestCase() { frmMain::registerMainArea(); }
    void cleanup()
    {
        delete frmMain::existing();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void enterClicksTheFocusedButton_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("chainStart"); // a box whose Enter moves to the button; "" for none
        QTest::addColumn<QString>("button");
        QTest::newRow("settings: 80-C limit, then Apply") << "frmITSettings"
                                                          << "Tx80CLimit"
                                                          << "CmApply";
        QTest::newRow("settings: Close") << "frmITSettings"
                                         << ""
                                         << "CmClose";
        QTest::newRow("statement: code box, then Show") << "frmrptIT"
                                                        << "TxEmpCode"
                                                        << "CmShow";
        QTest::newRow("statement: From date, then Show") << "frmrptIT"
                                                         << "DTFrom"
                                                         << "CmShow";
        QTest::newRow("login: OK") << "frmLogin"
                                   << ""
                                   << "CmOk";
        QTest::newRow("login: Exit") << "frmLogin"
                                     << ""
                                     << "CmExit";
        QTest::newRow("company list: Login") << "frmChangeCompany"
                                             << ""
                                             << "CmSwitch";
        QTest::newRow("year list: Switch") << "frmFinancialYear"
                                           << ""
                                           << "CmSwitch";
        QTest::newRow("addition master: New") << "frmOtherAllowance"
                                              << ""
                                              << "CmNew";
        QTest::newRow("worksheet: Edit") << "frmIncomeTax"
                                         << ""
                                         << "CmEdit";
    }
    void enterClicksTheFocusedButton()
    {
        QFETCH(QString, screen);
        QFETCH(QString, chainStart);
        QFETCH(QString, button);
        RecordingPlatform rec;
        rec.answers = {false}; // the lists' questions: Cancel (the year list stays as it is)
        std::unique_ptr<QWidget> form = MakeScreen(screen);
        QVERIFY(ShowActive(*form));
        auto *target = form->findChild<QPushButton *>(button);
        QVERIFY(target);
        if (!chainStart.isEmpty()) {
            auto *start = form->findChild<QWidget *>(chainStart);
            QVERIFY(start);
            start->setFocus();
            QTest::keyClick(start, Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget(), target);
        } else {
            target->setFocus();
        }
        QSignalSpy clicks(target, &QAbstractButton::clicked);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(clicks.count(), 1);
    }
};

QTEST_MAIN(tst_EnterKey)
#include "tst_enterkey.moc"
