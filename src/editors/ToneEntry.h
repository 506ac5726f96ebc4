#pragma once
// What the tone picker makes of a typed or chosen text: the canonical tone
// text ("67.0", "D023N", "D754I"), the no-tone text when the digits do not
// make a tone, or nothing when the entry is abandoned (longer than five
// characters, or a CTCSS-shaped text not starting with a digit).
#include <QString>
#include <optional>

namespace zr {

std::optional<QString> canonicalToneText(const QString& text, const QString& noToneText);

}  // namespace zr
