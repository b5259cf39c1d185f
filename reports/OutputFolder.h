#pragma once

#include <QString>

// The folder where the program writes its files (the print file, the "Excel Files" folder):
// the program's own folder, or, where that cannot be written or the program is the installed
// copy (whose folder root could write), the user's data folder for this program, created when
// missing.
QString OutputFolder();
// The same for a given program folder and the folder the build installs the programs into.
QString OutputFolderFor(const QString &programFolder, const QString &installedFolder = QString());
