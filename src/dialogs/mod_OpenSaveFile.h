#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

// The colour and font dialogs as the editor uses them: a colour comes back as a
// 0x00BBGGRR value, a font as a face name, a size in points and four style flags.

// A font as the editor hands it to the font dialog and gets it back: face name, size
// in points and four style flags.
struct ChosenFont
{
    QString name;
    int32_t size = 0;
    bool bold = false;
    bool italic = false;
    bool strikethru = false;
    bool underline = false;
};

// Shows the font dialog owned by the window, opened on the font (screen fonts, sizes 8
// to 128 points); the chosen font, or nothing when the user cancelled.
std::optional<ChosenFont> ChooseFontFor(QWidget* OwnerWindow, const ChosenFont& initial);

// The font of the last confirmed font dialog. They keep their values between calls;
// a cancelled dialog leaves them as they are.
extern QString SelectedFontName;
extern int32_t SelectedFontSize;
extern bool SelectedFontBold;
extern bool SelectedFontItalic;
extern bool SelectedFontStrikethru;
extern bool SelectedFontUnderline;

// Shows the colour dialog owned by the window, with sixteen white custom colours.
// Returns the chosen colour, or -1 when the user cancels.
int32_t ShowColorDialog(QWidget* OwnerWindow, int32_t InitialColor);

// ChooseFontFor with its answer in the Selected* values. Returns 0 when the user chose
// a font (the Selected* values are set) and 1 when the user cancelled. Color is
// accepted and not used.
int32_t ShowFontDialog(QWidget* OwnerWindow, const QString& FontName, int32_t Color,
                       int32_t FontSize, bool FontBold, bool FontItalic, bool FontStrikethru,
                       bool FontUnderline);
