// The lookup list: filling and growth, scrolling, the search on column 2, keys and picks.
#include "ModalDriver.h"
#include "RecordingPlatform.h"
#include "TestDb.h"
#include "lookup/PickEmployee.h"
#include "lookup/frmListView.h"
#include "session/mdlDalvoni.h"

#include <QElapsedTimer>
#include <QScrollBar>
#include <QtTest>

using namespace mdlDalvoni;

namespace {

// Fills numbersetup with n rows ('K0001', 'NAME...') to look up.
void FillRows(int n, const QString &namePrefix = QStringLiteral("ROW"))
{
    QString sql = QStringLiteral("INSERT INTO numbersetup VALUES ");
    for (int i = 1; i <= n; ++i) {
        if (i > 1)
            sql += QLatin1Char(',');
        const QString n5 = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        sql += QStringLiteral("('K") + n5 + QStringLiteral("','") + namePrefix + n5 + QStringLiteral("')");
    }
    TestDb::Exec(sql);
}

void Show(const QString &sql, int fields = 2, int secondWidth = 4000)
{
    frmListView::ShowForm(sql, fields, QStringLiteral("Lookup"), 8000, 1000, QStringLiteral("Code"), secondWidth,
                          QStringLiteral("Name"), 0, QString(), 0, QString(), 0, QString(), 0, QString(), 0, QString(),
                          0, QString(), 0, QString(), 0, QString());
}

const char *const kQuery = "Select no_id, no_value from numbersetup order by no_id";

} // namespace

class tst_frmListView : public QObject
{
    Q_OBJECT

private slots:
    void init() { TestDb::Reset(); }

    void emptyResultShowsNothingAndKeepsSlots()
    {
        ListPick1 = QStringLiteral("kept");
        bool shown = false;
        WhenModalShown<frmListView>(
            [&](frmListView *d) {
                shown = true;
                d->reject();
            },
            300);
        Show(kQuery);
        QTest::qWait(400);
        QVERIFY(!shown);
        QCOMPARE(ListPick1, QStringLiteral("kept"));
    }

