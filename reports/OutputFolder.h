#pragma once

#include <QString>

// The folder where the program writes its files (the print file, the "Excel Files" folder):
// the program's own folder, or, where that cannot be written (an installed copy), the
// user's data folder for this program, created when missing.
QString OutputFolder();
// The same for a given program folder.
QString OutputFolderFor(const QString &programFolder);

// Asks where to save an exported workbook: the save dialog opens in the "Excel Files" folder of
// the output folder (created when missing) with the proposed name; ".xlsx" is added where the
// chosen name lacks it, and an existing file is replaced only after a Yes. Empty when the user
// cancelled or said No.
QString ChooseWorkbookFile(const QString &proposedName);
