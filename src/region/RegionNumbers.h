#pragma once

#include "graphics/Gdi.h"

#include <QImage>
#include <cstdint>

// Region numbers name shapes: 0 is the built-in busy badge, 1 an empty built-in
// record, and numbers from 10 up are shapes built from pixels (their records live
// in the region data store). Every record holds region data in the exported layout
// of gdi::GetRegionData.

// Size of each record of the built-in table: a header and room for 117 rectangles.
constexpr uint32_t BuiltInRecordSize = 1904;

// Fills the built-in table once; the flag is -1 once filled, 0 before.
void RGNDataInit();
int16_t RGNDataInitFlag();
// Fills the table unless the flag says it is filled already.
void ensureRGNDataInit();
// Record n (0 or 1) of the built-in table, BuiltInRecordSize bytes.
const unsigned char* builtInRecord(int32_t number);

// The 59 x 15 picture of the busy badge, held by picture holder 0.
QImage busyBadgePicture();

// A new region from the record of a region number, moved by an offset in twips.
// The caller owns the region. Unreadable data shows "It failed in reading of region
// data." and ends the program at once (0 is returned only where ending is replaced).
gdi::HRGN RGNFromData(int32_t number, double x = 0, double y = 0);
