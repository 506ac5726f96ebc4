#pragma once
// The channels on which the radio pauses its PTT ID signalling, and the model
// of their dialog `frmPttIdPauseChSet`.
//
// The flag of channel n (1 to 16) is bit 6 of byte 13 of the channel's
// 16-byte record, image address 0x0010 * n + 0x0D; the channel codec leaves
// that bit alone. The dialog always covers channels 1 to 16, in use or not.
// Every tick is written into the image at once, all sixteen flags from the
// sixteen boxes; while the program itself ticks boxes (opening, "All",
// "None") the update guard keeps those box changes from writing.
#include <QJsonArray>
#include <QObject>
#include <array>
#include <functional>

namespace zr {

class ByteArray;
class ErrorLog;

constexpr int kPttIdPauseChannels = 16;
constexpr int kPttIdPauseMask = 0x40;

// Image address of the flag byte of channel 1..16 (index failure otherwise).
int pttIdPauseAddr(int channel);
// The flag of channel 1..16 in the image.
bool pttIdPauseFlag(const ByteArray& image, int channel);
// The "ptt_id_pause" array of `zr417-cli show --json`: the flags of channels
// 1..16; a channel whose byte lies outside the image shows false.
QJsonArray pttIdPauseJson(const ByteArray& image);

class PttIdPauseSet : public QObject {
  Q_OBJECT

 public:
  PttIdPauseSet(ByteArray& image, ErrorLog& log);

  // Opening (`PttIdPauseChSet`): with the guard set, box n-1 shows the flag
  // of channel n. Logged as "frmPttIdPauseChSet->PttIdPauseChSet".
  void PttIdPauseChSet();

  // A box was ticked or unticked (`chkPttIdPauseChSet_Click`, box 0..15).
  // With the guard clear, all sixteen flags are rewritten from the boxes and
  // "None" / "All" are deselected when a box is ticked / unticked. With the
  // guard set only the box changes. Returns whether the flags were written.
  bool boxClicked(int box, bool ticked);
  // "All" (`chkSelectAll_Click`) and "None" (`chkSelectNone_Click`): every
  // box and every flag set or cleared, the other choice deselected.
  bool chooseAll();
  bool chooseNone();

  bool box(int box) const;  // false outside 0..15
  bool allChosen() const { return all_; }
  bool noneChosen() const { return none_; }
  bool updating() const { return updating_; }


 signals:
  // Every box the program ticks or unticks (with the guard set), so a window
  // can mirror it.
  void boxShown(int box, bool ticked);

 private:
  void tickAll(bool ticked);
  void writeFlags();

  ByteArray& image_;
  ErrorLog& log_;
  std::array<bool, kPttIdPauseChannels> boxes_{};
  bool all_ = false;
  bool none_ = false;
  bool updating_ = false;
};

}  // namespace zr
