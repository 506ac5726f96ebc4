#pragma once
// Reads the channel grid's column definitions from section "ChInfo" of the
// configuration file. Each language has its own block of numeric keys
// (1000 Simplified Chinese, 2000 Traditional Chinese, 3000 English):
//   B        number of channel rows N
//   B+1      row height
//   B+2      number of attribute columns M
//   B+3      header format: captions of columns 0..M separated by "|"
//   B+100+j  width of column j (j = 0..M)
//   B+200+50*(j-1)+k   item k of column j (k = 0..49), ended by "*EndOfThisItem*"
#include "data/ChColumnDefs.h"
#include "base/ErrorLog.h"
#include "base/PrivateProfile.h"

namespace zr {

// Missing keys take their defaults. A count outside what the channel table
// holds (N 1..260, M 1..20) is clamped and logged (code 9); a number that is
// not a number is logged (code 13) and replaced by its default. Failures are
// logged under "frmChMem->ReadChInfo".
ChColumnDefs ReadChInfo(const PrivateProfile& ini, int lang, ErrorLog& log);

}  // namespace zr
