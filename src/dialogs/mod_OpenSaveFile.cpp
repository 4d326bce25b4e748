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

// Points per pixel of font height, on the way in and on the way out.
constexpr double PointsPerPixel = 0.75;
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

int32_t ShowFontDialog(QWidget* OwnerWindow, const QString& FontName, int32_t /*Color*/,
                       int32_t FontSize, bool FontBold, bool FontItalic, bool FontStrikethru,
                       bool FontUnderline)
{
    comdlg::FontRequest request;
    request.logFont.height = roundHalfEven(FontSize / PointsPerPixel);
    request.logFont.weight = FontBold ? BoldWeight : 0;
    request.logFont.italic = FontItalic;
    request.logFont.strikeOut = FontStrikethru;
    request.logFont.underline = FontUnderline;
    request.logFont.faceName = FontName;
    request.sizeMin = 8;
    request.sizeMax = 128;

    const std::optional<comdlg::LogFont> chosen = comdlg::ChooseFont(OwnerWindow, request);
    if (!chosen) {
        return 1;
    }
    SelectedFontName = chosen->faceName;
    SelectedFontBold = chosen->weight >= LeastBoldWeight;
    SelectedFontItalic = chosen->italic;
    SelectedFontStrikethru = chosen->strikeOut;
    SelectedFontUnderline = chosen->underline;
    SelectedFontSize = roundHalfEven(std::abs(double(chosen->height)) * PointsPerPixel);
    return 0;
}
