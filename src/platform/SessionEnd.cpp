#include "SessionEnd.h"

#include "DesktopWindow.h"
#include "SignalPipe.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

SessionEnd::SessionEnd(QObject* parent) : QObject(parent)
{
    if (SignalPipe::install()) {
        m_notifier = new QSocketNotifier(SignalPipe::readEnd(), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &SessionEnd::readSignals);
        // A signal that came before this object existed is waiting in the pipe.
        QMetaObject::invokeMethod(this, &SessionEnd::readSignals, Qt::QueuedConnection);
    }
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(gui, &QGuiApplication::commitDataRequest, this,
                [this](QSessionManager&) { request(); });
    }
    if (QCoreApplication* application = QCoreApplication::instance()) {
        connect(application, &QCoreApplication::aboutToQuit, this, &SessionEnd::request);
    }
}

SessionEnd::~SessionEnd()
{
    if (m_notifier == nullptr) {
        return;
    }
    delete m_notifier;
    SignalPipe::uninstall();
}

void SessionEnd::readSignals()
{
    if (SignalPipe::drain()) {
        request();
    }
}

void SessionEnd::request()
{
    if (m_requested) {
        return;
    }
    m_requested = true;
    // What is stored must be what the user sees: the window system may have moved a
    // window (a drop just before the signal) in events not handled yet. Those run
    // now; user input stays queued, as everywhere inside a running handler.
    DesktopWindow::catchUp();
    emit requested();
}
