#pragma once
// Columns of the channel grid. Column j of a channel's line shows `ChTable`
// row j of that channel, so the fixed columns carry the numbers of the fixed
// rows; columns from the first option on are described by the configuration
// file's column definitions.
#include "data/ChannelTable.h"

namespace zr {

constexpr int kColRx = kRowRx;              // receive frequency
constexpr int kColTx = kRowTx;              // transmit frequency
constexpr int kColDecode = kRowDecode;      // decode tone
constexpr int kColEncode = kRowEncode;      // encode tone
constexpr int kColFirstOption = kRowPower;  // the first option column
constexpr int kColVfoSpecial = 10;          // on the VFO line this column is not editable
constexpr int kColSpecial = 20;             // edited like a frequency, never stepped as an option

}  // namespace zr
