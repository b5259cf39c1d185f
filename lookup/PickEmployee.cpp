#include "PickEmployee.h"

#include "frmListView.h"
#include "session/mdlDalvoni.h"

std::optional<EmployeePick> PickEmployee(const QString &companyCode, const QString &typed, BlankCode blanks)
{
    frmListView::ShowForm(EmployeeLookupSql(companyCode, typed, blanks), 10, QStringLiteral("Employee"), 17000, 700,
                          QStringLiteral("Code"), 3000, QStringLiteral("Name"), 3000, QStringLiteral("Designation"),
                          2000, QStringLiteral("Department"), 2500, QStringLiteral("Unit"), 2000,
                          QStringLiteral("Company"), 2000, QStringLiteral("Serial No"), 2000, QStringLiteral("Pan"), 0,
                          QStringLiteral("unitCode"), 0, QStringLiteral("compcode"));
    bool picked = false;
    for (int n = 1; n <= 10; ++n)
        picked = picked || !mdlDalvoni::ListPick(n).isEmpty();
    const EmployeePick pick{mdlDalvoni::ListPick1, mdlDalvoni::ListPick2, mdlDalvoni::ListPick3, mdlDalvoni::ListPick4,
                            mdlDalvoni::ListPick5, mdlDalvoni::ListPick6, mdlDalvoni::ListPick7, mdlDalvoni::ListPick8,
                            mdlDalvoni::ListPick9, mdlDalvoni::ListPick10};
    mdlDalvoni::ClearListPicks();
    if (!picked)
        return std::nullopt;
    return pick;
}
