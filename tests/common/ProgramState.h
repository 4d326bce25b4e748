#pragma once

#include "shape/ShapeBuilder.h"
#include "window/App.h"

#include <QStringList>

// Records what the program would show or do while a test runs: message boxes are
// collected instead of blocking, and the immediate end of the process is recorded
// instead of ending the test. Each test starts from a fresh shape state.
class ProgramState
{
public:
    ProgramState()
    {
        resetShapes();
        App::setMessageBoxHandler([this](const QString& text) { messages.append(text); });
        App::setEndHandler([this](int code) { endCodes.append(code); });
    }
    ~ProgramState()
    {
        App::setMessageBoxHandler({});
        App::setEndHandler({});
    }
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    QStringList messages;
    QList<int> endCodes;
};
