#include "editors/PttIdPause.h"

#include "data/ByteArray.h"
#include "data/ChannelRecord.h"
#include "base/ErrorLog.h"
#include "base/RunError.h"

namespace zr {

namespace {

constexpr int kFlagByte = 13;  // byte of the channel record holding the flag

// Sets the guard for the life of a program update, also when it fails.
class UpdateGuard {
 public:
  explicit UpdateGuard(bool& flag) : flag_(flag) { flag_ = true; }
  ~UpdateGuard() { flag_ = false; }
  UpdateGuard(const UpdateGuard&) = delete;
  UpdateGuard& operator=(const UpdateGuard&) = delete;

 private:
  bool& flag_;
};

}  // namespace

int pttIdPauseAddr(int channel) {
  if (channel < 1 || channel > kPttIdPauseChannels) throwSubscript("PTT ID pause channel", channel, 1, kPttIdPauseChannels);
  return recordAddress(channel) + kFlagByte;
}

bool pttIdPauseFlag(const ByteArray& image, int channel) {
  return (image.at(pttIdPauseAddr(channel)) & kPttIdPauseMask) != 0;
}

QJsonArray pttIdPauseJson(const ByteArray& image) {
  QJsonArray out;
  for (int n = 1; n <= kPttIdPauseChannels; ++n) {
    const int a = pttIdPauseAddr(n);
    out.append(image.contains(a) && (image.at(a) & kPttIdPauseMask) != 0);
  }
  return out;
}

PttIdPauseSet::PttIdPauseSet(ByteArray& image, ErrorLog& log) : image_(image), log_(log) {}

bool PttIdPauseSet::box(int i) const {
  return i >= 0 && i < kPttIdPauseChannels && boxes_[static_cast<size_t>(i)];
}

void PttIdPauseSet::PttIdPauseChSet() {
  guarded(log_, "frmPttIdPauseChSet->PttIdPauseChSet", [&] {
    UpdateGuard g(updating_);
    for (int n = 1; n <= kPttIdPauseChannels; ++n) {
      const bool on = pttIdPauseFlag(image_, n);
      boxes_[static_cast<size_t>(n - 1)] = on;
      emit boxShown(n - 1, on);
    }
  });
}

void PttIdPauseSet::writeFlags() {
  // Every flag byte is checked before the first one changes.
  if (!image_.contains(pttIdPauseAddr(kPttIdPauseChannels)))
    throwSubscript("image", pttIdPauseAddr(kPttIdPauseChannels), 0, image_.upperBound());
  for (int n = 1; n <= kPttIdPauseChannels; ++n) {
    const int a = pttIdPauseAddr(n);
    const int b = image_.at(a);
    image_.set(a, boxes_[static_cast<size_t>(n - 1)] ? (b | kPttIdPauseMask) : (b & ~kPttIdPauseMask));
  }
}

bool PttIdPauseSet::boxClicked(int i, bool ticked) {
  bool wrote = false;
  guarded(log_, "frmPttIdPauseChSet->chkPttIdPauseChSet_Click", [&] {
    if (i < 0 || i >= kPttIdPauseChannels) throwSubscript("chkPttIdPauseChSet", i, 0, kPttIdPauseChannels - 1);
    boxes_[static_cast<size_t>(i)] = ticked;
    if (updating_) return;
    writeFlags();
    wrote = true;
    bool anyTicked = false, anyUnticked = false;
    for (bool b : boxes_) (b ? anyTicked : anyUnticked) = true;
    if (anyTicked) none_ = false;
    if (anyUnticked) all_ = false;
  });
  return wrote;
}

void PttIdPauseSet::tickAll(bool ticked) {
  UpdateGuard g(updating_);
  for (int i = 0; i < kPttIdPauseChannels; ++i) {
    boxes_[static_cast<size_t>(i)] = ticked;
    emit boxShown(i, ticked);
  }
  writeFlags();
}

bool PttIdPauseSet::chooseAll() {
  return guarded(log_, "frmPttIdPauseChSet->chkSelectAll_Click", [&] {
    all_ = true;
    none_ = false;
    tickAll(true);
  });
}

bool PttIdPauseSet::chooseNone() {
  return guarded(log_, "frmPttIdPauseChSet->chkSelectNone_Click", [&] {
    none_ = true;
    all_ = false;
    tickAll(false);
  });
}

}  // namespace zr
