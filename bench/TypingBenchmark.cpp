// Typing in the editor: the cost of one keystroke in a long text, with Text2
// following it, against the same keystroke when Text2 is given the whole text anew
// (the way the mirror used to follow).

#include "TimesReporter.h"
#include "editor/Form3.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextCursor>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

Form3& editorWithLines(int lines)
{
    static Form3* editor = nullptr;
    static int loadedLines = -1;
    if (editor == nullptr) {
        editor = Form::Load<Form3>();
        editor->show();
    }
    if (loadedLines != lines) {
        editor->Text1->setPlainText(
            QStringList(lines, QStringLiteral("A line of the desktop text, typed in the editor."))
                .join(QStringLiteral("\n")));
        loadedLines = lines;
        QTextCursor middle = editor->Text1->textCursor();
        middle.setPosition(editor->Text1->document()->characterCount() / 2);
        editor->Text1->setTextCursor(middle);
        QCoreApplication::processEvents();
    }
    return *editor;
}

// One key as the user types it, and what it makes the editor repaint.
void typeKey(QPlainTextEdit* box)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(box, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QCoreApplication::sendEvent(box, &release);
    QCoreApplication::processEvents();
}

void BM_Keystroke(benchmark::State& state)
{
    Form3& editor = editorWithLines(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        typeKey(editor.Text1);
    }
    if (editor.Text2->document()->characterCount() != editor.Text1->document()->characterCount()) {
        state.SkipWithError("Text2 does not follow Text1");
    }
}

void BM_KeystrokeWholeTextCopied(benchmark::State& state)
{
    Form3& editor = editorWithLines(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        typeKey(editor.Text1);
        editor.Text2->setPlainText(editor.Text1->toPlainText());
    }
}

BENCHMARK(BM_Keystroke)->Arg(100)->Arg(5000)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_KeystrokeWholeTextCopied)
    ->Arg(100)
    ->Arg(5000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);

// Prints the usual table and remembers each benchmark's time per iteration.
} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TimesReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double key = reporter.real("BM_Keystroke/20000");
    const double copied = reporter.real("BM_KeystrokeWholeTextCopied/20000");
    if (key > 0 && copied > 0) {
        std::printf("keystroke at 20,000 lines: %.2f ms (target under 16 ms); "
                    "whole text copied / following: %.1f\n",
                    key, copied / key);
    }
    benchmark::Shutdown();
    return 0;
}
