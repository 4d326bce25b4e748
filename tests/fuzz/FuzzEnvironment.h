#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What every fuzz target shares (FuzzEnvironment.cpp also starts the application for
// the whole run, in the surroundings of the unit tests): a check that ends the run as
// a crash, and the size limit of the pictures a target decodes.
namespace fuzzsupport {

// A property of the code under test that did not hold: reported like a crash, so
// that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);     \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// Pictures up to this many pixels (256 x 256) are decoded. Larger ones (a surface
// holds up to 64 Mi) run the same code on more rows, only slower, and several copies
// of them at once would crowd the machine; the size checks that refuse pictures
// beyond a surface read only headers and stay covered.
constexpr int64_t MaxDecodedPixels = int64_t(1) << 16;

// True when Qt's readers declare a size between MaxDecodedPixels and the largest
// surface (beyond it the loader refuses the picture before decoding it).
bool declaresLargePicture(const QByteArray& bytes);

// The input as a file of its own, for the code that reads pictures by path.
QString writeInputFile(const uint8_t* data, size_t size);

} // namespace fuzzsupport
