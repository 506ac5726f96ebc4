#pragma once
// The small windows of the shell: the navigation tree `frmTreeView`, the
// radio information window `frmRadioInfo` (with its hidden hex-view switch),
// the optional-features window `frmSysSet` and the about box `frmAboutSoft`.
#include <QDialog>
#include <QDockWidget>
#include <QWidget>

class QGroupBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

namespace zr {

struct Core;

class TreeViewWindow : public QDockWidget {
  Q_OBJECT
 public:
  TreeViewWindow(Core& core, QWidget* parent = nullptr);
  QTreeWidget* tree() const { return tree_; }
  // A node click, by key ("Radio", "RadioInfo", "ChInfo", "SysSet").
  void nodeClick(const QString& key);

 signals:
  void showRequested(const QString& windowName);  // "frmRadioInfo", "frmChMem", "frmSysSet"

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  Core& core_;
  QTreeWidget* tree_;
};

class RadioInfoWindow : public QWidget {
  Q_OBJECT
 public:
  RadioInfoWindow(Core& core, QWidget* parent = nullptr);
  bool debugOn() const { return debug_; }
  // The hidden switch: a double click on lblDebug toggles the debug flag; a
  // double click on the frame shows the hex view while it is on.
  void lblDebug_DblClick();
  void fraMain_DblClick();

 signals:
  void hexViewRequested();

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Core& core_;
  QGroupBox* fraMain_;
  QLabel* lblDebug_;
  bool debug_ = false;
};

class SysSetWindow : public QWidget {
  Q_OBJECT
 public:
  SysSetWindow(Core& core, QWidget* parent = nullptr);

 protected:
  void closeEvent(QCloseEvent* e) override;

 private:
  Core& core_;
};

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(Core& core, QWidget* parent = nullptr);
};

}  // namespace zr
