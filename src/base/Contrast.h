#pragma once
// Text must stay readable whatever colour scheme the desktop uses: the grid's
// configured colours (DefColor, OverColor), the hex view's changed-byte red
// and the communication window's failure red were chosen for a white
// background. These functions measure the contrast of a text colour on its
// background the way accessibility guidelines do (relative luminance, ratio
// from 1 to 21) and pick a readable colour when the configured one is not.
// Colours are 0xRRGGBB numbers.
#include <cstdint>

namespace zr {

// Normal-size text needs at least this ratio against its background.
inline constexpr double kMinTextContrast = 4.5;

double relativeLuminance(uint32_t rgb);
double contrastRatio(uint32_t a, uint32_t b);

// The colour to draw text meant as `wanted` on `background`:
// - `wanted` itself when it reads well enough;
// - a grey (plain text such as black) gives way to the palette's text colour
//   `paletteText`, or black or white if even that does not read;
// - a coloured marker (out-of-band red) keeps its hue and is made lighter or
//   darker just enough to read, so it still stands out from plain text.
uint32_t readableOn(uint32_t wanted, uint32_t background, uint32_t paletteText);

// A focus frame (a line, not text) needs at least this ratio against what
// it is drawn on to be seen.
inline constexpr double kMinFrameContrast = 3.0;

// The colour of the frame that marks the control or cell with the keyboard
// focus: the palette's highlight colour where it stands out from
// `background`, else black or white, whichever stands out more (a magenta
// selected cell, a dark palette's dim highlight).
uint32_t focusFrameOn(uint32_t highlight, uint32_t background);

// A configuration colour number (red in the low byte) as 0xRRGGBB.
uint32_t fromColourNumber(int colourNumber);

}  // namespace zr
