#include "base/Contrast.h"

#include <algorithm>
#include <cmath>

namespace zr {

namespace {

double channel(uint32_t v) {
  const double c = static_cast<double>(v & 0xFF) / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

uint32_t mix(uint32_t from, uint32_t to, double t) {
  uint32_t out = 0;
  for (int shift : {16, 8, 0}) {
    const double a = (from >> shift) & 0xFF, b = (to >> shift) & 0xFF;
    out |= static_cast<uint32_t>(std::lround(a + (b - a) * t)) << shift;
  }
  return out;
}

bool isGrey(uint32_t c) {
  const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
  return std::max({r, g, b}) - std::min({r, g, b}) < 24;
}

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

}  // namespace

double relativeLuminance(uint32_t rgb) {
  return 0.2126 * channel(rgb >> 16) + 0.7152 * channel(rgb >> 8) + 0.0722 * channel(rgb);
}

double contrastRatio(uint32_t a, uint32_t b) {
  const double la = relativeLuminance(a), lb = relativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

uint32_t readableOn(uint32_t wanted, uint32_t background, uint32_t paletteText) {
  wanted &= 0xFFFFFF;
  background &= 0xFFFFFF;
  paletteText &= 0xFFFFFF;
  if (contrastRatio(wanted, background) >= kMinTextContrast) return wanted;
  // Black or white, whichever is further from the background, always reaches
  // the ratio (at worst about 4.6 on a mid-grey).
  const uint32_t extreme = contrastRatio(kWhite, background) >= contrastRatio(kBlack, background) ? kWhite : kBlack;
  if (isGrey(wanted))
    return contrastRatio(paletteText, background) >= kMinTextContrast ? paletteText : extreme;
  for (int step = 1; step <= 20; ++step) {
    const uint32_t c = mix(wanted, extreme, step / 20.0);
    if (contrastRatio(c, background) >= kMinTextContrast) return c;
  }
  return extreme;
}

uint32_t focusFrameOn(uint32_t highlight, uint32_t background) {
  highlight &= 0xFFFFFF;
  background &= 0xFFFFFF;
  if (contrastRatio(highlight, background) >= kMinFrameContrast) return highlight;
  return contrastRatio(kWhite, background) >= contrastRatio(kBlack, background) ? kWhite : kBlack;
}

uint32_t fromColourNumber(int colourNumber) {
  const auto v = static_cast<uint32_t>(colourNumber);
  return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

}  // namespace zr
