#include "InstanceChannel.h"

#include "RuntimeFile.h"

// Where there are no local sockets, a later start reaches nothing: every start runs
// on its own lock alone.
struct InstanceChannel::State
{
};

InstanceChannel::InstanceChannel(const QString&, QObject* parent)
    : QObject(parent), m_state(std::make_unique<State>())
{
}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::serverName(const QString& key)
{
    return RuntimeFile::path(key, QStringLiteral(".socket"));
}

bool InstanceChannel::listen()
{
    return false;
}

void InstanceChannel::close() {}

int InstanceChannel::clientCount() const
{
    return 0;
}

InstanceChannel::Reply InstanceChannel::send(const QString&, Request, int)
{
    return Reply::NoProgram;
}

bool InstanceChannel::requestOpen(const QString& key, int timeoutMs)
{
    return send(key, Request::Open, timeoutMs) == Reply::Done;
}
