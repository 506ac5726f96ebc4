#pragma once
// What happened to the data of one run, told to whoever shows it. The data
// layer says what happened; the editors, the hex view and the windows
// subscribe and decide how to show it. Nothing here calls up into them.
//
// Every receiver is connected directly, so it has run when `emit` returns,
// in the order of connection: the editors of the core first (they are built
// with it), then the windows. A receiver handles its own failures (logs
// them): a failure must not unwind through the signal.
#include <QObject>

namespace zr {

class DataEvents : public QObject {
  Q_OBJECT
 public:
  // How the whole image was replaced.
  enum class Replacement {
    Loaded,          // a data file or raw image was opened, a radio was read
    DefaultsLoaded,  // the default settings file of a band family (Restore Default Setting)
    New,             // New, a band or model change: the default image under the kept band bytes
    Written,         // a write ended: the editors show what the radio now holds
  };
  Q_ENUM(Replacement)

  using QObject::QObject;

 signals:
  // The whole image was replaced; `ChTable` already holds its channels.
  void replaced(zr::DataEvents::Replacement how);
  // Bytes first..last of the image were changed in place by `by` (the hex
  // view, a fill): every other editor shows them again.
  void bytesChanged(int first, int last, const QObject* by);
  // The current file name (`CurFilePath`) changed, or the file was saved.
  void fileNamed();
  // A command is about to save the data or ask about it: an edit still being
  // typed belongs to it and goes into the image now.
  void pendingEditsWanted();
};

}  // namespace zr
