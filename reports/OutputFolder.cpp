#include "OutputFolder.h"

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
