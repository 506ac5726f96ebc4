#pragma once
// Choosing the model and the frequency range by their list texts, as a user
// picks them in the model and range lists (the command line's set and new).
//
// A range is a list text ("136 - 174 MHz", matched without regard to case
// and blanks), "#N" for list position N, or LOW-HIGH in MHz ("136-174",
// "144.5-146"): a pair that equals a listed range picks that entry, any
// other pair between 120 and 520 MHz is a custom range. Choosing a range
// starts a new data set, exactly as the list does.
#include <QString>

namespace zr {

class BandModel;

// Empty on success, otherwise why the text was not taken (nothing changed).
QString chooseModel(BandModel& band, const QString& text);
QString chooseBand(BandModel& band, const QString& text);

}  // namespace zr
