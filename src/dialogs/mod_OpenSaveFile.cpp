#include "mod_OpenSaveFile.h"

#include "ChooseDialogs.h"
#include "graphics/Rounding.h"

#include <cmath>

QString SelectedFontName;
int32_t SelectedFontSize = 0;
bool SelectedFontBold = false;
bool SelectedFontItalic = false;
bool SelectedFontStrikethru = false;
bool SelectedFontUnderline = false;

namespace {

constexpr int32_t BoldWeight = 700;
// From this weight on (semi-bold) a font counts as bold.
constexpr int32_t LeastBoldWeight = 600;
constexpr uint32_t White = 0xFFFFFF;

} // namespace

int32_t ShowColorDialog(QWidget* OwnerWindow, int32_t InitialColor)
{
    comdlg::ColorRequest request;
    request.initial = static_cast<uint32_t>(InitialColor) & 0xFFFFFF;
    request.customColors.fill(White);
    const std::optional<uint32_t> chosen = comdlg::ChooseColor(OwnerWindow, request);
    if (!chosen) {
        return -1;
    }
    return static_cast<int32_t>(*chosen & 0xFFFFFF);
}

std::optional<ChosenFont> ChooseFontFor(QWidget* OwnerWindow, const ChosenFont& initial)
{
    comdlg::FontRequest request;
    request.logFont.height = roundHalfEven(initial.size / comdlg::PointsPerPixel);
    request.logFont.weight = initial.bold ? BoldWeight : 0;
    request.logFont.italic = initial.italic;
    request.logFont.strikeOut = initial.strikethru;
    request.logFont.underline = initial.underline;
    request.logFont.faceName = initial.name;
    request.sizeMin = 8;
    request.sizeMax = 128;

    const std::optional<comdlg::LogFont> chosen = comdlg::ChooseFont(OwnerWindow, request);
    if (!chosen) {
        return std::nullopt;
    }
    return ChosenFont{chosen->faceName,
                      roundHalfEven(std::abs(double(chosen->height)) * comdlg::PointsPerPixel),
                      chosen->weight >= LeastBoldWeight,
                      chosen->italic,
                      chosen->strikeOut,
                      chosen->underline};
}

int32_t ShowFontDialog(QWidget* OwnerWindow, const QString& FontName, int32_t /*Color*/,
                       int32_t FontSize, bool FontBold, bool FontItalic, bool FontStrikethru,
                       bool FontUnderline)
{
    const std::optional<ChosenFont> chosen = ChooseFontFor(
        OwnerWindow, {FontName, FontSize, FontBold, FontItalic, FontStrikethru, FontUnderline});
    if (!chosen) {
        return 1;
    }
    SelectedFontName = chosen->name;
    SelectedFontSize = chosen->size;
    SelectedFontBold = chosen->bold;
    SelectedFontItalic = chosen->italic;
    SelectedFontStrikethru = chosen->strikethru;
    SelectedFontUnderline = chosen->underline;
    return 0;
}
