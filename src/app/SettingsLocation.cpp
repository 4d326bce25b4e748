#include "SettingsLocation.h"

#include "forms/App.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString inFolder(const QString& folder, const QString& fileName)
{
    return folder.endsWith(u'/') ? folder + fileName : folder + u'/' + fileName;
}

} // namespace

QString SettingsLocation::filePath()
{
    const QString folder = App::Path();
    const QString name = App::EXEName();
    const QString fileName = name + QStringLiteral(".ini");

    const QString beside = inFolder(folder, fileName);
    // A read-only file in a writable folder stays the settings file: it is read, and
    // writes to it fail as the user meant them to.
    if (QFileInfo(folder).isWritable()) {
        return beside;
    }
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty()) {
        return beside;
    }
    return inFolder(inFolder(config, name), fileName);
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
