#include "DBusTray.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QMetaClassInfo>
#include <QObject>

namespace {

const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString WatcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString ItemPath = QStringLiteral("/StatusNotifierItem");
const char* const ItemInterface = "org.kde.StatusNotifierItem";
// The most tray icons one program shows.
constexpr int MostTrayIcons = 4;

// The object that answers for the item's interface: the adaptor among the exported
// object's children that names it.
QObject* itemAdaptor(QObject* exported)
{
    for (QObject* child : exported->children()) {
        const QMetaObject* meta = child->metaObject();
        const int info = meta->indexOfClassInfo("D-Bus Interface");
        if (info >= 0 && qstrcmp(meta->classInfo(info).value(), ItemInterface) == 0) {
            return child;
        }
    }
    return nullptr;
}

} // namespace

bool DBusTray::hostAvailable()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || bus.interface() == nullptr ||
        !bus.interface()->isServiceRegistered(WatcherService).value()) {
        return false;
    }
    QDBusMessage get = QDBusMessage::createMethodCall(
        WatcherService, WatcherPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << WatcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return false;
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toBool();
}

void DBusTray::answerIconThemePath()
{
    // Qt gives each tray icon a bus connection of its own, named after the item's
    // service ("org.kde.StatusNotifierItem-<process id>-<number>"), and exports the
    // item on it. Looking a connection up by name and the object at a path asks
    // nobody on the bus: nothing here waits.
    const QString prefix =
        QStringLiteral("org.kde.StatusNotifierItem-%1-").arg(QCoreApplication::applicationPid());
    for (int number = 1; number <= MostTrayIcons; ++number) {
        const QDBusConnection connection(prefix + QString::number(number));
        QObject* exported =
            connection.isConnected() ? connection.objectRegisteredAt(ItemPath) : nullptr;
        if (QObject* adaptor = exported != nullptr ? itemAdaptor(exported) : nullptr) {
            // A property the adaptor's class lacks is answered from the adaptor's
            // dynamic properties.
            adaptor->setProperty("IconThemePath", QString());
        }
    }
}
