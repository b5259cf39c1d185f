#include "AppSettings.h"

#include <QSettings>

namespace AppSettings {

QString Get(const QString &section, const QString &key)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Dalvoni"), QStringLiteral("Dalvoni"));
    return s.value(section + QLatin1Char('/') + key).toString();
}

void Save(const QString &section, const QString &key, const QString &value)
{
    QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Dalvoni"), QStringLiteral("Dalvoni"));
    s.setValue(section + QLatin1Char('/') + key, value);
    s.sync();
}

} // namespace AppSettings
