#include "App.h"

#include "platform/DesktopWindow.h"
#include "platform/RuntimeFile.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QSysInfo>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

namespace {

App::MessageBoxHandler& messageBoxHandler()
{
    static App::MessageBoxHandler handler;
    return handler;
}

App::EndHandler& endHandler()
{
    static App::EndHandler handler;
    return handler;
}

struct ProgramOverride
{
    QString folder;
    QString name;
};

ProgramOverride& programOverride()
{
    static ProgramOverride program;
    return program;
}

// The lock that marks this process as the running instance, once taken.
std::unique_ptr<QLockFile>& instanceLock()
{
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

// A lock that names this very process is left over from an earlier process that
// had the same ID: in a PID namespace a restart often gets its predecessor's ID.
bool namesThisProcess(const QLockFile& lock)
{
    qint64 pid = 0;
    QString host;
    QString application;
    return lock.getLockInfo(&pid, &host, &application) &&
           pid == QCoreApplication::applicationPid() &&
           (host.isEmpty() || host == QSysInfo::machineHostName());
}

} // namespace

QString App::Path()
{
    if (!programOverride().folder.isEmpty()) {
        return programOverride().folder;
    }
    return QCoreApplication::applicationDirPath();
}

QString App::EXEName()
{
    if (!programOverride().folder.isEmpty()) {
        return programOverride().name;
    }
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void App::setProgramForTesting(const QString& folder, const QString& name)
{
    programOverride() = {folder, name};
}

QString App::Title()
{
    return EXEName();
}

bool App::PrevInstance(const QString& key)
{
    std::unique_ptr<QLockFile>& lock = instanceLock();
    if (lock) {
        return false;
    }
    const QString path = RuntimeFile::path(key, QStringLiteral(".lock"));
    auto candidate = std::make_unique<QLockFile>(path);
    candidate->setStaleLockTime(0);
    if (!candidate->tryLock(0) && !(namesThisProcess(*candidate) &&
                                    candidate->removeStaleLockFile() && candidate->tryLock(0))) {
        // tryLock removes a lock whose owner process is gone, so a failure here
        // means a live instance holds it.
        return true;
    }
    RuntimeFile::keep(path);
    lock = std::move(candidate);
    return false;
}

void App::MsgBox(const QString& text)
{
    if (messageBoxHandler()) {
        messageBoxHandler()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.exec();
}

App::MessageBoxHandler App::setMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(messageBoxHandler(), std::move(handler));
}

void App::CloseModalWindows()
{
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        if (QApplication::activeModalWidget() == modal) {
            return;
        }
    }
}

void App::DoEvents()
{
    DesktopWindow::processEventsWithoutInput();
}

void App::EndNow(int exitCode)
{
    if (endHandler()) {
        endHandler()(exitCode);
        return;
    }
    // The next start must not find the lock of a process that is gone.
    if (instanceLock()) {
        instanceLock()->unlock();
    }
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

App::EndHandler App::setEndHandler(EndHandler handler)
{
    return std::exchange(endHandler(), std::move(handler));
}
