// The shared routines: rounding, plain numbers, leading numbers, dates, padding, codes.
#include "session/Common.h"

#include <QtTest>

class tst_Common : public QObject
{
    Q_OBJECT

private slots:
    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("half up on shortest text") << 1.005 << "1.01";
        QTest::newRow("binary below half") << 2.675 << "2.68";
        QTest::newRow("negative half away from zero") << -1.005 << "-1.01";
        QTest::newRow("just below half") << 0.00499 << "0.00";
        QTest::newRow("negative tiny is zero, not -0") << -0.001 << "0.00";
        QTest::newRow("thirds") << 100.0 / 3.0 << "33.33";
        QTest::newRow("carry into integer") << 9.995 << "10.00";
        QTest::newRow("large") << 123456789.125 << "123456789.13";
        QTest::newRow("whole") << 250000.0 << "250000.00";
    }
    void rounding()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(Format00(value), expected);
        QCOMPARE(RoundAmount(value), expected.toDouble());
    }

    void plainNumbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("decimal") << 637.6 << "637.6";
        QTest::newRow("zero") << 0.0 << "0";
        QTest::newRow("negative zero") << -0.0 << "0";
        QTest::newRow("whole") << 250000.0 << "250000";
        QTest::newRow("no exponent") << 1e20 << "100000000000000000000";
        QTest::newRow("small") << 0.05 << "0.05";
        QTest::newRow("negative") << -12.5 << "-12.5";
    }
    void plainNumbers()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(PlainNumber(value), expected);
    }

    void indianAmounts_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << 0.0 << "0.00";
        QTest::newRow("hundreds stay whole") << 999.5 << "999.50";
        QTest::newRow("thousand") << 1000.0 << "1,000.00";
        QTest::newRow("lakh") << 100000.0 << "1,00,000.00";
        QTest::newRow("ten lakh and more") << 1234567.0 << "12,34,567.00";
        QTest::newRow("crore") << 123456789.125 << "12,34,56,789.13";
        QTest::newRow("negative") << -250000.0 << "-2,50,000.00";
        QTest::newRow("rounded into a new group") << 99999.996 << "1,00,000.00";
    }
    void indianAmounts()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(IndianAmount(value), expected);
    }

    void leadingNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("trailing letters") << "12abc" << 12.0;
        QTest::newRow("letters only") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("blanks and sign") << "  -3.5x" << -3.5;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("grouping stops") << "1,250" << 1.0;
        QTest::newRow("amount") << "56.78" << 56.78;
        QTest::newRow("lone sign") << "-" << 0.0;
    }
    void leadingNumbers()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(LeadingNumber(text), expected);
    }

    void dates()
    {
        QCOMPARE(SqlDate(QDate(2018, 4, 1)), QStringLiteral("2018-04-01"));
        QCOMPARE(SqlSlashDate(QDate(2018, 4, 1)), QStringLiteral("2018/04/01"));
        QCOMPARE(SqlTime(QTime(9, 5, 7)), QStringLiteral("09:05:07"));
        QCOMPARE(MonthDiff(QDate(2019, 1, 31), QDate(2019, 2, 1)), 1);
        QCOMPARE(MonthDiff(QDate(2018, 4, 1), QDate(2018, 4, 30)), 0);
        QCOMPARE(MonthDiff(QDate(2018, 9, 30), QDate(2019, 3, 31)), 6);
        QCOMPARE(MonthDiff(QDate(2019, 3, 31), QDate(2018, 9, 30)), -6);
        QCOMPARE(DateFromText(QStringLiteral("2018-09-30")), QDate(2018, 9, 30));
        QVERIFY(!DateFromText(QString()).isValid());
    }

    void padding()
    {
        QCOMPARE(PadText(QStringLiteral("ABCDEF"), 4, QStringLiteral("R")), QStringLiteral("ABCD"));
        QCOMPARE(PadText(QStringLiteral("AB"), 4, QStringLiteral("L")), QStringLiteral("AB  "));
        QCOMPARE(PadText(QStringLiteral("AB"), 4, QStringLiteral("R")), QStringLiteral("  AB"));
        QCOMPARE(PadText(QString(), 3, QStringLiteral("L")), QStringLiteral("   "));
        // A cut never splits a letter: it falls after the last whole one that fits, and the
        // blanks fill the width (counted in characters, as the print file's fields are).
        const QString tamil = QStringLiteral("கிருஷ்ணமூர்த்தி"); // the 8th character is ம of மூ
        QCOMPARE(tamil.left(8), QStringLiteral("கிருஷ்ணம"));
        QCOMPARE(PadText(tamil, 8, QStringLiteral("L")), QStringLiteral("கிருஷ்ண "));
        QCOMPARE(PadText(tamil, 9, QStringLiteral("R")), QStringLiteral("கிருஷ்ணமூ"));
        const QString hindi = QStringLiteral("रामचन्द्र"); // न् is two characters
        QCOMPARE(PadText(hindi, 5, QStringLiteral("R")), QStringLiteral(" रामच"));
        QCOMPARE(PadText(hindi, 3, QStringLiteral("L")), QStringLiteral("राम"));
        QCOMPARE(PadText(QStringLiteral("JOSE\u0301PH"), 4, QStringLiteral("L")), QStringLiteral("JOS "));
        QCOMPARE(PadText(QStringLiteral("\u0915\u093F"), 1, QStringLiteral("L")), QStringLiteral(" "));
    }

    void quotes()
    {
        QCOMPARE(EscapeQuotes(QStringLiteral("plain")), QStringLiteral("plain"));
        QCOMPARE(EscapeQuotes(QStringLiteral("O'Neil")), QStringLiteral("O''Neil"));
        QCOMPARE(EscapeQuotes(QStringLiteral("a''b")), QStringLiteral("a''''b"));
        QCOMPARE(SqlEscape(QStringLiteral("a\\'b")), QStringLiteral("a\\\\''b"));
    }

    void codes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QString>("trimmed");
        QTest::newRow("running") << "ITA000005"
                                 << "ITA000006"
                                 << "ITA000005";
        QTest::newRow("blanks and carry") << "  ITA000009 "
                                          << "ITA000010"
                                          << "ITA000009";
        QTest::newRow("number grows") << "A99"
                                      << "A100"
                                      << "A99";
        QTest::newRow("digits only") << "0099"
                                     << "0100"
                                     << "0099";
        QTest::newRow("no digits") << "ABC"
                                   << "ABC1"
                                   << "ABC";
        QTest::newRow("empty") << ""
                               << "1"
                               << "";
        QTest::newRow("longer than any integer") << "X99999999999999999999"
                                                 << "X100000000000000000000"
                                                 << "X99999999999999999999";
    }
    void codes()
    {
        QFETCH(QString, code);
        QFETCH(QString, next);
        QFETCH(QString, trimmed);
        QCOMPARE(IncrementCode(code), next);
        QCOMPARE(code, trimmed);
    }
};

QTEST_GUILESS_MAIN(tst_Common)
#include "tst_common.moc"
