#include "data/UndoHistory.h"

namespace zr {

UndoHistory::UndoHistory(MemoryImage& image, ChannelTable& table, QObject* parent)
    : QObject(parent), image_(image), table_(table) {}

UndoHistory::State UndoHistory::current() const { return State{image_.TempArray, table_}; }

void UndoHistory::apply(const State& s) {
  image_.TempArray = s.image;
  table_ = s.table;
}

void UndoHistory::settle() {
  if (!pending_) return;
  pending_ = false;
  // Compared in place: a copy of the image and the table only to compare
  // them would cost more than the comparison.
  if (!undo_.empty() && undo_.back().image == image_.TempArray && undo_.back().table == table_) {
    undo_.pop_back();
    return;
  }
  // A new change throws the redo steps away: a clean mark among them is gone.
  if (cleanPosition_ >= static_cast<int>(undo_.size())) cleanLost_ = true;
  redo_.clear();
}

int UndoHistory::position() const {
  int n = static_cast<int>(undo_.size());
  if (pending_ && !undo_.empty() && undo_.back().image == image_.TempArray && undo_.back().table == table_) --n;
  return n;
}

bool UndoHistory::modified() const { return cleanLost_ || position() != cleanPosition_; }

void UndoHistory::markClean() {
  // Typing on after a save is a new step, so that undoing it comes back here.
  settle();
  lastKey_.clear();
  cleanPosition_ = static_cast<int>(undo_.size());
  cleanLost_ = false;
  emit changed();
}

void UndoHistory::aboutToChange(const QString& mergeKey) {
  if (restoring_ || groupDepth_ > 0) return;
  // Typing on in the same field adds to the step its first key press made.
  if (!mergeKey.isEmpty() && mergeKey == lastKey_ && !undo_.empty()) return;
  settle();
  lastKey_ = mergeKey;
  undo_.push_back(current());
  while (static_cast<int>(undo_.size()) > kMaxSteps) {
    undo_.pop_front();
    // The oldest step is gone: the mark moves with the steps, or is lost.
    if (--cleanPosition_ < 0) cleanLost_ = true;
  }
  pending_ = true;
  emit changed();
}

void UndoHistory::clear() {
  undo_.clear();
  redo_.clear();
  lastKey_.clear();
  pending_ = false;
  cleanPosition_ = 0;
  cleanLost_ = false;
  emit changed();
}

bool UndoHistory::undo() { return step(undo_, redo_); }

bool UndoHistory::redo() { return step(redo_, undo_); }

// Moves one state from `from` to the image, keeping what it replaces on `to`.
bool UndoHistory::step(std::deque<State>& from, std::deque<State>& to) {
  settle();
  lastKey_.clear();
  if (from.empty()) {
    emit changed();
    return false;
  }
  to.push_back(current());
  State s = std::move(from.back());
  from.pop_back();
  restoring_ = true;
  apply(s);
  emit restored();
  restoring_ = false;
  emit changed();
  return true;
}

}  // namespace zr
