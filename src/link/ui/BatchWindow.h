#pragma once
// Program > Batch Write...: the dealer's station in the desktop program. A
// thin window over BatchStation (the same workers, Radio IDs and log as the
// command line's `batch`): the data file, the ports to use (remembered in the
// configuration file), Verify, Back up first, the first Radio ID, one big
// "Write all (Enter)" button, a progress bar per port and the table of the
// radios done.
#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

#include "link/BatchResult.h"

class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace zr {

class BatchStation;
class PortMap;
struct Core;

class BatchWindow : public QDialog {
  Q_OBJECT
 public:
  // Configuration keys of section "Setting".
  static inline const QString kPortsKey = QStringLiteral("BatchPorts");
  static inline const QString kLogKey = QStringLiteral("BatchLog");

  BatchWindow(Core& core, PortMap& ports, QWidget* parent = nullptr);
  ~BatchWindow() override;

  // The program that writes one radio (zr417-cli beside this program).
  QString workerProgram;
  // Starts a round over the ticked ports, as the big button does.
  void writeAll();
  bool running() const;
  const std::vector<RadioResult>& results() const;
  // Whether a running round may be ended (the window or the program is
  // closing): true when none runs; otherwise the user is asked, naming the
  // ports being written. Nothing is stopped here.
  bool mayEndRound(const QString& closing);
  // Ends a running round: every worker stops, and each radio still being
  // written gets its row in the table and the log, ended because `why`.
  void endRound(const QString& why);

 signals:
  // The devices the running round is writing now (empty when it is done):
  // no other transfer of the program may use them meanwhile.
  void portsInUseChanged(const QStringList& devices);

 protected:
  void closeEvent(QCloseEvent* e) override;
  void reject() override;

 private:
  void fillPorts();
  void chooseFile();
  void portsChanged();
  void showUnsaved();
  void buildPortRows(const QStringList& devices);
  void onProgress(int port, const QString& stage, int percent);
  void onRadioDone(int port, const RadioResult& r);
  void onRoundFinished(int round);
  void setEditable(bool on);
  QString portLabel(const QString& device) const;

  Core& core_;
  PortMap& map_;
  std::unique_ptr<BatchStation> station_;
  QString stationKey_;  // the settings the station was made for
  QLineEdit* file_ = nullptr;
  QPushButton* chooseFile_ = nullptr;
  QLabel* unsaved_ = nullptr;
  QListWidget* ports_ = nullptr;
  QCheckBox* verify_ = nullptr;
  QCheckBox* backup_ = nullptr;
  QLineEdit* radioId_ = nullptr;
  QLineEdit* log_ = nullptr;
  QPushButton* writeAll_ = nullptr;
  QGridLayout* portRows_ = nullptr;
  QWidget* portFrame_ = nullptr;
  std::vector<QProgressBar*> bars_;
  std::vector<QLabel*> portStatus_;
  QTableWidget* table_ = nullptr;
  QLabel* status_ = nullptr;
  bool filling_ = false;
};

}  // namespace zr
