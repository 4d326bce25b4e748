#include "RuntimeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#if defined(Q_OS_UNIX)
#include <sys/stat.h>
#endif

QString RuntimeFile::path(const QString& key, const QString& suffix)
{
    const QString clean = QDir::cleanPath(key);
    const QByteArray hash = QCryptographicHash::hash(clean.toUtf8(), QCryptographicHash::Sha1);
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return folder + QLatin1Char('/') + QFileInfo(clean).completeBaseName() + QLatin1Char('-') +
           QString::fromLatin1(hash.toHex().left(16)) + suffix;
}

void RuntimeFile::keep(const QString& path)
{
#if defined(Q_OS_UNIX)
    const QByteArray native = QFile::encodeName(path);
    struct stat info
    {
    };
    if (::stat(native.constData(), &info) == 0 && (info.st_mode & S_ISVTX) == 0) {
        ::chmod(native.constData(), (info.st_mode & 07777) | S_ISVTX);
    }
#else
    Q_UNUSED(path);
#endif
}
