#pragma once

#include <QString>

// The per-user settings store of the suite (application "Dalvoni", INI format, user scope).
namespace AppSettings {

// Reads a text; "" when absent.
QString Get(const QString &section, const QString &key);
void Save(const QString &section, const QString &key, const QString &value);

// The entries this program uses.
inline const char *const ServerSection = "ServerIp";
inline const char *const ServerKey = "ServerIP";
inline const char *const LoginSection = "Login";
inline const char *const LoginKey = "AUser";
// Ours: the unit (branch) of this workstation.
inline const char *const WorkstationSection = "IncomeTax";
inline const char *const UnitKey = "UnitCode";

} // namespace AppSettings
