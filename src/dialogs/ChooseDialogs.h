#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

// The colour and font choosers themselves: what goes into them and what comes back,
// in the terms of the program's dialog wrappers (mod_OpenSaveFile). The real choosers
// are modal Qt dialogs; tests put their own answers in their place.
namespace comdlg {

// Points per pixel of a font height: the choosers' heights are pixels at 96 dots per
// inch, the program's sizes points.
constexpr double PointsPerPixel = 0.75;

// A font as the font chooser takes and returns it. height is in pixels: positive
// for a cell height (what goes in), negative for a character height (what comes
// back). weight is 100-900, 0 for "don't care" (shown as normal).
struct LogFont
{
    int32_t height = 0;
    int32_t weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString faceName;
};

struct FontRequest
{
    LogFont logFont;
    // The sizes in points that the chooser offers.
    int32_t sizeMin = 8;
    int32_t sizeMax = 128;
};

struct ColorRequest
{
    // 0x00BBGGRR.
    uint32_t initial = 0;
    // The chooser's sixteen custom colours, 0x00BBGGRR; what the user makes of them
    // is dropped after the call.
    std::array<uint32_t, 16> customColors{};
};

// nullopt = cancelled.
using ColorHandler =
    std::function<std::optional<uint32_t>(QWidget* owner, const ColorRequest& request)>;
using FontHandler =
    std::function<std::optional<LogFont>(QWidget* owner, const FontRequest& request)>;

// Runs the colour chooser (owned by owner and modal to its window only) and
// returns the chosen colour.
std::optional<uint32_t> ChooseColor(QWidget* owner, const ColorRequest& request);
// Runs the font chooser (owned by owner and modal to its window only) and returns
// the chosen font. The underline and strikeout of the request come back unchanged:
// the chooser has no effects section.
std::optional<LogFont> ChooseFont(QWidget* owner, const FontRequest& request);

// Replace the choosers (tests answer them without a modal loop); an empty handler
// restores the real dialogs.
void setColorHandler(ColorHandler handler);
void setFontHandler(FontHandler handler);

} // namespace comdlg
