// The worksheet's declaration totals and tax, without a window or a server.
#include "session/Common.h"
#include "tax/Worksheet.h"

#include <QtTest>

using namespace Worksheet;

namespace {

// A year with the usual bands: 0-2.5 lakh, 2.5-5 lakh, 5-10 lakh, above 10 lakh.
YearSetup Year(int fromYear, double slab2Rate, double cess)
{
    YearSetup s;
    s.finYearFrom = QDate(fromYear, 4, 1);
    s.finYearTo = QDate(fromYear + 1, 3, 31);
    s.taxYearStart = s.finYearFrom;
    s.taxYearEnd = s.finYearTo;
    s.slabs[0] = {0, 250000, 0};
    s.slabs[1] = {250000, 500000, slab2Rate};
    s.slabs[2] = {500000, 1000000, 20};
    s.slabs[3] = {1000000, 99999999, 30};
    s.cessRate = cess;
    return s;
}

// Figures whose taxable amount is exactly the gross pay given.
Figures WithTaxable(double taxable, double totalPay = -1)
{
    Figures f = OpenedFigures();
    Clear(f);
    f.TxGrossPay = Format00(taxable);
    f.TxProjection = QStringLiteral("0.00");
    f.TxTotalPay = Format00(totalPay < 0 ? taxable : totalPay);
    f.TxMediClaimLimit = QStringLiteral("25000.00");
    f.TxHLInterestLimit = QStringLiteral("200000.00");
    f.Tx80CLimit = QStringLiteral("150000.00");
    f.TxExcemption = QStringLiteral("250000.00");
    f.LbRebate = QStringLiteral("777.00");
    return f;
}

// Basic pay and house-rent allowance received, as the payroll would answer.
SalarySum Sums(double basic, double received)
{
    return [basic, received](SalaryFigures::Head head) {
        return head == SalaryFigures::Head::BasicPay ? basic : received;
    };
}

SalarySum NoServer()
{
    return [](SalaryFigures::Head) -> double { throw std::logic_error("no salary sum expected"); };
}

void AddLine(Figures &f, int line, const QString &name, const QString &amount, const QString &code = QString())
{
    f.lines[line - 1] = {QString::number(line), name, amount, code};
}

} // namespace

