#pragma once

#include <QObject>

// The fixture of every test that works on the standard company (TestDb::LoadStandardMasters).
// Before each test function the test server is emptied, the standard masters are loaded, the
// session is set as after login, company choice and default year, and then the test file's
// own data is added. A test class derives from it instead of QObject.
class CompanyTest : public QObject
{
    Q_OBJECT

protected:
    // The data every test of the file starts from, on top of the standard company.
    virtual void addCompanyData() {}

private slots:
    void init();
};
