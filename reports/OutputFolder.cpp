#include "OutputFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString OutputFolder()
{
    return OutputFolderFor(QCoreApplication::applicationDirPath());
}

QString OutputFolderFor(const QString &programFolder)
{
    const QFileInfo own(programFolder);
    if (own.isDir() && own.isWritable())
        return own.absoluteFilePath();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    QDir().mkpath(data);
    return data;
}
