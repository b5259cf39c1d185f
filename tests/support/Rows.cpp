#include "Rows.h"

namespace Rows {

QStringList Names(const QStringList &expected)
{
    QStringList names;
    for (const QString &entry : expected)
        names << entry.section(QLatin1Char('='), 0, 0);
    return names;
}

QStringList Of(const QStringList &expected, const std::function<QString(const QString &name)> &value)
{
    QStringList row;
    for (const QString &name : Names(expected))
        row << name + QLatin1Char('=') + value(name);
    return row;
}

} // namespace Rows
