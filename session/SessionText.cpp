#include "SessionText.h"

#include "Common.h"
#include "mdlDalvoni.h"

namespace SessionText {

QString StatusLine(const QString &products)
{
    using namespace mdlDalvoni;
    return products + CompanyName + QStringLiteral("    ") + UnitName + QStringLiteral("  [User : ") + UserName +
           QStringLiteral(" ]") + QStringLiteral("     [Financial Year ") + ShortDate(FinYearFrom) +
           QStringLiteral(" - ") + ShortDate(FinYearTo) + QStringLiteral("]");
}

QString FinYearCaption()
{
    using namespace mdlDalvoni;
    return QStringLiteral("Financial Year ") + ShortDate(FinYearFrom) + QStringLiteral(" - ") + ShortDate(FinYearTo);
}

QString MainCaption()
{
    using namespace mdlDalvoni;
    const QString gap(47, QLatin1Char(' '));
    const QString place = CompanyName + QStringLiteral("  ") + UnitName + gap;
    if (UserType)
        return QStringLiteral("Human Resource     ") + place + QStringLiteral("*[Current User : ") + UserName +
               QStringLiteral(" ]*");
    if (ServerAddress != QLatin1String("127.0.0.1"))
        return QStringLiteral("Income Tax Calculator  ") + place + QStringLiteral("[Current User : ") + UserName +
               QStringLiteral(" ]");
    return QStringLiteral("Income Tax Calculator   [Local]  ") + place + QStringLiteral("[Current User : ") + UserName +
           QStringLiteral(" ]");
}

} // namespace SessionText
