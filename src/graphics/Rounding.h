#pragma once

#include <QStringView>
#include <cstdint>

// Rounding to whole numbers, halves to the even neighbour (2.5 -> 2, 3.5 -> 4),
// saturated to the signed 32-bit range so that no conversion ever wraps.
int32_t roundHalfEven(double value);

// A 64-bit value stopped at the ends of the signed 32-bit range, so that sums and
// offsets of 32-bit numbers never wrap.
int32_t saturateInt32(int64_t value);

// The numeric value of a text: its longest leading decimal number (leading blanks
// skipped, optional sign, digits, optional decimal point and fraction).
// A text without such a number counts as 0; a number too long for a double is an
// infinity of its sign (so that roundHalfEven saturates it).
double leadingNumber(QStringView text);
