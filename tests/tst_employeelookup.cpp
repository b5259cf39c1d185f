// The employee list's statement as the three screens send it: the empty box, typed text, a
// box of blanks under each screen's rule, and text that would otherwise act in the SQL.
#include "lookup/EmployeeLookup.h"
#include "session/Common.h"

#include <QtTest>

namespace {

const QString kSelect = QStringLiteral(
    "Select concat(emp_code_char,emp_code),emp_name,desig_name,dept_name,unit_name,comp_name,emp_slno,emp_pan,"
    "emp_unit_code,hr_employee.comp_code from  hr0910.hr_employee Left Outer Join hr0910.hr_designation on "
    "desig_code=emp_desig_code  Left Outer Join hr0910.hr_department on dept_code=emp_dept_code  Left Outer Join "
    "dalvoni.unitmaster on unitmaster.unit_code=hr_employee.emp_unit_code  Left Outer Join dalvoni.acc_companymaster "
    "on acc_companymaster.comp_code=hr0910.hr_employee.comp_code");

QString All(const QString &company)
{
    return kSelect + " where  hr_employee.comp_code='" + company +
           "' and emp_disable=0 and emp_flag=0 order by concat(emp_code_char,emp_code)";
}

QString Matching(const QString &company, const QString &like)
{
    return kSelect + " Where hr_employee.comp_code='" + company + "' and  (concat(emp_code_char,emp_code) like '%" +
           like + "%' or emp_name like '%" + like +
           "%' and emp_disable=0 and emp_flag=0) order by concat(emp_code_char,emp_code)";
}

} // namespace

class tst_EmployeeLookup : public QObject
{
    Q_OBJECT

private slots:
    void statement_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("blanks");
        QTest::addColumn<QString>("expected");
        const int all = int(BlankCode::OffersAll), search = int(BlankCode::Searches);
        QTest::newRow("empty box, batch") << QString() << all << All("C01");
        QTest::newRow("empty box, worksheet and statement") << QString() << search << All("C01");
        QTest::newRow("typed: upper-cased and trimmed") << " ra " << search << Matching("C01", "RA");
        QTest::newRow("blanks offer all on the batch screen") << "   " << all << All("C01");
        QTest::newRow("blanks search elsewhere, matching every code") << "   " << search << Matching("C01", "");
        QTest::newRow("LIKE wildcards are searched for") << "ra_j%" << all << Matching("C01", "RA\\_J\\%");
        QTest::newRow("a quote is text") << "o'ne" << search << Matching("C01", SqlLikeEscape("O'NE"));
    }
    void statement()
    {
        QFETCH(QString, typed);
        QFETCH(int, blanks);
        QFETCH(QString, expected);
        QCOMPARE(EmployeeLookupSql(QStringLiteral("C01"), typed, BlankCode(blanks)), expected);
    }

    void companyCodeIsEscaped()
    {
        QCOMPARE(EmployeeLookupSql(QStringLiteral("C'1"), QString(), BlankCode::OffersAll), All(SqlEscape("C'1")));
    }
};

QTEST_APPLESS_MAIN(tst_EmployeeLookup)
#include "tst_employeelookup.moc"
