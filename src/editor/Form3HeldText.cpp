// A text with a line too long to edit: the editor shows it shortened and read-only
// and keeps the whole text until the user writes a new one.
#include "Form3.h"
#include "LongLines.h"
#include "graphics/Units.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// A hidden widget takes a new size only when it is shown, and an edit box whose text
// area changes width lays every line of its text out anew: each line gets a layout of
// its own, which for a text of many lines costs more time and memory than the text
// itself. A box whose text area has its size before the text is set lays out only
// the lines it shows.
void takeSizeNow(QWidget* widget)
{
    if (!widget->testAttribute(Qt::WA_PendingResizeEvent)) {
        return;
    }
    QResizeEvent event(widget->size(), QSize());
    QCoreApplication::sendEvent(widget, &event);
    widget->setAttribute(Qt::WA_PendingResizeEvent, false);
}

void takeSizeNow(QPlainTextEdit* box)
{
    takeSizeNow(static_cast<QWidget*>(box)); // places the text area
    takeSizeNow(box->viewport());
}

// A key that changes the text of an editable box: a character, a line break,
// deleting, cutting or pasting.
bool editsText(const QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return true;
    default:
        break;
    }
    if (key->matches(QKeySequence::Paste) || key->matches(QKeySequence::Cut)) {
        return true;
    }
    const QString typed = key->text();
    return !typed.isEmpty() && typed.front().isPrint() &&
           !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

bool wholeTextSelected(const QPlainTextEdit* box)
{
    const QTextCursor cursor = box->textCursor();
    return cursor.selectionStart() == 0 &&
           cursor.selectionEnd() == box->document()->characterCount() - 1;
}

} // namespace

void Form3::showText(const QString& text)
{
    m_held = longestLineLength(text) > EditableLineLength;
    m_heldText = m_held ? text : QString();
    Label1->setVisible(m_held);
    if (m_held) {
        Label1->setText(
            tr("この文字列には%1文字より長い行があり、ここでは編集できません。長い行は短くして"
               "表示しています。デスクトップと設定の文字列はそのまま残ります。新しい文字列に"
               "するには、すべて選択（Ctrl+A）してから入力してください。")
                .arg(QLocale().toString(EditableLineLength)));
    }
    // The layout first, then the text.
    layOutControls();
    takeSizeNow(Text1);
    takeSizeNow(Text2);
    if (!m_held) {
        Text1->setPlainText(text);
        return;
    }
    Text1->setPlainText(shortenLongLines(text, EditableLineLength));
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

bool Form3::releaseHeldText(const QKeyEvent* key)
{
    if (!m_held || !editsText(key) || !wholeTextSelected(Text1)) {
        return false;
    }
    m_held = false;
    m_heldText.clear();
    Text1->clear();
    Text1->setReadOnly(false);
    Label1->hide();
    Form_Resize();
    return true;
}

int Form3::noteHeight(int clientWidth) const
{
    if (!m_held) {
        return 0;
    }
    return PixelToTwipY(Label1->heightForWidth(TwipToPixelX(clientWidth)));
}
