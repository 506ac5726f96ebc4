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
  if (!undo_.empty() && undo_.back() == current()) undo_.pop_back();
  else redo_.clear();
}

void UndoHistory::aboutToChange(const QString& mergeKey) {
  if (restoring_ || groupDepth_ > 0) return;
  // Typing on in the same field adds to the step its first key press made.
  if (!mergeKey.isEmpty() && mergeKey == lastKey_ && !undo_.empty()) return;
  settle();
  lastKey_ = mergeKey;
  undo_.push_back(current());
  while (static_cast<int>(undo_.size()) > kMaxSteps) undo_.pop_front();
  pending_ = true;
  emit changed();
}

void UndoHistory::clear() {
  undo_.clear();
  redo_.clear();
  lastKey_.clear();
  pending_ = false;
  emit changed();
}

bool UndoHistory::undo() {
  settle();
  lastKey_.clear();
  if (undo_.empty()) {
    emit changed();
    return false;
  }
  redo_.push_back(current());
  State s = std::move(undo_.back());
  undo_.pop_back();
  restoring_ = true;
  apply(s);
  emit restored();
  restoring_ = false;
  emit changed();
  return true;
}

bool UndoHistory::redo() {
  settle();
  lastKey_.clear();
  if (redo_.empty()) {
    emit changed();
    return false;
  }
  undo_.push_back(current());
  State s = std::move(redo_.back());
  redo_.pop_back();
  restoring_ = true;
  apply(s);
  emit restored();
  restoring_ = false;
  emit changed();
  return true;
}

}  // namespace zr
