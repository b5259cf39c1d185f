#include "TestDb.h"

#include "Rows.h"

#include "session/Common.h"
#include "session/mdlDalvoni.h"

#include <QStringList>

namespace TestDb {

DbConnection &Open()
{
    DbConnection &db = mdlDalvoni::Db();
    if (!db.isOpen())
        db.open(mdlDalvoni::ConnectionString(QStringLiteral("127.0.0.1")));
    return db;
}

void Reset()
{
    DbConnection &db = Open();
    if (db.inTransaction())
        db.rollback();
    // Every table the schema made in the suite's two databases, read once.
    static const QStringList tables = [&db] {
        QStringList names;
        Recordset rs = db.query(QStringLiteral("SELECT CONCAT(table_schema,'.',table_name) FROM "
                                               "information_schema.tables WHERE table_schema IN ('dalvoni','hr0910') "
                                               "AND table_type='BASE TABLE' ORDER BY 1"));
        for (; !rs.eof(); rs.moveNext())
            names << rs.text(0);
        return names;
    }();
    for (const QString &t : tables)
        db.execute(QStringLiteral("DELETE FROM ") + t);
    mdlDalvoni::ResetSession();
}

void Exec(const QString &sql)
{
    Open().execute(sql);
}

QVariant Scalar(const QString &sql)
{
    Recordset rs = Open().query(sql);
    if (rs.eof())
        return QVariant();
    return rs.value(0);
}

int Count(const QString &sqlWhereTable)
{
    return Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + sqlWhereTable).toInt();
}

QStringList Row(const QString &tableAndWhere, const QStringList &expected)
{
    Recordset rs = Open().query(QStringLiteral("SELECT ") + Rows::Names(expected).join(QLatin1Char(',')) +
                                QStringLiteral(" FROM ") + tableAndWhere);
    if (rs.eof())
        return {};
    return Rows::Of(expected, [&rs](const QString &name) { return rs.text(name); });
}

QList<QStringList> AllRows(const QString &tableAndRest, const QStringList &names)
{
    QList<QStringList> rows;
    Recordset rs = Open().query(QStringLiteral("SELECT ") + Rows::Names(names).join(QLatin1Char(',')) +
                                QStringLiteral(" FROM ") + tableAndRest);
    for (; !rs.eof(); rs.moveNext())
        rows << Rows::Of(names, [&rs](const QString &name) { return rs.text(name); });
    return rows;
}

void WithoutTaxRecordKey()
{
    if (Count("information_schema.statistics WHERE table_schema='hr0910' AND table_name='hr_it' AND "
              "index_name='ux_emp_period'") == 0)
        return;
    Exec("ALTER TABLE hr0910.hr_it DROP KEY ux_emp_period, ADD KEY ix_emp_period (emp_slno,emp_it_from,emp_it_to)");
}

void WithTaxRecordKey()
{
    if (Count("information_schema.statistics WHERE table_schema='hr0910' AND table_name='hr_it' AND "
              "index_name='ux_emp_period'") > 0)
        return;
    Exec("DELETE FROM hr0910.hr_it");
    Exec("ALTER TABLE hr0910.hr_it ADD UNIQUE KEY ux_emp_period (emp_slno,emp_it_from,emp_it_to)");
    if (Count("information_schema.statistics WHERE table_schema='hr0910' AND table_name='hr_it' AND "
              "index_name='ix_emp_period'") > 0)
        Exec("ALTER TABLE hr0910.hr_it DROP KEY ix_emp_period");
}