class tst_WorksheetCompute : public QObject
{
    Q_OBJECT

private slots:
    // Slab tax, rebate, cess and the amount to pay, year by year, on and around every boundary.
    void taxByYear_data()
    {
        QTest::addColumn<int>("fromYear");
        QTest::addColumn<double>("slab2Rate");
        QTest::addColumn<double>("cess");
        QTest::addColumn<double>("taxable");
        QTest::addColumn<double>("totalPay");
        QTest::addColumn<QString>("netTaxable");
        QTest::addColumn<QString>("rebate");
        QTest::addColumn<QString>("netAmount");
        QTest::addColumn<QString>("cessAmount");
        QTest::addColumn<QString>("toPay");

        // From 2016-17 on: slab 1 taxes the income above the limit at slab 2's rate.
        QTest::newRow("2018 slab 1") << 2018 << 5.0 << 4.0 << 200000.0 << -1.0 << "0.00"
                                     << "2500.00"
                                     << "0.00"
                                     << "0.00"
                                     << "0";
        QTest::newRow("2018 slab 2, rebate eats it") << 2018 << 5.0 << 4.0 << 300000.0 << -1.0 << "2500.00"
                                                     << "2500.00"
                                                     << "0.00"
                                                     << "0.00"
                                                     << "0";
        QTest::newRow("2018 just below 350000") << 2018 << 5.0 << 4.0 << 349999.0 << -1.0 << "4999.95"
                                                << "2500.00"
                                                << "2499.95"
                                                << "100.00"
                                                << "2599.95";
        QTest::newRow("2018 exactly 350000, no rebate") << 2018 << 5.0 << 4.0 << 350000.0 << -1.0 << "5000.00"
                                                        << "0.00"
                                                        << "5000.00"
                                                        << "200.00"
                                                        << "5200";
        QTest::newRow("2018 slab 2 end inclusive") << 2018 << 5.0 << 4.0 << 500000.0 << -1.0 << "12500.00"
                                                   << "0.00"
                                                   << "12500.00"
                                                   << "500.00"
                                                   << "13000";
        QTest::newRow("2018 slab 3") << 2018 << 5.0 << 4.0 << 750000.0 << -1.0 << "62500"
                                     << "0.00"
                                     << "62500.00"
                                     << "2500.00"
                                     << "65000";
        QTest::newRow("2018 slab 3 end inclusive") << 2018 << 5.0 << 4.0 << 1000000.0 << -1.0 << "112500"
                                                   << "0.00"
                                                   << "112500.00"
                                                   << "4500.00"
                                                   << "117000";
        QTest::newRow("2018 slab 4") << 2018 << 5.0 << 4.0 << 1200000.0 << -1.0 << "172500"
                                     << "0.00"
                                     << "172500.00"
                                     << "6900.00"
                                     << "179400";
        QTest::newRow("2017 exactly 350000") << 2017 << 5.0 << 3.0 << 350000.0 << -1.0 << "5000.00"
                                             << "0.00"
                                             << "5000.00"
                                             << "150.00"
                                             << "5150";
        QTest::newRow("2016 below 500000, rebate 5000") << 2016 << 10.0 << 3.0 << 499999.99 << -1.0 << "25000.00"
                                                        << "5000.00"
                                                        << "20000.00"
                                                        << "600.00"
                                                        << "20600";
        QTest::newRow("2016 exactly 500000") << 2016 << 10.0 << 3.0 << 500000.0 << -1.0 << "25000.00"
                                             << "0.00"
                                             << "25000.00"
                                             << "750.00"
                                             << "25750";
        QTest::newRow("2019 below 500000, rebate 12500") << 2019 << 5.0 << 4.0 << 499999.0 << -1.0 << "12499.95"
                                                         << "12500.00"
                                                         << "0.00"
                                                         << "0.00"
                                                         << "0";
        QTest::newRow("2019 exactly 500000") << 2019 << 5.0 << 4.0 << 500000.0 << -1.0 << "12500.00"
                                             << "0.00"
                                             << "12500.00"
                                             << "500.00"
                                             << "13000";
        // Up to 2015-16 the older slab rule applies.
        QTest::newRow("2015 old rule slab 2") << 2015 << 10.0 << 3.0 << 400000.0 << -1.0 << "15000.00"
                                              << "2000.00"
                                              << "13000.00"
                                              << "390.00"
                                              << "13390";
        QTest::newRow("2015 old rule slab 3") << 2015 << 10.0 << 3.0 << 800000.0 << -1.0 << "85000"
                                              << "0.00"
                                              << "85000.00"
                                              << "2550.00"
                                              << "87550";
        QTest::newRow("2015 old rule slab 4") << 2015 << 10.0 << 3.0 << 1200000.0 << -1.0 << "285000.00"
                                              << "0.00"
                                              << "285000.00"
                                              << "8550.00"
                                              << "293550";
        QTest::newRow("2014 exactly 500000") << 2014 << 10.0 << 3.0 << 500000.0 << -1.0 << "25000"
                                             << "0.00"
                                             << "25000.00"
                                             << "750.00"
                                             << "25750";
        // 2013-14 tests the total pay, not the taxable amount.
        QTest::newRow("2013 total pay 500000") << 2013 << 10.0 << 3.0 << 300000.0 << 500000.0 << "5000.00"
                                               << "0.00"
                                               << "5000.00"
                                               << "150.00"
                                               << "5150";
        QTest::newRow("2013 total pay below") << 2013 << 10.0 << 3.0 << 300000.0 << 499999.99 << "5000.00"
                                              << "2000.00"
                                              << "3000.00"
                                              << "90.00"
                                              << "3090";
        // A year outside the table keeps the stored rebate.
        QTest::newRow("2012 stored rebate") << 2012 << 10.0 << 3.0 << 300000.0 << -1.0 << "5000.00"
                                            << "777.00"
                                            << "4223.00"
                                            << "126.69"
                                            << "4349.69";
        // Above the last slab's end no case applies: the tax is the income above the limit.
        QTest::newRow("2018 above every slab") << 2018 << 5.0 << 4.0 << 100000000.0 << -1.0 << "99750000.00"
                                               << "0.00"
                                               << "99750000.00"
                                               << "3990000.00"
                                               << "103740000";
    }
    void taxByYear()
    {
        QFETCH(int, fromYear);
        QFETCH(double, slab2Rate);
        QFETCH(double, cess);
        QFETCH(double, taxable);
        QFETCH(double, totalPay);
        Figures f = WithTaxable(taxable, totalPay);
        f.TxSalaryDeductions = QStringLiteral("1000.00");
        ComputeTax(f, Year(fromYear, slab2Rate, cess));
        QCOMPARE(f.TxTaxableAmt, Format00(taxable));
        QTEST(f.TxNetTaxable, "netTaxable");
        QTEST(f.LbRebate, "rebate");
        QTEST(f.LbNetAmount, "netAmount");
        QTEST(f.TxCess, "cessAmount");
        QTEST(f.TxNetTax, "toPay");
        QCOMPARE(f.TxBalance, Format00(LeadingNumber(f.TxNetTax) - 1000));
    }

