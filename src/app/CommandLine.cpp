#include "CommandLine.h"

#include "DeskwordVersion.h"
#include "SettingsLocation.h"
#include "platform/InstanceChannel.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

namespace {

// The running copy may be finishing a build before it ends.
constexpr int QuitTimeoutMs = 30000;

void print(FILE* stream, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    // Qt's own options (-platform xcb, -session ID from a session manager) keep
    // their single dash.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Shows a text, and a picture, on the desktop without a window around them."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version and exit."));
    const QCommandLineOption edit(
        QStringLiteral("edit"),
        QStringLiteral("Open the editor of the running copy, or start with the editor open."));
    const QCommandLineOption quit(
        QStringLiteral("quit"),
        QStringLiteral("End the running copy as its Exit command does (its settings are "
                       "stored)."));
    parser.addOptions({help, version, edit, quit});
    for (const char* name : {"platform", "display", "session"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }

    const QString program =
        arguments.isEmpty() ? QStringLiteral("deskword") : QFileInfo(arguments.first()).fileName();
    const QString usage = QStringLiteral("Usage: %1 [--edit | --quit | --help | --version]\n"
                                         "Try '%1 --help' for more information.\n")
                              .arg(program);
    CommandLine result;
    QString error;
    if (!parser.parse(arguments)) {
        error = parser.errorText();
    } else if (!parser.positionalArguments().isEmpty()) {
        error =
            QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first());
    } else if (parser.isSet(edit) && parser.isSet(quit)) {
        error = QStringLiteral("--edit and --quit exclude each other");
    }
    if (!error.isEmpty()) {
        result.m_action = Action::Error;
        result.m_text = program + QStringLiteral(": ") + error + u'\n' + usage;
    } else if (parser.isSet(help)) {
        result.m_action = Action::Help;
        // The parser's own usage line names the path as typed; the name is enough.
        QString text = parser.helpText();
        const qsizetype endOfLine = text.indexOf(u'\n');
        result.m_text = QStringLiteral("Usage: %1 [options]").arg(program) + text.mid(endOfLine);
    } else if (parser.isSet(version)) {
        result.m_action = Action::Version;
        result.m_text = program + u' ' + QString::fromLatin1(DeskwordVersion) + u'\n';
    } else if (parser.isSet(quit)) {
        result.m_action = Action::Quit;
    } else if (parser.isSet(edit)) {
        result.m_action = Action::Edit;
    }
    return result;
}

int CommandLine::runWithoutDisplay() const
{
    switch (m_action) {
    case Action::Help:
    case Action::Version:
        print(stdout, m_text);
        return 0;
    case Action::Error:
        print(stderr, m_text);
        return 2;
    case Action::Quit:
        switch (InstanceChannel::send(SettingsLocation::filePath(), InstanceChannel::Request::Quit,
                                      QuitTimeoutMs)) {
        case InstanceChannel::Reply::Done:
            return 0;
        case InstanceChannel::Reply::NoProgram:
            print(stderr, QStringLiteral("deskword: no running copy to end\n"));
            return 1;
        case InstanceChannel::Reply::NoAnswer:
            print(stderr, QStringLiteral("deskword: the running copy did not end\n"));
            return 1;
        }
        return 1;
    case Action::Run:
    case Action::Edit:
        break;
    }
    return 0;
}
