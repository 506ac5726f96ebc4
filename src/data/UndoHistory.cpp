#include "data/UndoHistory.h"

namespace zr {

UndoHistory::UndoHistory(MemoryImage& image, ChannelTable& table, QObject* parent)
    : QObject(parent), image_(image), table_(table) {}

UndoHistory::Step UndoHistory::current() {
  Step s = spare_ ? std::move(spare_) : std::make_unique<State>();
  s->image = image_.TempArray;
  s->table = table_;
  return s;
}

void UndoHistory::recycle(Step s) {
  if (s && !spare_) spare_ = std::move(s);
}

void UndoHistory::apply(const State& s) {
  image_.TempArray = s.image;
  table_ = s.table;
}

void UndoHistory::settle() {
  if (!pending_) return;
  pending_ = false;
  // Compared in place: a copy of the image and the table only to compare
  // them would cost more than the comparison.
  if (!undo_.empty() && unchanged(*undo_.back())) {
    recycle(std::move(undo_.back()));
    undo_.pop_back();
    return;
  }
  // A new change throws the redo steps away: a clean mark among them is gone.
  if (cleanPosition_ >= static_cast<int>(undo_.size())) cleanLost_ = true;
  while (!redo_.empty()) {
    recycle(std::move(redo_.back()));
    redo_.pop_back();
  }
}

int UndoHistory::position() const {
  int n = static_cast<int>(undo_.size());
  if (pending_ && !undo_.empty() && unchanged(*undo_.back())) --n;
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
    recycle(std::move(undo_.front()));
    undo_.pop_front();
    // The oldest step is gone: the mark moves with the steps, or is lost.
    if (--cleanPosition_ < 0) cleanLost_ = true;
  }
  pending_ = true;
  emit changed();
}

void UndoHistory::clear() {
  if (!undo_.empty()) recycle(std::move(undo_.back()));
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
bool UndoHistory::step(std::deque<Step>& from, std::deque<Step>& to) {
  settle();
  lastKey_.clear();
  if (from.empty()) {
    emit changed();
    return false;
  }
  to.push_back(current());
  Step s = std::move(from.back());
  from.pop_back();
  restoring_ = true;
  apply(*s);
  emit restored();
  restoring_ = false;
  recycle(std::move(s));
  emit changed();
  return true;
}

}  // namespace zr
