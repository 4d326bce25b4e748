#pragma once

#include "graphics/Gdi.h"

#include <QString>
#include <cstdint>

// Turning pixels into shapes. A shape is named by its region number: its region
// data goes into the number's record of the region data store and its image into
// the number's picture holder.

// Region numbers of the two shapes of the desktop text window; 0 = no such shape.
extern int32_t TextRegionNumber;
extern int32_t PictureRegionNumber;

// The text's fixed region number.
constexpr int32_t TextShapeNumber = 15;
// The most rectangles a picture's shape may have: 64 MiB of region data, more than
// the most detailed figure a 3840 x 2160 screen can show needs (every other pixel:
// 4,147,200). Only photographs and the like have more. A text has no such limit: only
// what the screen shows of it is drawn, so its shape is never larger than a screen's.
constexpr uint32_t MaxPictureShapeRects = uint32_t(1) << 22;
// The message shown when a picture is too large to be loaded, or its shape has more
// rectangles than a picture's shape may have.
QString tooLargeMessage();
// The message shown when a text is too large to be drawn.
QString textTooLargeMessage();

// Draws the text (lines separated by CR LF) on the scratch surface in its font and
// colour and builds region number 15 from it. Only as much of the text as the
// screen-sized text window can show is drawn. 0 for an empty text or a failed build.
int32_t MakeRGNFromText(const QString& text);

// Builds a shape from a picture file, or from what is on the scratch surface when
// fileName is empty. index < 10 asks for a new number; 10 or more names the number.
// Every pixel whose colour differs from pixel (0, 0) belongs to the shape. Returns the
// number, or 0 when the file does not exist or cannot be used, or a picture's shape
// has more than MaxPictureShapeRects rectangles (then the surface is emptied, and the
// number's holder and record keep their previous shape). The text's number (15) has
// no such limit.
int32_t MakeRGNFromPicture(const QString& fileName, int32_t index);

// The smallest number of 10 or more that no picture holder has.
int32_t GetFreePictureIndex();
// Creates the picture holder of an index unless it exists.
void LoadPictureHolder(int32_t index);
// Gives back a picture's number that nothing shows any more: its holder goes, its
// record is emptied (the store drops the records past the highest holder left), and
// the number is free for the next picture. The text's number is never given back.
void FreePictureNumber(int32_t number);

// Stores the region's data in the record at a store position, growing the record
// as needed, and returns a copy of the region (the caller owns it); 0, with the
// record unchanged, for no region.
gdi::HRGN SaveRGNData(gdi::HRGN region, int32_t position);

// Back to the state at program start (for tests): no shapes, empty store, fresh surface.
void resetShapes();
