#pragma once

#include <QString>

// The per-user settings store of the suite (application "Dalvoni", INI format, user scope).
namespace AppSettings {

// Reads a text; "" when absent.
QString Get(const QString &section, const QString &key);
void Save(const QString &section, const QString &key, const QString &value);

// The entries this program uses.
inline const char *const kServerSection = "ServerIp";
inline const char *const kServerKey = "ServerIP";
inline const char *const kLoginSection = "Login";
inline const char *const kLoginKey = "AUser";
// Ours: the unit (branch) of this workstation.
inline const char *const kWorkstationSection = "IncomeTax";
inline const char *const kUnitKey = "UnitCode";

} // namespace AppSettings
