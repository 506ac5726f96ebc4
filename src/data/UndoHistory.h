#pragma once
// Undo and redo of the user's changes. One step is a copy of the memory image
// `TempArray` together with the channel table `ChTable` as they were just
// before a change: restoring it puts both back at once, so a grid row that was
// not yet encoded comes back exactly as the user left it.
//
// Every editor calls `aboutToChange()` right before it changes the image or
// the channel table on the user's behalf. A call that turns out to change
// nothing leaves no step behind: the copy is compared with the state the next
// time the history is used. A `Group` makes one step of a command that runs
// many edits (an automatic input Set, a paste, a band change); calls with the
// same merge key in a row make one step of typing into one field.
//
// New, Open and a read from the radio start a fresh history (`clear()`). The
// history keeps at most `kMaxSteps` steps; the oldest are dropped.
//
// The history also knows whether the data was modified: the position of the
// last New, Open, Save or good read is the clean mark. Undoing back to it
// makes the data unmodified again; once the mark has fallen out of the kept
// steps (or out of the redo steps a new change throws away), the data stays
// modified until it is saved or replaced.
#include <QObject>
#include <QString>
#include <deque>
#include <memory>

#include "data/ChannelTable.h"
#include "data/MemoryImage.h"

namespace zr {

class UndoHistory : public QObject {
  Q_OBJECT
 public:
  static constexpr int kMaxSteps = 200;

  UndoHistory(MemoryImage& image, ChannelTable& table, QObject* parent = nullptr);

  // The user is about to change the image or the channel table.
  void aboutToChange(const QString& mergeKey = {});
  // Forgets every step (New, Open, a read).
  void clear();
  // Takes back the last change, or does it again; false when there is none.
  bool undo();
  bool redo();
  bool canUndo() const { return !undo_.empty(); }
  bool canRedo() const { return !redo_.empty(); }
  // Steps held (a pending step that may still turn out empty included).
  int undoSteps() const { return static_cast<int>(undo_.size()); }
  int redoSteps() const { return static_cast<int>(redo_.size()); }
  // The data differs from what the last New, Open, Save or read left.
  bool modified() const;
  // The data as it is now is what a file or the radio holds (a Save).
  void markClean();
  // True while a restored step is being shown: editors record nothing then.
  bool restoring() const { return restoring_; }

  // Everything done while a Group lives is one step.
  class Group {
   public:
    explicit Group(UndoHistory& h, const QString& mergeKey = {}) : Group(&h, mergeKey) {}
    // A null history (an editor used without one) records nothing.
    explicit Group(UndoHistory* h, const QString& mergeKey = {}) : h_(h) {
      if (!h_) return;
      h_->aboutToChange(mergeKey);
      ++h_->groupDepth_;
    }
    ~Group() {
      if (h_) --h_->groupDepth_;
    }
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

   private:
    UndoHistory* h_;
  };

 signals:
  // Image and channel table were replaced by a step: the editors redisplay
  // them without writing anything back.
  void restored();
  // What undo and redo can do may have changed.
  void changed();

 private:
  struct State {
    ByteArray image;
    ChannelTable table;
    bool operator==(const State&) const = default;
  };
  using Step = std::unique_ptr<State>;
  // The image and the table as they are now, in a step of their own. The
  // step reuses the storage of one given up before (a step that changed
  // nothing, the oldest dropped, the history cleared): most changes then
  // copy without allocating a step of some 30 kilobytes each time.
  Step current();
  void recycle(Step s);
  bool unchanged(const State& s) const { return s.image == image_.TempArray && s.table == table_; }
  void apply(const State& s);
  bool step(std::deque<Step>& from, std::deque<Step>& to);
  // Settles the step taken by the last aboutToChange: dropped when nothing
  // changed since, otherwise the redo steps are gone.
  void settle();

  MemoryImage& image_;
  ChannelTable& table_;
  std::deque<Step> undo_;
  std::deque<Step> redo_;
  Step spare_;
  QString lastKey_;
  bool pending_ = false;
  bool restoring_ = false;
  int groupDepth_ = 0;
  // The clean mark: the number of undo steps held when the data was last
  // saved or replaced; unreachable once a step it needs is gone.
  int cleanPosition_ = 0;
  bool cleanLost_ = false;
  // The undo steps that count: a pending step that changed nothing does not.
  int position() const;
};

}  // namespace zr
