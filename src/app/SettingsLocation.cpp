#include "SettingsLocation.h"

#include "forms/App.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString inFolder(const QString& folder, const QString& fileName)
{
    return folder.endsWith(u'/') ? folder + fileName : folder + u'/' + fileName;
}

// The file in the user's configuration folder, or "" when there is no such folder.
QString inConfigFolder()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) {
        return {};
    }
    const QString name = App::EXEName();
    return inFolder(inFolder(config, name), name + QStringLiteral(".ini"));
}

} // namespace

QString SettingsLocation::filePath()
{
    const QString folder = App::Path();
    const QString beside = inFolder(folder, App::EXEName() + QStringLiteral(".ini"));
    // A read-only file in a writable folder stays the settings file: it is read, and
    // writes to it fail as the user meant them to.
    if (QFileInfo(folder).isWritable()) {
        return beside;
    }
    const QString config = inConfigFolder();
    return config.isEmpty() ? beside : config;
}

QString SettingsLocation::copyName()
{
    const QString program = QStringLiteral("Deskword");
    const QString path = filePath();
    if (path == inConfigFolder()) {
        return program;
    }
    QString folder = QDir::cleanPath(QFileInfo(path).absolutePath());
    const QString home = QDir::cleanPath(QDir::homePath());
    if (folder == home) {
        folder = QStringLiteral("~");
    } else if (folder.startsWith(home + u'/') && home != QStringLiteral("/")) {
        folder = QStringLiteral("~") + folder.mid(home.size());
    }
    return program + QStringLiteral(" — ") + folder;
}

QString SettingsLocation::readPath()
{
    const QString path = filePath();
    if (QFileInfo::exists(path)) {
        return path;
    }
    const QString beside = inFolder(App::Path(), App::EXEName() + QStringLiteral(".ini"));
    return QFileInfo::exists(beside) ? beside : path;
}

void SettingsLocation::setProgramForTesting(const QString& folder, const QString& name)
{
    App::setProgramForTesting(folder, name);
}
