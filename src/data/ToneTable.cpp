#include "data/ToneTable.h"

#include "base/ErrorLog.h"

namespace zr {

namespace {

// The CTCSS tones the radio offers, in Hz with one decimal.
constexpr const char* kCtcss[ToneTable::kCtcssCount] = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1"};

// The DCS codes (three octal digits); each is offered with normal and inverted polarity.
constexpr const char* kDcs[ToneTable::kDcsCount] = {
    "023", "025", "026", "031", "032", "036", "043", "047", "051", "053", "054", "065", "071", "072", "073",
    "074", "114", "115", "116", "122", "125", "131", "132", "134", "143", "145", "152", "155", "156", "162",
    "165", "172", "174", "205", "212", "223", "225", "226", "243", "244", "245", "246", "251", "252", "255",
    "261", "263", "265", "266", "271", "274", "306", "311", "315", "325", "331", "332", "343", "346", "351",
    "356", "364", "365", "371", "411", "412", "413", "423", "431", "432", "445", "446", "452", "454", "455",
    "462", "464", "465", "466", "503", "506", "516", "523", "526", "532", "546", "565", "606", "612", "624",
    "627", "631", "632", "645", "654", "662", "664", "703", "712", "723", "731", "732", "734", "743", "754"};

// Tone word ranges. A CTCSS word is the tone in tenths of a hertz; a DCS word
// has bits 11 and 13 set, bit 15 for inverted polarity, the code in bits 0-8.
constexpr int kCtcssMin = 600;
constexpr int kCtcssMax = 2650;
constexpr int kDcsNormalBase = 0x2800;
constexpr int kDcsInvertedBase = 0xA800;
constexpr int kDcsCodeSpan = 0x01FF;
constexpr int kMaxToneTextLength = 5;

// Value of one character of a tone text: its digit, 0 for anything else.
int digitValue(const QString& text, int position) {
  if (position < 0 || position >= text.size()) return 0;
  const QChar c = text.at(position);
  return (c >= u'0' && c <= u'9') ? c.unicode() - u'0' : 0;
}

bool charIs(const QString& text, int position, char16_t c) {
  return position >= 0 && position < text.size() && text.at(position) == QChar(c);
}

bool charIsDigit(const QString& text, int position) {
  if (position < 0 || position >= text.size()) return false;
  const QChar c = text.at(position);
  return c >= u'0' && c <= u'9';
}

}  // namespace

ToneTable::ToneTable(int lang) { GenCtdcsList(lang); }

void ToneTable::GetCtdcsArray(QStringList& ctcss, QStringList& dcsNormal, QStringList& dcsInverted) {
  ctcss.clear();
  dcsNormal.clear();
  dcsInverted.clear();
  for (const char* t : kCtcss) ctcss << QString::fromLatin1(t);
  for (const char* code : kDcs) {
    dcsNormal << QStringLiteral("D%1N").arg(QLatin1String(code));
    dcsInverted << QStringLiteral("D%1I").arg(QLatin1String(code));
  }
}

void ToneTable::GenCtdcsList(int lang) {
  // Only Simplified Chinese has its own word for "no tone".
  noTone_ = lang == 1 ? QStringLiteral("无") : QStringLiteral("None");
  // The list depends on that word alone: built again only when it changes.
  if (!list_.isEmpty() && list_.front() == noTone_) return;
  QStringList ctcss, normal, inverted;
  GetCtdcsArray(ctcss, normal, inverted);
  list_.clear();
  list_.reserve(kCount);
  list_ << noTone_ << ctcss << normal << inverted;
}

int ToneTable::indexOf(const QString& text) const { return static_cast<int>(list_.indexOf(text)); }

QString ToneTable::QtDqtIicToChar(int high, int low) const {
  high &= 0xFF;
  low &= 0xFF;
  const int w = high * 256 + low;
  if (w >= kCtcssMin && w <= kCtcssMax) {
    return QStringLiteral("%1.%2").arg(w / 10).arg(w % 10);
  }
  const bool normal = w >= kDcsNormalBase && w <= kDcsNormalBase + kDcsCodeSpan;
  const bool inverted = w >= kDcsInvertedBase && w <= kDcsInvertedBase + kDcsCodeSpan;
  if (normal || inverted) {
    // The nine code bits are three octal digits: bit 8 (bit 0 of the high
    // byte) and bits 7-6 form the first, then bits 5-3 and 2-0.
    const int d1 = 4 * (high & 1) + ((low >> 6) & 3);
    const int d2 = (low >> 3) & 7;
    const int d3 = low & 7;
    return QStringLiteral("D%1%2%3%4").arg(d1).arg(d2).arg(d3).arg(QChar(normal ? u'N' : u'I'));
  }
  return noTone_;
}

std::optional<ToneBytes> ToneTable::QtDqtCharToIic(const QString& text, ErrorLog& log) const {
  if (text.isEmpty() || text == noTone_) return ToneBytes{0xFF, 0xFF};
  if (text.size() > kMaxToneTextLength) {
    log.LogError(QStringLiteral("modChMem->QtDqtCharToIic"), kErrSubscript);
    return std::nullopt;
  }
  // Characters t1..t5 are positions 0..4; a missing one reads as empty.
  int w = 0;
  if (!charIs(text, 2, u'.') && !charIs(text, 3, u'.')) {
    // "Dooo" + polarity: the three octal digits give the nine code bits.
    w = 64 * digitValue(text, 1) + 8 * digitValue(text, 2) + digitValue(text, 3) + 0x0800;
    const int highBase = charIs(text, 4, u'N') ? 0x20 : 0xA0;
    return ToneBytes{static_cast<uint8_t>(w % 256), static_cast<uint8_t>((w / 256 + highBase) % 256)};
  }
  // CTCSS in tenths of a hertz, "dd.d" or "ddd.d".
  if (charIsDigit(text, 3)) {
    w = 100 * digitValue(text, 0) + 10 * digitValue(text, 1) + digitValue(text, 3);
  } else {
    w = 1000 * digitValue(text, 0) + 100 * digitValue(text, 1) + 10 * digitValue(text, 2) + digitValue(text, 4);
  }
  return ToneBytes{static_cast<uint8_t>(w % 256), static_cast<uint8_t>((w / 256) % 256)};
}

}  // namespace zr
