// The amount box's key rules without a window: typing, Backspace and Delete with and without
// selections, the sign, the maximum length, paste, and a long random run that must always
// leave a well-formed amount.
#include "session/NumericKeyFilter.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The box of every amount field of the program.
constexpr int kMax = 12;
constexpr int kDec = 2;

struct Box
{
    NumericBox b;
    int maxLength = kMax;
    int decimals = kDec;
    bool minus = false;
    QString message;

    Box(const QString &text = QString(), int selStart = -1, int selLength = 0)
    {
        b.text = text;
        b.selStart = selStart < 0 ? int(text.length()) : selStart;
        b.selLength = selLength;
    }

    int run(int key, int mode) { return NumericKeyFilter(b, key, maxLength, decimals, 1, mode, minus, &message); }

    // A key as the box receives it: key down, then key press with its character; a key the
    // filter passes on replaces the selection, within the box's maximum length.
    void type(QChar c)
    {
        run(c == QLatin1Char('.') ? 190 : c.toUpper().unicode(), 0);
        const int passed = run(c.unicode(), 1);
        if (passed == 0)
            return;
        b.text.remove(b.selStart, b.selLength);
        b.selLength = 0;
        if (b.text.length() < b.maxLength)
            b.text.insert(b.selStart++, QChar(passed));
    }
    void type(const QString &keys)
    {
        for (QChar c : keys)
            type(c);
    }
    void backspace()
    {
        run(NumericKeys::kBackspace, 0);
        QCOMPARE(run(NumericKeys::kBackspace, 1), 0);
    }
    void del() { QCOMPARE(run(NumericKeys::kDelete, 0), 0); }
    int caret() const { return b.selStart; }
};

bool WellFormed(const QString &text, int decimals, bool minus)
{
    const QRegularExpression form(
        QStringLiteral("^%1[0-9]+\\.[0-9]{%2}$").arg(minus ? QStringLiteral("-?") : QString()).arg(decimals));
    return form.match(text).hasMatch();
}

} // namespace

class tst_NumericKeyFilter : public QObject
{
    Q_OBJECT

private slots:
    void typingAnAmountIntoAnEmptyBox()
    {
        Box box;
        box.type(QLatin1Char('5'));
        QCOMPARE(box.b.text, QStringLiteral("5.00"));
        QCOMPARE(box.caret(), 1);
        box.type(QLatin1Char('6'));
        QCOMPARE(box.b.text, QStringLiteral("56.00"));
        box.type(QLatin1Char('.'));
        QCOMPARE(box.caret(), 3);
        box.type(QLatin1Char('7'));
        QCOMPARE(box.b.text, QStringLiteral("56.70"));
        box.type(QLatin1Char('8'));
        QCOMPARE(box.b.text, QStringLiteral("56.78"));
        box.type(QLatin1Char('9'));
        QCOMPARE(box.b.text, QStringLiteral("56.78"));
        QCOMPARE(box.b.maxLength, kMax);
        QCOMPARE(box.b.alignment, 1);
    }

    void anyKeyShowsTheTemplateInAnEmptyBox()
    {
        Box box;
        QCOMPARE(box.run(37, 0), 37); // an arrow key goes on to the box
        QCOMPARE(box.b.text, QStringLiteral("0.00"));
        QCOMPARE(box.caret(), 0);
        Box three;
        three.decimals = 3;
        three.type(QStringLiteral("5.1"));
        QCOMPARE(three.b.text, QStringLiteral("5.100"));
    }

