// The editor's commands: font, colour, Execute, and the mirror of Text1.
#include "EditStyle.h"
#include "Form3.h"
#include "Module1.h"
#include "app/Form1.h"
#include "app/Form2.h"
#include "app/Settings.h"
#include "dialogs/mod_OpenSaveFile.h"
#include "forms/CommandGate.h"
#include "graphics/Rounding.h"
#include "region/Canvas.h"
#include "region/frm_RGN_Picture.h"
#include "shape/ShapeBuilder.h"

#include <QPlainTextEdit>
#include <QPointer>

namespace {

QString boolText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

bool Form3::deferWhileExecuting(Command command)
{
    if (!m_executing) {
        return false;
    }
    if (!m_deferred.contains(command)) {
        m_deferred.append(command);
    }
    return true;
}

void Form3::runDeferred()
{
    const QPointer<Form3> self(this);
    while (self != nullptr && !m_executing && !m_deferred.isEmpty() && isLoaded()) {
        switch (m_deferred.takeFirst()) {
        case Command::Execute:
            Command2_Click();
            break;
        case Command::Font:
            Command1_Click();
            break;
        case Command::Colour:
            Command3_Click();
            break;
        case Command::Picture:
            Command4_Click();
            break;
        case Command::NoPicture:
            mNoPicture_Click();
            break;
        case Command::Close:
            Unload(this);
            break;
        }
    }
}

void Form3::Command1_Click()
{
    if (deferWhileExecuting(Command::Font)) {
        return;
    }
    const QPointer<Form3> self(this);
    const EditStyle current = styleOf(Text1);
    const std::optional<ChosenFont> font =
        ChooseFontFor(this, {current.name, roundHalfEven(current.size), current.bold,
                             current.italic, current.strikethru, current.underline});
    if (!font || self == nullptr) {
        return;
    }
    const EditStyle chosen{font->name,       static_cast<double>(font->size),
                           font->bold,       font->italic,
                           font->strikethru, font->underline};
    applyStyle(frm_RGN_Picture::instance().pWPicture, chosen);
    applyStyle(Text1, chosen);
    applyStyle(Text2, chosen);
    WriteIniValues(DataSection, {{QStringLiteral("FontBold"), boolText(chosen.bold)},
                                 {QStringLiteral("FontItalic"), boolText(chosen.italic)},
                                 {QStringLiteral("FontName"), chosen.name},
                                 {QStringLiteral("FontSize"), QString::number(font->size)},
                                 {QStringLiteral("FontStrikethrough"), boolText(chosen.strikethru)},
                                 {QStringLiteral("FontUnderline"), boolText(chosen.underline)}});
}

void Form3::Command3_Click()
{
    if (deferWhileExecuting(Command::Colour)) {
        return;
    }
    const QPointer<Form3> self(this);
    const int32_t color = ShowColorDialog(this, 0);
    if (color < 0 || self == nullptr) {
        return;
    }
    frm_RGN_Picture::instance().pWPicture.setForeColor(static_cast<uint32_t>(color));
    setTextColor(Text1, static_cast<uint32_t>(color));
    setTextColor(Text2, static_cast<uint32_t>(color));
    WriteIniValue(DataSection, QStringLiteral("Color"), QString::number(color));
}

void Form3::Command2_Click()
{
    if (deferWhileExecuting(Command::Execute)) {
        return;
    }
    const QPointer<Form3> self(this);
    m_executing = true;
    // Menu and tray commands wait until the text is stored.
    const CommandGate::Hold building;

    // The busy badge at the text window's top-left corner while the shape is built.
    if (Form2* canvas = Form2::instance()) {
        int32_t x = 0;
        int32_t y = 0;
        RGNCanvasAdd(0, canvas, x, y);
        RGNCanvasApply(canvas);
    }
    if (self == nullptr) {
        return;
    }
    // A held text goes on as it is: Text1 shows it shortened.
    const QString text = m_held ? m_heldText : editText(Text1);
    if (Form1* host = Form1::instance()) {
        host->RGNText = text;
        // Once the text window has been unloaded (the program is ending) there is
        // nothing to show the text on; it is only stored.
        if (Form2::instance() != nullptr) {
            TextRegionNumber = MakeRGNFromText(host->RGNText);
            host->ComposeTextWindow();
        }
    }
    WriteIniValue(DataSection, QStringLiteral("TEXT"), encodeRGNText(text));

    if (self != nullptr) {
        m_executing = false;
        runDeferred();
    }
}

void Form3::Text1_Change()
{
    // Text2 shows the same document, so it already holds the new text; its scroll
    // positions follow Text1's.
    SyncScrollFromText1();
}