    // The older rule adds 30000 when the income above the limit passes slab 2's start.
    void oldRuleAddsThirtyThousand()
    {
        YearSetup s = Year(2015, 10, 3);
        s.slabs[1] = {0, 2000000, 10};
        Figures f = WithTaxable(800000);
        ComputeTax(f, s);
        QCOMPARE(f.TxNetTaxable, QStringLiteral("85000"));
        // Below the exemption limit the amount tested is the limit itself: no case, no tax.
        Figures low = WithTaxable(100000);
        ComputeTax(low, Year(2015, 10, 3));
        QCOMPARE(low.TxNetTaxable, QStringLiteral("0.00"));
        QCOMPARE(low.TxTaxableIncome, QStringLiteral("0.00"));
    }

    // Unlike the stored tax record, a negative taxable amount stays negative, and a taxable
    // amount that falls between the slab cases is taxed as the income above the limit.
    void differencesFromTheStoredRecord()
    {
        Figures negative = WithTaxable(0);
        negative.TxHRA = QStringLiteral("1000.00");
        ComputeTax(negative, Year(2018, 5, 4));
        QCOMPARE(negative.TxTaxableAmt, QStringLiteral("-1000.00"));
        QCOMPARE(negative.TxNetTaxable, QStringLiteral("0.00"));
        QCOMPARE(negative.TxNetTax, QStringLiteral("0"));

        Figures between = WithTaxable(250000);
        between.TxExcemption = QStringLiteral("200000.00");
        ComputeTax(between, Year(2018, 5, 4));
        QCOMPARE(between.TxNetTaxable, QStringLiteral("50000.00"));
        QCOMPARE(between.TxNetTax, QStringLiteral("49400"));
    }

    // Each deduction is taken off, mediclaim and interest up to their limits.
    void deductionsAndLimits_data()
    {
        QTest::addColumn<QString>("mediclaim");
        QTest::addColumn<QString>("mcLimit");
        QTest::addColumn<QString>("interest");
        QTest::addColumn<QString>("hlLimit");
        QTest::addColumn<QString>("taxable");
        QTest::newRow("below the limits") << "20000.00"
                                          << "25000.00"
                                          << "150000.00"
                                          << "200000.00"
                                          << "630000.00";
        QTest::newRow("at the limits") << "25000.00"
                                       << "25000.00"
                                       << "200000.00"
                                       << "200000.00"
                                       << "575000.00";
        QTest::newRow("above the limits") << "30000.00"
                                          << "25000.00"
                                          << "250000.00"
                                          << "200000.00"
                                          << "575000.00";
        QTest::newRow("limits of 0") << "30000.00"
                                     << "0.00"
                                     << "250000.00"
                                     << "0.00"
                                     << "800000.00";
        QTest::newRow("limits not set") << "30000.00"
                                        << ""
                                        << "250000.00"
                                        << ""
                                        << "800000.00";
    }
    void deductionsAndLimits()
    {
        QFETCH(QString, mediclaim);
        QFETCH(QString, mcLimit);
        QFETCH(QString, interest);
        QFETCH(QString, hlLimit);
        Figures f = WithTaxable(0);
        f.TxGrossPay = QStringLiteral("700000");
        f.TxProjection = QStringLiteral("300000.00");
        f.TxHRA = QStringLiteral("50000.00");
        f.TxHraProjection = QStringLiteral("25000.00");
        f.TxProfTax = QStringLiteral("2500.00");
        f.TxTransportAllowance = QStringLiteral("40000.00");
        f.TxNet80C = QStringLiteral("82500.00");
        f.TxMediClaim = mediclaim;
        f.TxMediClaimLimit = mcLimit;
        f.TxHLInterest = interest;
        f.TxHLInterestLimit = hlLimit;
        ComputeTax(f, Year(2018, 5, 4));
        QTEST(f.TxTaxableAmt, "taxable");
    }

