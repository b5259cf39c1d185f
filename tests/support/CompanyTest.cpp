#include "CompanyTest.h"

#include "TestDb.h"

void CompanyTest::init()
{
    TestDb::Reset();
    TestDb::LoadStandardMasters();
    TestDb::SetStandardSession();
    addCompanyData();
}