void LoadStandardMasters()
{
    Exec("INSERT INTO dalvoni.unitmaster VALUES ('HO','HEAD OFFICE'),('MUM','MUMBAI'),('CHN','CHENNAI'),"
         "('DLH','DELHI'),('KOL','KOLKATHA'),('PUN','PUNE')");
    Exec("INSERT INTO dalvoni.acc_companymaster VALUES ('C01','ZENITH TEXTILES LTD',0,1),('C02','ZENITH EXPORTS',0,2)");
    Exec("INSERT INTO dalvoni.userdetails VALUES (1,'admin','admin',1,'G1',0,0,1),(2,'clerk','clerk',0,'G2',1,1,0)");
    Exec("INSERT INTO dalvoni.versionmaster VALUES ('IT','V1.1')");
    struct Year
    {
        int y;
        double rebate;
        double cess;
        double slab2;
    };
    const Year years[] = {{2016, 5000, 3, 10}, {2017, 2500, 3, 5}, {2018, 2500, 4, 5}, {2019, 12500, 4, 5}};
    for (const Year &yr : years) {
        const QString from = QStringLiteral("%1-04-01").arg(yr.y), to = QStringLiteral("%1-03-31").arg(yr.y + 1);
        Exec(QStringLiteral("INSERT INTO dalvoni.ac_fin_year VALUES ('HO','%1','%2','%1','%2',%3,1,'%4-%5')")
                 .arg(from, to)
                 .arg(yr.y == 2018 ? 1 : 0)
                 .arg(yr.y)
                 .arg((yr.y + 1) % 100, 2, 10, QLatin1Char('0')));
        const QString key = QStringLiteral("'%1','%2',").arg(from, to);
        Exec(QStringLiteral("INSERT INTO hr0910.hr_it_setup VALUES (%1'80C_LIMIT',150000),(%1'HL_LIMIT',200000),"
                            "(%1'MC_LIMIT',25000),(%1'TAX_LIMIT',250000),(%1'REBATE',%2),(%1'CESS',%3)")
                 .arg(key, PlainNumber(yr.rebate), PlainNumber(yr.cess)));
        Exec(QStringLiteral("INSERT INTO hr0910.hr_it_slabs VALUES (%1 1,0,250000,0),(%1 2,250000,500000,%2),"
                            "(%1 3,500000,1000000,20),(%1 4,1000000,99999999,30)")
                 .arg(key, PlainNumber(yr.slab2)));
    }
    Exec("INSERT INTO hr0910.hr_designation VALUES ('D1','MANAGER'),('D2','CLERK')");
    Exec("INSERT INTO hr0910.hr_department VALUES ('P1','ACCOUNTS'),('P2','STORES')");
    Exec("INSERT INTO hr0910.hr_otherallowance VALUES ('OTH0000000001','BASIC',0),('OTH0000000002','DA',0),"
         "('OTH0000000017','SPECIAL PAY',0),('OTH0000000019','HRA',0),('OTH0000000013','PF',1),"
         "('OTH0000000014','VPF',1),('OTH0000000033','PROFESSION TAX',1),('OTH0000000048','CONVEYANCE',0),"
         "('OTH0000000023','TRANSPORT',0),('OTH0000000030','INCOME TAX',1),('OTH0000000040','OVERTIME',0),"
         "('OTH0000000041','REIMBURSEMENT',1)");
    Exec("INSERT INTO hr0910.hr_it_allowance (allowance_code,allowance_name,allowance_ded_per,allowance_ded_amount,"
         "allowance_flag,unit_code,comp_code) VALUES ('ITA000001','LIC PREMIUM',0,0,'1','HO','C01'),"
         "('ITA000005','HOUSE RENT PAID',0,0,'1','HO','C01')");
    Exec("INSERT INTO hr0910.numbersetup VALUES ('IT_CODE','ITA000006')");
}

void SetStandardSession()
{
    mdlDalvoni::ServerAddress = QStringLiteral("127.0.0.1");
    mdlDalvoni::AppVersion = QStringLiteral("V1.1");
    mdlDalvoni::UnitCode = QStringLiteral("HO");
    mdlDalvoni::UnitName = QStringLiteral("HEAD OFFICE");
    mdlDalvoni::UserId = QStringLiteral("1");
    mdlDalvoni::UserName = QStringLiteral("admin");
    mdlDalvoni::CompanyCode = QStringLiteral("C01");
    mdlDalvoni::CompanyName = QStringLiteral("ZENITH TEXTILES LTD");
    mdlDalvoni::FinYearFrom = QDate(2018, 4, 1);
    mdlDalvoni::FinYearTo = QDate(2019, 3, 31);
    mdlDalvoni::TaxYearStart = QDate(2018, 4, 1);
    mdlDalvoni::TaxYearEnd = QDate(2019, 3, 31);
}

void AddEmployee(const QString &slno, const QString &codeChar, const QString &code, const QString &name,
                 const QString &unit, int disable, int flag)
{
    Exec(
        QStringLiteral("INSERT INTO hr0910.hr_employee VALUES ('%1','%2','%3','%4','PAN%1','D1','P1','%5','C01',%6,%7)")
            .arg(SqlEscape(slno), SqlEscape(codeChar), SqlEscape(code), SqlEscape(name), unit)
            .arg(disable)
            .arg(flag));
}

void AddPaidEmployee(const QString &slno, const QString &code, const QString &name, const QString &unit)
{
    AddEmployee(slno, QStringLiteral("E"), code, name.isEmpty() ? QStringLiteral("NAME ") + code : name, unit);
    for (int m = 4; m <= 9; ++m) {
        const QDate month(2018, m, 1);
        AddSalary(slno, month, QStringLiteral("OTH0000000001"), 50000);
        AddSalary(slno, month, QStringLiteral("OTH0000000019"), 20000);
        AddSalary(slno, month, QStringLiteral("OTH0000000013"), 0, 6000);
        AddSalary(slno, month, QStringLiteral("OTH0000000033"), 0, 200);
        AddSalary(slno, month, QStringLiteral("OTH0000000030"), 0, 1000);
    }
}

void AddSalary(const QString &slno, const QDate &month, const QString &head, double dr, double cr)
{
    Exec(QStringLiteral(
             "INSERT INTO hr0910.hr_emp_salary (emp_slno,emp_sal_type,emp_sal_dr,emp_sal_cr,emp_sal_date_from) "
             "VALUES ('%1','%2',%3,%4,'%5')")
             .arg(SqlEscape(slno), SqlEscape(head), PlainNumber(dr), PlainNumber(cr), SqlDate(month)));
}

void AddNewRegimeYear(const NewRegimeSetup::Year &year, int fromYear)
{
    NewRegimeSetup::Save(Open(), year, QDate(fromYear, 4, 1), QDate(fromYear + 1, 3, 31),
                         {QStringLiteral("1"), QDateTime(QDate(fromYear, 4, 2), QTime(10, 0))});
}

void AddFinalize(const QDate &date, const QString &comp)
{
    Exec(QStringLiteral("INSERT INTO hr0910.hr_finalize VALUES ('%1','SAL','%2')").arg(comp, SqlDate(date)));
}

} // namespace TestDb
