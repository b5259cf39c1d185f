#include "OutputFolder.h"

#include "session/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <cerrno>
#include <cstring>

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

QString WriteFailureReason(const QString &path, int errorNumber, bool *diskFull)
{
    const QString folder = QDir::toNativeSeparators(QFileInfo(path).absolutePath());
    // Less than this left counts as full: no workbook or print file of a statement fits.
    constexpr qint64 kNearlyFull = 1024 * 1024;
    const bool full = errorNumber == ENOSPC || errorNumber == EDQUOT ||
                      (errorNumber == 0 && QStorageInfo(QFileInfo(path).absolutePath()).bytesAvailable() < kNearlyFull);
    if (diskFull)
        *diskFull = full;
    if (full)
        return QStringLiteral("the disk that holds the folder ") + folder + QStringLiteral(" is full");
    if (errorNumber == EACCES || errorNumber == EPERM)
        return QStringLiteral("the folder ") + folder + QStringLiteral(" may not be written to");
    if (errorNumber == ENOENT || errorNumber == ENOTDIR)
        return QStringLiteral("the folder ") + folder + QStringLiteral(" does not exist");
    if (errorNumber == EROFS)
        return QStringLiteral("the folder ") + folder + QStringLiteral(" is on a disk that can only be read");
    if (errorNumber != 0)
        return QStringLiteral("the system reports: ") + QString::fromLocal8Bit(std::strerror(errorNumber));
    return QStringLiteral("it could not be written completely");
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
