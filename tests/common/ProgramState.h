#pragma once

#include "app/frmMenu.h"
#include "editor/Form3.h"
#include "forms/App.h"
#include "shape/ShapeBuilder.h"

#include <QStringList>

// Records what the program would show or do while a test runs: message boxes are
// collected instead of blocking, and the immediate end of the process is recorded
// instead of ending the test. Each test starts from a fresh shape state. Instances
// may nest: each puts back the handlers it replaced.
class ProgramState
{
public:
    ProgramState()
    {
        resetShapes();
        m_previousMessageBox =
            App::setMessageBoxHandler([this](const QString& text) { messages.append(text); });
        m_previousEnd = App::setEndHandler([this](int code) { endCodes.append(code); });
        // What main.cpp wires: the menu's Edit opens the editor.
        m_previousEditorOpener = frmMenu::setEditorOpener([] { Form3::open(); });
    }
    ~ProgramState()
    {
        App::setMessageBoxHandler(std::move(m_previousMessageBox));
        App::setEndHandler(std::move(m_previousEnd));
        frmMenu::setEditorOpener(std::move(m_previousEditorOpener));
    }
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    QStringList messages;
    QList<int> endCodes;

private:
    App::MessageBoxHandler m_previousMessageBox;
    App::EndHandler m_previousEnd;
    frmMenu::EditorOpener m_previousEditorOpener;
};
