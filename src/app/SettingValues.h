#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// How start-up reads the stored values.

// "True" or "False" in any letter case, or a number: 0 is false, any other number
// true. Anything else (an empty value too) is no Boolean.
std::optional<bool> settingBool(const QString& value);

// The longest leading decimal number of the value; 0 when it has none
// (FontSize, XPOS, YPOS keep their fraction).
double settingNumber(const QString& value);

// That number rounded to a whole number, halves to the even neighbour
// (Color, XPOS2, YPOS2, PICTURE).
int32_t settingInteger(const QString& value);
