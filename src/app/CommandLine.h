#pragma once

#include <QString>
#include <QStringList>

// The program's command line, GNU style: --help and --version print and end, --edit
// and --quit reach the running copy through its channel. Parsed before the
// application object exists, so that what needs no display runs without one.
class CommandLine
{
public:
    enum class Action
    {
        Run,     // no option: start, or open the running copy's editor
        Edit,    // start with the editor open, or open the running copy's editor
        Quit,    // end the running copy as its Exit does
        Help,    // print the help
        Version, // print the version
        Error    // an unknown option or argument: print the usage
    };

    static CommandLine parse(const QStringList& arguments);

    Action action() const { return m_action; }
    // The help, the version line or the error with the usage, as printed.
    QString text() const { return m_text; }

    // Carries out Help, Version, Error and Quit without a display; returns the exit
    // status (0; 1 when --quit finds no running copy or it did not end; 2 for an
    // error). Needs the application object's program path (QCoreApplication).
    int runWithoutDisplay() const;
    bool needsDisplay() const { return m_action == Action::Run || m_action == Action::Edit; }

private:
    Action m_action = Action::Run;
    QString m_text;
};