    // The list opens at its first row, current and in view: the row Enter or Escape takes.
    void gridGrowsByTenAndOpensAtTheFirstRow_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("gridRows");
        QTest::newRow("one row") << 1 << 100;
        QTest::newRow("sixteen rows") << 16 << 100;
        QTest::newRow("98 rows") << 98 << 100;
        QTest::newRow("99 rows") << 99 << 110;
    }
    void gridGrowsByTenAndOpensAtTheFirstRow()
    {
        QFETCH(int, rows);
        QFETCH(int, gridRows);
        FillRows(rows);
        int seenRows = 0, seenTop = 0, seenCurrent = 0;
        QString lastCode, afterLast, width2;
        bool currentVisible = false;
        WhenModalShown<frmListView>([&](frmListView *d) {
            seenRows = d->grid().gridRows();
            seenTop = d->topRow();
            seenCurrent = d->currentRow();
            currentVisible =
                d->ui.GrHelp->viewport()->rect().contains(d->ui.GrHelp->visualRect(d->ui.GrHelp->currentIndex()));
            lastCode = d->grid().cell(rows, 1);
            afterLast = d->grid().cell(rows + 1, 1);
            width2 = QString::number(d->ui.GrHelp->columnWidth(2));
            d->reject();
        });
        Show(kQuery);
        QCOMPARE(seenRows, gridRows);
        QCOMPARE(seenTop, 1);
        QCOMPARE(seenCurrent, 1);
        QVERIFY(currentVisible);
        QCOMPARE(lastCode, QStringLiteral("K%1").arg(rows, 5, 10, QLatin1Char('0')));
        QCOMPARE(afterLast, QString());
        QCOMPARE(width2, QString::number((4000 - 450 + 7) / 15));
    }

    // A column is as wide as its longest text: every code shows whole, however narrow its
    // described width.
    void columnsShowTheirWholeTexts()
    {
        TestDb::Exec("INSERT INTO numbersetup VALUES ('SATARA-0001234','A'),('S1','A NAME LONGER THAN ITS COLUMN IS "
                     "WIDE, BY FAR')");
        QList<int> needed, widths;
        WhenModalShown<frmListView>([&](frmListView *d) {
            const QFontMetrics metrics(d->ui.GrHelp->font());
            for (int c = 1; c <= 2; ++c) {
                int widest = 0;
                for (int r = 1; r <= 2; ++r)
                    widest = qMax(widest, metrics.horizontalAdvance(d->grid().cell(r, c)));
                needed << widest;
                widths << d->ui.GrHelp->columnWidth(c);
            }
            d->reject();
        });
        frmListView::ShowForm(kQuery, 2, QStringLiteral("Lookup"), 8000, 700, QStringLiteral("Code"), 3000,
                              QStringLiteral("Name"), 0, QString(), 0, QString(), 0, QString(), 0, QString(), 0,
                              QString(), 0, QString(), 0, QString(), 0, QString());
        QCOMPARE(widths.size(), 2);
        QVERIFY2(widths[0] > needed[0] && widths[1] > needed[1],
                 qPrintable(QStringLiteral("widths %1, %2 for texts of %3, %4")
                                .arg(widths[0])
                                .arg(widths[1])
                                .arg(needed[0])
                                .arg(needed[1])));
    }

    // Every pick is one row: moving in the grid moves the row that Escape and Enter in the
    // search box take, so the ten slots never mix two rows.
    void aPickNeverMixesTwoRows_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("downs");
        QTest::addColumn<int>("pickKey");
        QTest::addColumn<bool>("backToSearch");
        QTest::addColumn<QString>("row");
        QTest::newRow("arrowed down, Escape") << "" << 2 << int(Qt::Key_Escape) << false << "A3";
        QTest::newRow("searched, arrowed down, Escape") << "tw" << 1 << int(Qt::Key_Escape) << false << "A3";
        QTest::newRow("arrowed down, back in the search box, Enter") << "" << 1 << int(Qt::Key_Return) << true << "A2";
        QTest::newRow("searched only, Escape") << "thr" << 0 << int(Qt::Key_Escape) << false << "A3";
    }
    void aPickNeverMixesTwoRows()
    {
        QFETCH(QString, search);
        QFETCH(int, downs);
        QFETCH(int, pickKey);
        QFETCH(bool, backToSearch);
        QFETCH(QString, row);
        TestDb::Exec("INSERT INTO numbersetup VALUES ('A1','ONE'),('A2','TWO'),('A3','THREE')");
        WhenModalShown<frmListView>([&](frmListView *d) {
            QTest::keyClicks(d->ui.TxtSearch, search);
            QTest::keyClick(d->ui.TxtSearch, Qt::Key_Down);
            for (int i = 0; i < downs; ++i)
                QTest::keyClick(d->ui.GrHelp, Qt::Key_Down);
            QWidget *from = d->ui.GrHelp;
            if (backToSearch || downs == 0) {
                d->ui.TxtSearch->setFocus();
                from = d->ui.TxtSearch;
            }
            QTest::keyClick(from, Qt::Key(pickKey));
        });
        // Ten columns, each naming its row, so that a slot from another row shows.
        QString sql = QStringLiteral("Select no_id, no_value");
        for (int n = 3; n <= 10; ++n)
            sql += QStringLiteral(", concat(no_id,'-%1')").arg(n);
        Show(sql + QStringLiteral(" from numbersetup order by no_id"), 10, 3000);
        const QMap<QString, QString> names = {{"A1", "ONE"}, {"A2", "TWO"}, {"A3", "THREE"}};
        QStringList picks, expected;
        for (int n = 1; n <= 10; ++n)
            picks << ListPick(n);
        expected << row << names.value(row);
        for (int n = 3; n <= 10; ++n)
            expected << row + QStringLiteral("-%1").arg(n);
        QCOMPARE(picks, expected);
    }

    void searchFindsTheFirstRowByTheStartOfColumnTwo()
    {
        TestDb::Exec("INSERT INTO numbersetup VALUES ('A1','PRAKASH'),('A2','RAMESH'),('A3','rajesh'),('A4','RANI'),"
                     "('A5','SURA'),('A6',NULL)");
        QStringList picks;
        WhenModalShown<frmListView>([&](frmListView *d) {
            QTest::keyClicks(d->ui.TxtSearch, QStringLiteral("rA"));
            picks << ListPick1 << ListPick2 << QString::number(d->currentRow());
            // Found inside the column but not at its start: nothing changes.
            d->ui.TxtSearch->setText(QStringLiteral("URA"));
            picks << QString::number(d->currentRow());
            // Cleared: row 1 highlighted, first two slots emptied.
            d->ui.TxtSearch->clear();
            picks << ListPick1 << ListPick2 << QString::number(d->currentRow());
            QTest::keyClicks(d->ui.TxtSearch, QStringLiteral("raj"));
            QTest::keyClick(d->ui.TxtSearch, Qt::Key_Return);
        });
        Show(kQuery);
        QCOMPARE(picks, (QStringList{"A2", "RAMESH", "2", "2", "", "", "1"}));
        QCOMPARE(ListPick1, QStringLiteral("A3"));
        QCOMPARE(ListPick2, QStringLiteral("rajesh"));
    }

    void keysAndPicks()
    {
        TestDb::Exec("INSERT INTO numbersetup VALUES ('A1','ONE'),('A2','TWO'),('A3','THREE')");
        // Escape returns the highlighted (search) row, not an empty pick.
        WhenModalShown<frmListView>([](frmListView *d) { QTest::keyClick(d->ui.TxtSearch, Qt::Key_Escape); });
        Show(kQuery);
        QCOMPARE(ListPick1, QStringLiteral("A1"));
        ClearListPicks();

        // Down moves into the grid; moving the current cell refreshes the slots; Enter picks.
        QString whileOpen;
        WhenModalShown<frmListView>([&](frmListView *d) {
            QTest::keyClick(d->ui.TxtSearch, Qt::Key_Down);
            QTest::keyClick(d->ui.GrHelp, Qt::Key_Down);
            QTest::keyClick(d->ui.GrHelp, Qt::Key_Down);
            whileOpen = ListPick2;
            QTest::keyClick(d->ui.GrHelp, Qt::Key_Return);
        });
        Show(kQuery);
        QCOMPARE(whileOpen, QStringLiteral("THREE"));
        QCOMPARE(ListPick1, QStringLiteral("A3"));
        ClearListPicks();

        // Double-click picks the row clicked.
        WhenModalShown<frmListView>([&](frmListView *d) {
            const QRect r = d->ui.GrHelp->visualRect(d->grid().index(1, 1));
            QTest::mouseClick(d->ui.GrHelp->viewport(), Qt::LeftButton, {}, r.center());
            QTest::mouseDClick(d->ui.GrHelp->viewport(), Qt::LeftButton, {}, r.center());
        });
        Show(kQuery);
        QCOMPARE(ListPick2, QStringLiteral("TWO"));
        ClearListPicks();

        // The close box keeps what the slots last held; nulls show as empty cells.
        WhenModalShown<frmListView>([](frmListView *d) { d->reject(); });
        Show("Select no_id, null, no_value from numbersetup order by no_id", 3);
        QCOMPARE(ListPick1, QString());
    }

    // The screens' employee lookup: the picked row by meaning, the slots emptied after it;
    // nothing when no employee matches.
    void pickEmployeeReturnsTheRowAndEmptiesTheSlots()
    {
        TestDb::LoadStandardMasters();
        TestDb::AddEmployee(QStringLiteral("7"), QStringLiteral("E"), QStringLiteral("007"), QStringLiteral("ASHA"),
                            QStringLiteral("MUM"));
        WhenModalShown<frmListView>([](frmListView *d) { QTest::keyClick(d->ui.TxtSearch, Qt::Key_Return); });
        const std::optional<EmployeePick> pick = PickEmployee(QStringLiteral("C01"), QString(), BlankCode::OffersAll);
        QVERIFY(pick);
        QCOMPARE(QStringList({pick->code, pick->name, pick->unitName, pick->slno, pick->pan, pick->unitCode,
                              pick->companyCode}),
                 QStringList({"E007", "ASHA",
                              TestDb::Scalar("SELECT unit_name FROM dalvoni.unitmaster WHERE "
                                             "unit_code='MUM'")
                                  .toString(),
                              "7", "PAN7", "MUM", "C01"}));
        for (int n = 1; n <= 10; ++n)
            QVERIFY(ListPick(n).isEmpty());

        bool shown = false;
        WhenModalShown<frmListView>([&shown](frmListView *d) { shown = true, d->reject(); }, 100);
        QVERIFY(!PickEmployee(QStringLiteral("C01"), QStringLiteral("nobody"), BlankCode::Searches));
        QTest::qWait(150); // the driver gives up before the next test shows a list
        QVERIFY(!shown);
    }

    void everyCallStartsFresh()
    {
        FillRows(120);
        WhenModalShown<frmListView>([](frmListView *d) {
            QTest::keyClicks(d->ui.TxtSearch, QStringLiteral("ROW00050"));
            QTest::keyClick(d->ui.TxtSearch, Qt::Key_Escape);
        });
        Show(kQuery);
        QCOMPARE(ListPick1, QStringLiteral("K00050"));
        int rows = 0, searchRow = 0;
        QString search;
        WhenModalShown<frmListView>([&](frmListView *d) {
            rows = d->grid().gridRows();
            searchRow = d->searchRow();
            search = d->ui.TxtSearch->text();
            d->reject();
        });
        Show("Select no_id, no_value from numbersetup where no_id<'K00010' order by no_id");
        QCOMPARE(rows, 100);
        QCOMPARE(searchRow, 1);
        QCOMPARE(search, QString());
    }

    void thirtyThousandRowsStayQuick()
    {
        for (int block = 0; block < 30; ++block) {
            QString sql = QStringLiteral("INSERT INTO numbersetup VALUES ");
            for (int i = 0; i < 1000; ++i) {
                const int n = block * 1000 + i;
                sql += QStringLiteral("%1('N%2','NAME%2')").arg(i ? "," : "").arg(n, 6, 10, QLatin1Char('0'));
            }
            TestDb::Exec(sql);
        }
        QString found;
        int rows = 0;
        WhenModalShown<frmListView>([&](frmListView *d) {
            rows = d->grid().gridRows();
            QTest::keyClicks(d->ui.TxtSearch, QStringLiteral("name029999"));
            found = ListPick1;
            d->reject();
        });
        Show(kQuery);
        QCOMPARE(found, QStringLiteral("N029999"));
        QVERIFY(rows > 30000);
    }
};

QTEST_MAIN(tst_frmListView)
#include "tst_frmlistview.moc"