    // 80C: the filled lines up to the first empty one, provident fund always, up to the limit.
    void eightyCTotal()
    {
        Figures f = WithTaxable(0);
        f.TxPF = QStringLiteral("21600.00");
        QVERIFY(f.lines.size() == 20);
        ComputeDeclarations(f, NoServer());
        QCOMPARE(f.TxTotal80c, QStringLiteral("21600.00"));
        QCOMPARE(f.TxNet80C, QStringLiteral("21600.00"));

        AddLine(f, 1, QStringLiteral("LIC PREMIUM"), QStringLiteral("50000.00"), QStringLiteral("ITA000001"));
        AddLine(f, 2, QStringLiteral("PPF"), QStringLiteral("78400.5"));
        AddLine(f, 4, QStringLiteral("AFTER A GAP"), QStringLiteral("90000.00"));
        ComputeDeclarations(f, NoServer());
        QCOMPARE(f.TxTotal80c, QStringLiteral("150000.50"));
        QCOMPARE(f.TxNet80C, QStringLiteral("150000.00"));

        f.lines[1].amount = QStringLiteral("78400.00");
        ComputeDeclarations(f, NoServer());
        QCOMPARE(f.TxTotal80c, QStringLiteral("150000.00"));
        QCOMPARE(f.TxNet80C, QStringLiteral("150000.00"));

        f.TxNetTax = QStringLiteral("5200");
        f.TxSalaryDeductions = QStringLiteral("6000.00");
        ComputeDeclarations(f, NoServer());
        QCOMPARE(f.TxBalance, QStringLiteral("-800.00"));
    }

