// The sheet of cells and the grid that shows it: values, shown texts, formats, clearing,
// widths and the row pick.
#include "reports/Sheet.h"
#include "ui/CellGrid.h"
#include "ui/FormUtil.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QtTest>

class tst_CellGrid : public QObject
{
    Q_OBJECT

private slots:
    void groupedFormat_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("shown");
        QTest::newRow("zero empty") << 0.0 << "";
        QTest::newRow("below a half") << 0.4 << "";
        QTest::newRow("half up") << 2500.6 << "2,501";
        QTest::newRow("exact half") << 2.5 << "3";
        QTest::newRow("no group") << 999.0 << "999";
        QTest::newRow("one group") << 1250.0 << "1,250";
        QTest::newRow("lakhs") << 1234567.0 << "1,234,567";
        QTest::newRow("negative") << -1250.4 << "-1,250";
        QTest::newRow("negative half") << -2.5 << "-3";
    }
    void groupedFormat()
    {
        QFETCH(double, number);
        QFETCH(QString, shown);
        Sheet s;
        s.setNumber(2, 3, number);
        s.setNumberFormat({2, 3, 2, 3}, QStringLiteral("#,##"));
        QCOMPARE(s.text(2, 3), shown);
        QCOMPARE(s.value(2, 3).toDouble(), number); // the value itself is kept
    }

    void valuesAndTexts()
    {
        Sheet s;
        s.setText(1, 1, QStringLiteral("Code"));
        s.setNumber(1, 2, 637.5);
        s.setValue(1, 3, QVariant()); // null: stays empty
        s.setValue(1, 4, QVariant(QStringLiteral("x")));
        QVERIFY(!s.isNumber(1, 1));
        QVERIFY(s.isNumber(1, 2));
        QCOMPARE(s.text(1, 2), QStringLiteral("637.5")); // general format
        QVERIFY(!s.value(1, 3).isValid());
        QCOMPARE(s.text(1, 4), QStringLiteral("x"));
        QCOMPARE(s.text(9, 9), QString());
        // Writing a text over a number makes it text again.
        s.setText(1, 2, QStringLiteral("5"));
        QVERIFY(!s.isNumber(1, 2));
    }

    void formatsAndClearing()
    {
        Sheet s;
        s.setColumnCount(5);
        const CellFont bold{QStringLiteral("Segoe UI"), 8, true, RgbColour(0, 0, 128)};
        s.setFont({1, 1, 1, 5}, bold);
        s.setFill({1, 1, 1, 5}, RgbColour(192, 192, 192));
        s.setBorders({1, 1, 1, 5}, true);
        s.setAlignment({1, 4, 1, 5}, HAlign::Right, VAlign::Centre);
        QCOMPARE(s.format(1, 4).font, bold);
        QVERIFY(s.format(1, 4).filled);
        QCOMPARE(s.format(1, 4).fill, RgbColour(192, 192, 192));
        QCOMPARE(s.format(1, 4).hAlign, HAlign::Right);
        QCOMPARE(s.format(1, 1).hAlign, HAlign::General); // alignment kept its range
        QVERIFY(s.format(1, 1).borders);
        QVERIFY(!s.format(2, 1).borders);
        // Cells of the same look share one format.
        QCOMPARE(s.formatId(1, 1), s.formatId(1, 3));
        QVERIFY(s.formatId(1, 1) != s.formatId(1, 4));

        for (int r = 2; r <= 100; ++r)
            s.setNumber(r, 2, r);
        s.setFont({100, 1, 100, 5}, bold);
        QCOMPARE(s.lastRow(), 100);
        s.clear({50, 1, 100, 5});
        QCOMPARE(s.lastRow(), 49);
        QCOMPARE(s.format(100, 1), CellFormat());
        QVERIFY(!s.value(60, 2).isValid());
        s.clear({2, 1, 49, 5});
        QCOMPARE(s.lastRow(), 1); // the formatted heading row stays in use
        s.clearAll();
        QCOMPARE(s.lastRow(), 0);
    }

    void widthsAndHeights()
    {
        Sheet s;
        QCOMPARE(s.columnWidth(3), Sheet::kDefaultColumnWidth);
        s.setColumnWidth(3, 4000);
        s.setRowHeight(1, 500);
        QCOMPARE(s.columnWidth(3), 4000);
        QCOMPARE(s.rowHeight(1), 500);
        QVERIFY(!s.hasRowHeight(2));
        QCOMPARE(s.rowHeight(2), Sheet::kDefaultRowHeight);
    }

    void largeSheet()
    {
        // A statement-sized sheet: 10,000 rows of 27 columns, shown and scrolled to the end.
        CellGrid grid;
        grid.resize(800, 400);
        Sheet &s = grid.sheet();
        s.setColumnCount(27);
        for (int r = 1; r <= 10000; ++r) {
            s.setText(r, 1, QString::number(r));
            for (int c = 2; c <= 27; ++c)
                s.setNumber(r, c, r * c);
            s.setNumberFormat({r, 2, r, 27}, QStringLiteral("#,##"));
        }
        // Fitted as the statement is: every cell measured against its column.
        grid.setColumnUnit(256.0 / 7, 1);
        QElapsedTimer t;
        t.start();
        grid.refresh();
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        grid.scrollToBottom();
        QCoreApplication::processEvents();
        qInfo("10,000 rows shown in %lld ms", t.elapsed());
        QCOMPARE(grid.model()->rowCount(), 10000);
        QCOMPARE(grid.model()->index(9999, 26).data().toString(), QStringLiteral("270,000"));
    }

    // Widths in a unit of the sheet's own, each column widened to the widest heading or figure
    // from the fitted row on; a title above it runs on and does not count.
    void columnUnitAndFit()
    {
        CellGrid grid;
        Sheet &s = grid.sheet();
        s.setColumnCount(3);
        for (int c = 1; c <= 3; ++c)
            s.setColumnWidth(c, 1000);
        s.setText(1, 1, QStringLiteral("A TITLE THAT RUNS ON ACROSS THE WHOLE SHEET"));
        s.setText(2, 2, QStringLiteral("Heading"));
        s.setFont({2, 1, 2, 3}, CellFont{QStringLiteral("Arial"), 8, true, 0});
        s.setNumber(3, 2, -5);
        s.setNumber(4, 2, 12345678.9);
        s.setNumber(5, 2, 7);
        s.setNumberFormat({3, 2, 5, 2}, QStringLiteral("#,##"));
        s.setText(3, 3, QStringLiteral("X"));
        grid.setColumnUnit(20, 2);
        grid.refresh();
        QCOMPARE(grid.columnWidth(0), 50);
        QCOMPARE(grid.columnWidth(2), 50);
        const QFontMetrics data(grid.model()->index(3, 1).data(Qt::FontRole).value<QFont>());
        QVERIFY(grid.columnWidth(1) > data.horizontalAdvance(QStringLiteral("12,345,679")) + 6);

        // By default the widths are twips.
        CellGrid twips;
        twips.sheet().setColumnCount(1);
        twips.sheet().setColumnWidth(1, 1500);
        twips.sheet().setText(1, 1, QStringLiteral("A TEXT WIDER THAN ITS COLUMN, RUNNING ON"));
        twips.refresh();
        QCOMPARE(twips.columnWidth(0), 100);
    }

    void gridShowsTheSheet()
    {
        CellGrid grid;
        grid.resize(800, 400);
        Sheet &s = grid.sheet();
        s.setColumnCount(5);
        s.setColumnWidth(1, 9000);
        s.setColumnWidth(2, 0);
        s.setRowHeight(1, 500);
        s.setText(1, 1, QStringLiteral("Allowance"));
        s.setFont({1, 1, 1, 5}, CellFont{QStringLiteral("Segoe UI"), 8, true, 0});
        s.setFill({1, 1, 1, 5}, RgbColour(192, 192, 192));
        s.setNumber(2, 4, 1250);
        s.setNumberFormat({2, 4, 2, 4}, QStringLiteral("#,##"));
        s.setAlignment({2, 4, 2, 4}, HAlign::Right, VAlign::Centre);
        grid.refresh();
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));

        QAbstractItemModel *m = grid.model();
        QCOMPARE(m->rowCount(), 2);
        QCOMPARE(m->columnCount(), 5);
        QCOMPARE(m->index(1, 3).data().toString(), QStringLiteral("1,250"));
        QVERIFY(m->index(0, 0).data(Qt::FontRole).value<QFont>().bold());
        QCOMPARE(m->index(0, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(192, 192, 192));
        QVERIFY(!m->index(1, 2).data(Qt::BackgroundRole).isValid());
        QCOMPARE(m->index(1, 3).data(Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight | Qt::AlignVCenter);
        QCOMPARE(grid.columnWidth(0), TwipsToPixels(9000));
        QVERIFY(grid.isColumnHidden(1));
        QCOMPARE(grid.rowHeight(0), TwipsToPixels(500));

        // A click picks the row; the grid's active cell tells which.
        QSignalSpy picked(&grid, &CellGrid::rowPicked);
        const QRect cell = grid.visualRect(m->index(1, 3));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(picked.count(), 1);
        QCOMPARE(picked.at(0).at(0).toInt(), 2);
        QCOMPARE(grid.activeRow(), 2);
        QCOMPARE(grid.activeCol(), 4);
        QTest::keyClick(&grid, Qt::Key_Up);
        QTest::keyClick(&grid, Qt::Key_Return);
        QCOMPARE(picked.count(), 2);
        QCOMPARE(picked.at(1).at(0).toInt(), 1);

        // Rows removed from the sheet leave the grid on the next refresh.
        s.clear({2, 1, 2, 5});
        grid.refresh();
        QCOMPARE(m->rowCount(), 1);
    }
};

QTEST_MAIN(tst_CellGrid)
#include "tst_cellgrid.moc"
