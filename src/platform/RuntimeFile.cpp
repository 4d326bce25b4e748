#include "RuntimeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