    // The rent line: the exemption by the excess of rent over a tenth of basic, the allowance
    // received and the city's cap; projected only while months remain.
    void rentExemption_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("rent");
        QTest::addColumn<QString>("months");
        QTest::addColumn<QString>("hra");
        QTest::addColumn<QString>("projection");
        // basic 240000 (a tenth 24000), received 110000; caps 120000 (cities) and 96000.
        QTest::newRow("excess not above received") << "PUNE"
                                                   << "134000.00"
                                                   << "6"
                                                   << "110000.00"
                                                   << "110000.00";
        QTest::newRow("rent below a tenth of basic") << "PUNE"
                                                     << "20000.00"
                                                     << "6"
                                                     << "110000.00"
                                                     << "110000.00";
        QTest::newRow("elsewhere, cap 40%") << "PUNE"
                                            << "200000.00"
                                            << "3"
                                            << "96000.00"
                                            << "32000.00";
        QTest::newRow("MUMBAI") << "MUMBAI"
                                << "200000.00"
                                << "3"
                                << "110000.00"
                                << "36666.67";
        QTest::newRow("CHENNAI") << "CHENNAI"
                                 << "200000.00"
                                 << "0"
                                 << "110000.00"
                                 << "0.00";
        QTest::newRow("KOLKATHA") << "KOLKATHA"
                                  << "200000.00"
                                  << "11"
                                  << "110000.00"
                                  << "1210000.00";
        QTest::newRow("DELHI") << "DELHI"
                               << "200000.00"
                               << "12"
                               << "110000.00"
                               << "0.00";
        QTest::newRow("names are exact") << "Mumbai"
                                         << "200000.00"
                                         << ""
                                         << "96000.00"
                                         << "0.00";
    }
    void rentExemption()
    {
        QFETCH(QString, unit);
        QFETCH(QString, rent);
        QFETCH(QString, months);
        Figures f = WithTaxable(0);
        f.LbUnit = unit;
        f.TxMonths = months;
        AddLine(f, 1, QStringLiteral("LIC PREMIUM"), QStringLiteral("10000.00"), QStringLiteral("ITA000001"));
        AddLine(f, 2, QStringLiteral("HOUSE RENT PAID"), rent, QStringLiteral("ITA000005"));
        ComputeDeclarations(f, Sums(240000, 110000));
        QTEST(f.TxHRA, "hra");
        QTEST(f.TxHraProjection, "projection");
        QCOMPARE(f.TxTotal80c, QStringLiteral("10000.00")); // rent is no 80C item
    }

    // Without a rent line there is no exemption, whatever the screen showed before.
    void lastRentLineCountsAndNoRentHasNoExemption()
    {
        Figures f = WithTaxable(0);
        f.LbUnit = QStringLiteral("PUNE");
        f.TxHRA = QStringLiteral("1.00");
        f.TxHraProjection = QStringLiteral("2.00");
        ComputeDeclarations(f, NoServer());
        QCOMPARE(f.TxHRA, QStringLiteral("0.00"));
        QCOMPARE(f.TxHraProjection, QStringLiteral("0.00"));

        AddLine(f, 1, QStringLiteral("HOUSE RENT PAID"), QStringLiteral("200000.00"), QStringLiteral("ITA000005"));
        AddLine(f, 2, QStringLiteral("HOUSE RENT PAID"), QStringLiteral("30000.00"), QStringLiteral("ITA000005"));
        ComputeDeclarations(f, Sums(240000, 110000));
        QCOMPARE(f.TxHRA, QStringLiteral("110000.00"));
        QCOMPARE(f.TxHraProjection, QStringLiteral("0.00"));
    }

    // A fresh employee: names and figures emptied, limits and the last result kept, 20 lines.
    void clearingKeepsLimits()
    {
        Figures f = WithTaxable(400000);
        f.LbName = QStringLiteral("A");
        f.LbRebate = QStringLiteral("2500.00");
        f.TxCess = QStringLiteral("9.00");
        f.lines.resize(30);
        f.lines[25].particulars = QStringLiteral("X");
        Figures before = f;
        Clear(f);
        QCOMPARE(f.LbName, QString());
        QCOMPARE(f.TxGrossPay, QString());
        QCOMPARE(f.TxTotalPay, QStringLiteral("0.00"));
        QCOMPARE(f.TxExcemption, QStringLiteral("250000.00"));
        QCOMPARE(f.LbRebate, QStringLiteral("2500.00"));
        QCOMPARE(f.TxCess, QStringLiteral("9.00"));
        QCOMPARE(f.lines.size(), 20);
        QCOMPARE(f.filledLines(), 0);
        QVERIFY(!TaxInputsDiffer(before, before));
        before.TxNet80C = QStringLiteral("1.00");
        QVERIFY(TaxInputsDiffer(before, f));
    }

    // The save sends typed text exactly as typed and amounts as the plain numbers shown.
    void saveStatements()
    {
        Figures f = WithTaxable(0);
        f.LbSerialNo = QStringLiteral("E1 ");
        f.TxHLInterest = QStringLiteral("120000.50");
        f.TxMediClaim = QStringLiteral("0.00");
        AddLine(f, 1, QStringLiteral("LIC"), QStringLiteral("5000.00"), QStringLiteral("ITA000001"));
        AddLine(f, 2, QStringLiteral("O'BRIEN \\ FUND"), QStringLiteral("12,500"));
        AddLine(f, 3, QStringLiteral("NSC"), QStringLiteral("45000.001e5"));
        const QStringList sql = SaveStatements(f, QDate(2018, 4, 1), QDate(2019, 3, 31));
        QCOMPARE(sql.size(), 5);
        QCOMPARE(sql[0], QStringLiteral("Delete from hr_it_trans where emp_slno='E1 ' and emp_it_from='2018-04-01' "
                                        "and emp_it_to='2019-03-31'"));
        QCOMPARE(sql[1], QStringLiteral("Insert into hr_it_trans (emp_slno, emp_it_allowance_code, emp_amount,"
                                        "emp_allowance_slno,emp_it_from,emp_it_to) values('E1','ITA000001',"
                                        "'5000',1,'2018-04-01','2019-03-31' )"));
        QVERIFY(sql[2].contains(QStringLiteral("values('E1','','12',2,")));
        QVERIFY(sql[3].contains(QStringLiteral("values('E1','','45000.001',3,")));
        QCOMPARE(LineWithoutAmount(f), 0);
        f.lines[1].amount.clear();
        QCOMPARE(LineWithoutAmount(f), 2);
        QVERIFY(SaveStatements(f, QDate(2018, 4, 1), QDate(2019, 3, 31))[2].contains("values('E1','','0',2,"));
        QCOMPARE(sql[4], QStringLiteral("Update hr_it set emp_hl_int=120000.5,emp_mc=0 where emp_slno='E1' and "
                                        "emp_it_from='2018-04-01' and emp_it_to='2019-03-31'"));
    }
};

QTEST_GUILESS_MAIN(tst_WorksheetCompute)
#include "tst_worksheetcompute.moc"