    // clang-format off
    void digits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero at the start of 56.00") << "56.00" << 0 << 0 << "0" << "56.00";
        QTest::newRow("zero at the start of 0.00") << "0.00" << 0 << 0 << "0" << "0.00";
        QTest::newRow("caret before the point of 0.00") << "0.00" << 1 << 0 << "4" << "4.00";
        QTest::newRow("integer part grows at the point") << "56.00" << 2 << 0 << "7" << "567.00";
        QTest::newRow("overwrites inside the integer part") << "56.00" << 0 << 0 << "1" << "16.00";
        QTest::newRow("overwrites the first decimal") << "0.00" << 2 << 0 << "5" << "0.50";
        QTest::newRow("decimals full") << "56.78" << 5 << 0 << "9" << "56.78";
        QTest::newRow("over everything") << "56.78" << 0 << 5 << "9" << "9.00";
        QTest::newRow("over the decimals") << "56.78" << 3 << 2 << "9" << "56.90";
        QTest::newRow("over the integer part") << "56.78" << 0 << 2 << "9" << "9.78";
        QTest::newRow("over the point") << "56.78" << 1 << 3 << "9" << "59.80";
        QTest::newRow("over the point to the end") << "56.78" << 2 << 3 << "9" << "569.00";
        QTest::newRow("never in front of the sign") << "-5.00" << 0 << 0 << "7" << "-7.00";
        QTest::newRow("zero integer after the sign") << "-0.00" << 2 << 0 << "4" << "-4.00";
        QTest::newRow("over the point after the sign") << "-56.78" << 1 << 3 << "9" << "-9.78";
        QTest::newRow("letters, blank, plus, minus, Enter") << "56.78" << 2 << 0 << "a Z+-\r" << "56.78";
    }

    // clang-format on

    void digits()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        Box box(text, selStart, selLength);
        box.type(keys);
        QCOMPARE(box.b.text, expected);
    }

    // Backspace and Delete share the rules for a selection; without one they take the
    // character left or right of the caret.
    // clang-format off
    void erasing_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("caret");
        QTest::newRow("bs in the decimals") << "56.78" << 4 << 0 << false << "56.80" << 3;
        QTest::newRow("bs right after the point") << "56.78" << 3 << 0 << false << "56.78" << 3;
        QTest::newRow("bs at the end") << "56.78" << 5 << 0 << false << "56.70" << 4;
        QTest::newRow("bs in the integer part") << "56.78" << 2 << 0 << false << "5.78" << 1;
        QTest::newRow("bs of the only integer digit") << "5.78" << 1 << 0 << false << "0.78" << 0;
        QTest::newRow("bs at the start") << "56.78" << 0 << 0 << false << "56.78" << 0;
        QTest::newRow("bs after the sign") << "-5.00" << 1 << 0 << false << "-5.00" << 1;
        QTest::newRow("bs keeps the sign") << "-5.00" << 2 << 0 << false << "-0.00" << 1;
        QTest::newRow("del in the decimals") << "56.78" << 3 << 0 << true << "56.80" << 3;
        QTest::newRow("del before the point") << "56.78" << 2 << 0 << true << "56.78" << 2;
        QTest::newRow("del at the end") << "56.78" << 5 << 0 << true << "56.78" << 5;
        QTest::newRow("del at the start") << "56.78" << 0 << 0 << true << "6.78" << 0;
        QTest::newRow("del of the only integer digit") << "5.78" << 0 << 0 << true << "0.78" << 0;
        QTest::newRow("del steps over the sign") << "-56.00" << 0 << 0 << true << "-6.00" << 0;
        QTest::newRow("del of the digit after the sign") << "-5.00" << 1 << 0 << true << "-0.00" << 1;
        for (bool forward : {false, true}) {
            const char *k = forward ? "del" : "bs";
            QTest::addRow("%s everything", k) << "56.78" << 0 << 5 << forward << "0.00" << 0;
            QTest::addRow("%s integer digits", k) << "1234.50" << 1 << 2 << forward << "14.50" << 1;
            QTest::addRow("%s the whole integer part", k) << "56.78" << 0 << 2 << forward << "0.78" << 0;
            QTest::addRow("%s integer after the sign", k) << "-56.78" << 1 << 2 << forward << "-0.78" << 1;
            QTest::addRow("%s both decimals", k) << "56.78" << 3 << 2 << forward << "56.00" << 3;
            QTest::addRow("%s the first decimal", k) << "56.78" << 3 << 1 << forward << "56.80" << 3;
            QTest::addRow("%s across the point", k) << "56.78" << 1 << 3 << forward << "5.80" << 1;
            QTest::addRow("%s the point alone", k) << "56.78" << 2 << 1 << forward << "56.78" << 2;
            QTest::addRow("%s sign to point", k) << "-56.78" << 0 << 4 << forward << "0.78" << 0;
            QTest::addRow("%s digits to point after the sign", k) << "-56.78" << 1 << 3 << forward << "-0.78"
                                                                    << 1;
        }
    }

    // clang-format on

    void erasing()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(bool, forward);
        Box box(text, selStart, selLength);
        if (forward)
            box.del();
        else
            box.backspace();
        QTEST(box.b.text, "expected");
        QTEST(box.caret(), "caret");
        QCOMPARE(box.b.selLength, 0);
    }

    void maximumLength()
    {
        Box box;
        box.type(QStringLiteral("123456789012345.12"));
        QCOMPARE(box.b.text, QStringLiteral("123456789.12")); // nine integer digits, twelve in all

        // Where a sign may come, the integer part leaves room for it.
        Box signed_;
        signed_.minus = true;
        signed_.type(QStringLiteral("123456789012.12"));
        QCOMPARE(signed_.b.text, QStringLiteral("12345678.12"));
        signed_.type(QLatin1Char('-'));
        QCOMPARE(signed_.b.text, QStringLiteral("-12345678.12"));
        signed_.b.selStart = 9;
        signed_.type(QLatin1Char('9'));
        QCOMPARE(signed_.b.text, QStringLiteral("-12345678.12"));
    }

    void minusSign()
    {
        Box box(QStringLiteral("5.00"), 1);
        box.type(QLatin1Char('-'));
        QCOMPARE(box.b.text, QStringLiteral("5.00")); // the program's boxes take no sign

        box.minus = true;
        box.type(QLatin1Char('-'));
        QCOMPARE(box.b.text, QStringLiteral("-5.00"));
        QCOMPARE(box.caret(), 2);
        box.type(QLatin1Char('-'));
        QCOMPARE(box.b.text, QStringLiteral("5.00"));
        QCOMPARE(box.caret(), 1);

        Box empty;
        empty.minus = true;
        empty.type(QStringLiteral("-3"));
        QCOMPARE(empty.b.text, QStringLiteral("-3.00"));

        // A full box put there by a screen: the sign would push the last decimal out.
        Box full(QStringLiteral("123456789.12"), 0);
        full.minus = true;
        full.type(QLatin1Char('-'));
        QCOMPARE(full.b.text, QStringLiteral("123456789.12"));
    }

    void invalidDecimalLength()
    {
        Box box(QStringLiteral("5.00"));
        box.maxLength = 3;
        QCOMPARE(box.run('5', 1), 0);
        QCOMPARE(box.message, QStringLiteral("Invalid decimal length ...!"));
        QCOMPARE(box.b.text, QString());

        Box ok;
        ok.maxLength = 3;
        ok.decimals = 1;
        ok.type(QStringLiteral("7.5"));
        QCOMPARE(ok.b.text, QStringLiteral("7.5"));
        QVERIFY(ok.message.isEmpty());
    }

    // clang-format off
    void textFromElsewhereIsBroughtToTheTemplate_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero") << "0" << "0.00";
        QTest::newRow("letters") << "abc" << "0.00";
        QTest::newRow("whole number") << "1234" << "1234.00";
        QTest::newRow("one decimal") << "12.5" << "12.50";
        QTest::newRow("no integer digits") << ".5" << "0.50";
        QTest::newRow("sign and zero") << "-0" << "-0.00";
    }

    // clang-format on

    void textFromElsewhereIsBroughtToTheTemplate()
    {
        QFETCH(QString, text);
        Box box(text, 0);
        box.minus = true;
        box.run(36, 0);
        QTEST(box.b.text, "expected");
    }

    // clang-format off
    void paste_data()
    {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<bool>("taken");
        QTest::addColumn<QString>("expected");
        QTest::newRow("grouped") << " 1,234.5 " << true << "1234.50";
        QTest::newRow("whole") << "42" << true << "42.00";
        QTest::newRow("leading zeros") << "007.1" << true << "7.10";
        QTest::newRow("trailing zeros beyond the decimals") << "12.340" << true << "12.34";
        QTest::newRow("more decimals") << "12.345" << false << "56.78";
        QTest::newRow("letters") << "12a" << false << "56.78";
        QTest::newRow("sign") << "-5" << false << "56.78";
        QTest::newRow("point alone") << "." << false << "56.78";
        QTest::newRow("too long") << "1234567890" << false << "56.78";
        QTest::newRow("nine digits") << "123456789" << true << "123456789.00";
    }

    // clang-format on

    void paste()
    {
        QFETCH(QString, pasted);
        NumericBox b;
        b.text = QStringLiteral("56.78");
        QTEST(NumericPaste(b, pasted, kMax, kDec, false), "taken");
        QTEST(b.text, "expected");
    }

    void pasteWithSign()
    {
        NumericBox b;
        QVERIFY(NumericPaste(b, QStringLiteral("-5"), kMax, kDec, true));
        QCOMPARE(b.text, QStringLiteral("-5.00"));
        QVERIFY(NumericPaste(b, QStringLiteral("-0"), kMax, kDec, true));
        QCOMPARE(b.text, QStringLiteral("0.00"));
        QVERIFY(!NumericPaste(b, QStringLiteral("123456789"), kMax, kDec, true)); // no room for a sign
    }

    // Whatever is typed, erased or pasted, wherever the caret and selection are, the box holds
    // an optional sign, digits, the point and exactly its decimals, within its maximum length.
    void randomKeysKeepAWellFormedAmount()
    {
        QRandomGenerator rng(20260412);
        const QString keys = QStringLiteral("0123456789012345678901234567890123456789..-a +,");
        for (int round = 0; round < 3000; ++round) {
            Box box;
            box.decimals = rng.bounded(0, 4);
            box.maxLength = box.decimals + 2 + rng.bounded(0, 10);
            box.minus = rng.bounded(2) == 1;
            bool keySeen = false;
            for (int step = 0; step < 40; ++step) {
                const int len = box.b.text.length();
                if (len > 0 && rng.bounded(4) == 0) {
                    box.b.selStart = rng.bounded(len + 1);
                    box.b.selLength = rng.bounded(len - box.b.selStart + 1);
                }
                const int what = rng.bounded(12);
                if (what == 0) {
                    box.backspace();
                } else if (what == 1) {
                    box.del();
                } else if (what == 2) {
                    QString pasted;
                    for (int n = rng.bounded(1, 14); n > 0; --n)
                        pasted += keys.at(rng.bounded(int(keys.length())));
                    NumericPaste(box.b, pasted, box.maxLength, box.decimals, box.minus);
                } else {
                    box.type(keys.at(rng.bounded(int(keys.length()))));
                }
                const QString t = box.b.text;
                if (t.isEmpty() && !keySeen)
                    continue; // a refused paste leaves a box that never had a key empty
                keySeen = true;
                if (!WellFormed(t, box.decimals, box.minus) || t.length() > box.maxLength ||
                    box.b.selStart + box.b.selLength > t.length()) {
                    QFAIL(qPrintable(QStringLiteral("round %1 step %2: \"%3\" (max %4, %5 decimals)")
                                         .arg(round)
                                         .arg(step)
                                         .arg(t)
                                         .arg(box.maxLength)
                                         .arg(box.decimals)));
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_NumericKeyFilter)
#include "tst_numerickeyfilter.moc"
