#include "OutputFolder.h"

#include "session/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString OutputFolder()
{
    return OutputFolderFor(QCoreApplication::applicationDirPath(), QStringLiteral(IT_INSTALLED_BINDIR));
}

QString OutputFolderFor(const QString &programFolder, const QString &installedFolder)
{
    const QFileInfo own(programFolder);
    const bool installed =
        !installedFolder.isEmpty() && own.canonicalFilePath() == QFileInfo(installedFolder).canonicalFilePath();
    if (own.isDir() && own.isWritable() && !installed)
        return own.absoluteFilePath();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return data;
}

QString ChooseWorkbookFile(const QString &proposedName)
{
    const QString folder = QDir(OutputFolder()).filePath(QStringLiteral("Excel Files"));
    QDir().mkpath(folder);
    QString chosen = platform().saveFileName(folder, QStringLiteral("Excel Files (*.xlsx)"), proposedName);
    if (chosen.isEmpty())
        return {}; // cancelled
    if (!chosen.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        chosen += QStringLiteral(".xlsx");
    if (QFileInfo::exists(chosen) &&
        !platform().askYesNo(QStringLiteral("Are you sure you want to overwrite"), Platform::Icon::Information))
        return {};
    return chosen;
}
