#include "data/ChannelTable.h"

namespace zr {

ChannelTable::ChannelTable()
    : decode_(static_cast<size_t>(kChannels) + 1), encode_(static_cast<size_t>(kChannels) + 1) {}

void ChannelTable::check(int row, int channel) {
  if (row < 0 || row >= kRows) throwSubscript("channel table row", row, 0, kRows - 1);
  if (channel < 1 || channel > kChannels) throwSubscript("channel", channel, 1, kChannels);
}

int ChannelTable::get(int row, int channel) const {
  check(row, channel);
  return rows_[static_cast<size_t>(row)][static_cast<size_t>(channel)];
}

void ChannelTable::set(int row, int channel, int value) {
  check(row, channel);
  rows_[static_cast<size_t>(row)][static_cast<size_t>(channel)] = value;
}

const QString& ChannelTable::decodeTone(int channel) const {
  check(0, channel);
  return decode_[static_cast<size_t>(channel)];
}

const QString& ChannelTable::encodeTone(int channel) const {
  check(0, channel);
  return encode_[static_cast<size_t>(channel)];
}

void ChannelTable::setDecodeTone(int channel, const QString& text) {
  check(0, channel);
  decode_[static_cast<size_t>(channel)] = text;
}

void ChannelTable::setEncodeTone(int channel, const QString& text) {
  check(0, channel);
  encode_[static_cast<size_t>(channel)] = text;
}

}  // namespace zr
