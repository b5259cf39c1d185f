#pragma once

#include <QString>

// The folder where the program writes its files (the print file, the "Excel Files" folder):
// the program's own folder, or, where that cannot be written or the program is the installed
// copy (whose folder root could write), the user's data folder for this program, created when
// missing.
QString OutputFolder();
// The same for a given program folder and the folder the build installs the programs into.
QString OutputFolderFor(const QString &programFolder, const QString &installedFolder = QString());

// Why a file could not be written, in the clerk's words: "the disk that holds the folder /x is
// full", "the folder /x may not be written to", or the system's own reason. errorNumber is the
// errno of the failure, 0 when it is not known (the folder's free space then tells a full disk).
// diskFull, when given, tells whether the disk is full.
QString WriteFailureReason(const QString &path, int errorNumber, bool *diskFull = nullptr);

// Asks where to save an exported workbook: the save dialog opens in the "Excel Files" folder of
// the output folder (created when missing) with the proposed name; ".xlsx" is added where the
// chosen name lacks it, and an existing file is replaced only after a Yes. Empty when the user
// cancelled or said No.
QString ChooseWorkbookFile(const QString &proposedName);
