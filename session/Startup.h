#pragma once

#include "DbConnection.h"

#include <QString>

// Start-up of the program up to the splash: server address, the connection, the version
// check and the unit of this workstation.
namespace Startup {

// Where updates come from. The in-house servers get the in-house page, every other
// address the maker's public one.
inline const char *const kMakerWebAddress = "www.corvantis.in";
inline const char *const kInHouseServer1 = "192.168.10.5";
inline const char *const kInHouseServer2 = "192.168.10.6";
inline const char *const kInHouseUpdatePage = "http://192.168.10.5/updates/incometax/";
inline const char *const kPublicUpdatePage = "https://www.corvantis.in/updates/incometax/";

inline const char *const kVersionQuery = "Select * from dalvoni.versionmaster where pack_code='IT'";

enum class Outcome {
    Ready,            // connected, version accepted, unit known: show the splash
    ConnectionFailed, // the driver's text was shown; the program has been ended
    VersionRefused,   // the update message was shown and the update page opened; ended
    UnitUnknown,      // the workstation's unit is not in the unit master; ended
};

// Runs the start-up steps on the given connection (the session's one in the program).
// Every way out other than Ready shows its message and asks the platform to end the program.
Outcome Run(DbConnection &db);

// The three-line text of the version refusal.
QString VersionMessage(const QString &appVersion);
// The update page for a server address.
QString UpdatePage(const QString &serverAddress);

// Sets UnitCode and UnitName of this workstation from the settings store. Without an entry
// the first unit of the unit master (by code) is taken. Returns "" when the unit is set, else
// the message that says why not (the entry names no unit, or there is no unit at all).
QString UseWorkstationUnit(DbConnection &db);
// As UseWorkstationUnit, showing its message; false when the unit is not set.
bool FixWorkstationUnit(DbConnection &db);

} // namespace Startup
