#pragma once

#include <QString>

// The folder where the program writes its files (the print file, the "Excel Files" folder):
// the program's own folder, or, where that cannot be written (an installed copy), the
// user's data folder for this program, created when missing.
QString OutputFolder();
// The same for a given program folder.
QString OutputFolderFor(const QString &programFolder);
