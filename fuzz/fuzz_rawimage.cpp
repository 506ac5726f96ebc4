// A raw memory image from anywhere (a raw read, `write --raw`) in the hex
// view: the refresh and its red marks, an in-place edit, a range fill through
// the fill dialog and the tool tips, with the editors redisplayed after each
// change. Checks that every shown cell holds its byte, that exactly the bytes
// that changed turn red, that an edit or a fill changes no byte outside its
// cell or range, and that the image keeps its size.
//
// Input: 16 control bytes (the edit, the fill, two changed bytes), then the
// image from address 0.
#include <cstdio>
#include <cstring>

#include "FuzzSupport.h"
#include "data/MemoryImage.h"
#include "inspector/HexView.h"
#include "inspector/RangeFill.h"

using namespace zr;
using namespace zr::fuzz;

namespace {

// Every cell the refresh reaches shows its byte; `red` lists the addresses
// that must be red, every other cell is black.
// (The texts of the 256 byte values are formatted once: formatting one for
// every cell of every check took a third of the target's time. The cells are
// read straight from the view's arrays; the row and column of each 61st
// address, and of the first and last, are read as the window reads them.)
ZR_NO_COVERAGE void checkGrid(const HexView& view, const ByteArray& image, int tableMaxAddr, const std::vector<int>& red) {
  static const std::vector<QString> kByteTexts = [] {
    std::vector<QString> t;
    for (int b = 0; b < 256; ++b) t.push_back(FormatByteDat(b));
    return t;
  }();
  const int last = std::min({tableMaxAddr, image.upperBound(), view.dataRows() * HexView::kBytesPerRow - 1});
  const std::vector<uint8_t>& bytes = image.bytes();
  std::vector<char> mustBeRed(static_cast<size_t>(std::max(last + 1, 0)), 0);
  for (int a : red)
    if (a >= 0 && a <= last) mustBeRed[static_cast<size_t>(a)] = 1;
  const std::vector<QString>& texts = view.cellTexts();
  const std::vector<uint8_t>& reds = view.cellReds();
  ZR_CHECK(last < 0 || (texts.size() > static_cast<size_t>(last) && reds.size() > static_cast<size_t>(last)));
  // The red marks are 0 or 1, as mustBeRed: equal arrays need no look at
  // each cell's mark (a difference is looked for cell by cell, and named).
  const bool redsAlike =
      last < 0 || std::memcmp(reds.data(), mustBeRed.data(), static_cast<size_t>(last) + 1) == 0;
  for (int a = 0, sample = 0; a <= last; ++a, ++sample) {
    const QString& shown = texts[static_cast<size_t>(a)];
    if (sample == 61 || a == 0 || a == last) {
      sample = 0;
      const bool isRed = reds[static_cast<size_t>(a)] != 0;
      const int row = HexView::rowOf(a), col = HexView::colOf(a);
      ZR_CHECK(view.text(row, col) == shown);
      ZR_CHECK(view.colour(row, col) == (isRed ? HexView::kRed : HexView::kBlack));
    }
    // (The view shares the texts FormatByteDat gives: the same text object
    // is the same text, and saves a comparison of the characters.)
    const QString& expected = kByteTexts[bytes[static_cast<size_t>(a)]];
    ZR_CHECK(shown.constData() == expected.constData() || shown == expected);
    if (redsAlike) continue;
    const bool isRed = reds[static_cast<size_t>(a)] != 0;
    if (isRed != static_cast<bool>(mustBeRed[static_cast<size_t>(a)]))
      std::fprintf(stderr, "address %04X shows %s, red %d\n", a, qPrintable(shown), isRed);
    ZR_CHECK(isRed == static_cast<bool>(mustBeRed[static_cast<size_t>(a)]));
  }
  ZR_CHECK(redsAlike);
}

// Bytes outside first..last are as they were.
ZR_NO_COVERAGE void checkOutside(const std::vector<uint8_t>& before, const ByteArray& image, long long first, long long last) {
  ZR_CHECK(image.bytes().size() == before.size());
  for (size_t a = 0; a < before.size(); ++a)
    if (static_cast<long long>(a) < first || static_cast<long long>(a) > last) ZR_CHECK(image.bytes()[a] == before[a]);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  initialise(argc, argv);
  return 0;
}

// One input from a fresh state; returns what it left in the image and the view.
static uint64_t once(const uint8_t* data, size_t size) {
  Reader in(data, size);
  const std::vector<uint8_t> control = in.bytes(16);
  Reader ctl(control.data(), control.size());
  const std::vector<uint8_t> raw = in.rest();

  Session& s = sharedSession();
  Core& c = *s.core;
  // One view per process, as the session: its layout step puts back all it
  // holds (rows, texts, values, red marks, the current cell) and reuses the
  // 8 192 cells' storage. It runs when the view is made and when an input is
  // over (after the session's reset), so every input starts from a view laid
  // out afresh, and the texts an input left in the cells are freed within the
  // input: a view holding a fill's text until the next input looked to
  // libFuzzer like a leak, and it ran every such input again to look for one.
  static HexView view(c, s.editors.get());
  static const bool laidOut = (view.SetGridMemDat(), true);
  (void)laidOut;
  struct LayOutAfter {
    HexView& v;
    ~LayOutAfter() { v.SetGridMemDat(); }
  } layOutAfter{view};
  Session::RestartAfter reset(s);
  RangeFill fill(view, c.log);
  fill.reset(c.settings.TableMaxAddr);
  ByteArray& image = s.image();
  const int imageSize = image.size();

  // Whatever puts bytes into the image (a read, Open) decodes the channels
  // into the table afterwards, so the table never holds stale channels.
  loadRaw(image, raw);
  c.codec.IicDatToChInfo();
  view.TableFreDat();
  checkGrid(view, image, c.settings.TableMaxAddr, {});  // the first fill marks nothing
  view.TableFreDat();
  checkGrid(view, image, c.settings.TableMaxAddr, {});  // nothing changed, nothing red

  // Two bytes change behind the view's back (a read): exactly those turn red.
  // (Both may hit the same address: what counts is the byte at the refresh.)
  const std::vector<uint8_t> shown = image.bytes();
  for (int k = 0; k < 2; ++k) {
    const int a = ctl.word() % imageSize;
    image.set(a, ctl.byte());
  }
  c.codec.IicDatToChInfo();
  view.TableFreDat();
  std::vector<int> red;
  for (int a = 0; a < imageSize && a <= c.settings.TableMaxAddr; ++a)
    if (image.at(a) != shown[static_cast<size_t>(a)]) red.push_back(a);
  checkGrid(view, image, c.settings.TableMaxAddr, red);

  // An in-place edit of any cell, inside the grid or not.
  {
    const int row = ctl.word() % (view.rowCount() + 2) - 1;
    const int col = ctl.byte() % (HexView::kColumns + 2) - 1;
    const uint8_t pick = ctl.byte();
    static const char* const kTexts[] = {"7F", "1FF", "", "g", "00A5", "12345", "ff", " 1"};
    const QString text = QString::fromLatin1(kTexts[pick % std::size(kTexts)]);
    const bool editable = view.editable(row, col);
    const std::vector<uint8_t> before = image.bytes();
    const bool stored = view.editCell(row, col, text);
    ZR_CHECK(!stored || editable);
    if (stored) {
      const int a = HexView::addressOf(row, col);
      ZR_CHECK(image.at(a) == hexDigitsValue(SeparateChar(text, c.log)));
      checkOutside(before, image, a, a);
    } else {
      checkOutside(before, image, 1, 0);
    }
    (void)view.CellTipHint(row, col);
    (void)view.text(row, col);
  }

  // A range fill typed into the fill dialog.
  {
    static const char* const kValues[] = {"AB", "300", "101", "", "-1", "FFFFF", "zz", "0"};
    static const char* const kAddresses[] = {"0000", "0010", "001F", "1FFF", "2000", "FFFF", "10000", "q", ""};
    fill.cboFillData = static_cast<int>(ctl.byte() % 4) - 1;
    fill.txtFillData = QString::fromLatin1(kValues[ctl.byte() % std::size(kValues)]);
    const uint8_t s1 = ctl.byte(), s2 = ctl.byte();
    fill.txtStartAddr_Change(s1 < 128 ? QString::fromLatin1(kAddresses[s1 % std::size(kAddresses)])
                                      : QString::number(s1 * 37 % 0x2400, 16));
    fill.txtEndAddr_Change(s2 < 128 ? QString::fromLatin1(kAddresses[s2 % std::size(kAddresses)])
                                    : QString::number(s2 * 37 % 0x2400, 16));
    const std::vector<uint8_t> before = image.bytes();
    fill.cmdFillData_Click();
    // An address beyond 16 bits fills nothing.
    long long first = 1, last = 0;
    silently([&] {
      first = B_To_D(H_To_B(fill.txtStartAddr));
      last = B_To_D(H_To_B(fill.txtEndAddr));
    });
    if (first > last) first = 1, last = 0;
    checkOutside(before, image, first, last);
  }

  Digest d;
  for (int k = 0; k < 4; ++k)
    d.add(view.CellTipHint(ctl.word() % (view.rowCount() + 1), ctl.byte() % HexView::kColumns));
  ZR_CHECK(image.size() == imageSize);
  s.digest(d);
  const int shownLast = std::min({c.settings.TableMaxAddr, image.upperBound(), view.dataRows() * HexView::kBytesPerRow - 1});
  if (d.on())
    for (int a = 0; a <= shownLast; ++a) d.add(static_cast<long long>(view.colour(HexView::rowOf(a), HexView::colOf(a))));
  return d.value();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x4000) return -1;
  sameTwice([&] { return once(data, size); });
  return 0;
}
