#include "CommandGate.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

int& depth()
{
    static int builds = 0;
    return builds;
}

QList<std::function<void()>>& queue()
{
    static QList<std::function<void()>> commands;
    return commands;
}

} // namespace

CommandGate::Hold::Hold()
{
    ++depth();
}

CommandGate::Hold::~Hold()
{
    if (--depth() == 0 && !queue().isEmpty()) {
        // Not here: the handler that held the build may still have steps to run
        // (Execute stores the text after its composition).
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QTimer::singleShot(0, app, &CommandGate::runWaiting);
        }
    }
}

bool CommandGate::busy()
{
    return depth() > 0;
}

int CommandGate::waiting()
{
    return static_cast<int>(queue().size());
}

void CommandGate::run(std::function<void()> command)
{
    if (busy()) {
        queue().append(std::move(command));
        return;
    }
    command();
}

void CommandGate::runWaiting()
{
    // A command may start a build of its own; the rest then wait for that one.
    while (!busy() && !queue().isEmpty()) {
        const std::function<void()> command = queue().takeFirst();
        command();
    }
}
