#pragma once
// The radio settings pages of the channel window `frmChMem`: the tab set
// `sstabSetMode` ("Radio Info" with the restore-defaults button `cmdDefSet`,
// "Optional Features" with the frames `fraEmbedMsg` and `fraOptionSet`), the
// button `cmdMoreFunc` (">") and the tab set `sstabMoreFunc` that the service
// code shows and hides again.
//
// Every control is made from a row of the settings map, by the row's name: a
// combo box for a list, a check box, a line edit for a text, a push button;
// the label of a row takes the row's label name. Rows land in the frame they
// name, frames on the tab or in the frame their FrameDef names, so rows and
// frames added to the map appear without a change here. The pages hold no
// rule: they show what the map's listener reports and hand every user action
// to the map's edit path. Buttons that open windows outside the map (the
// restore defaults, the automatic input, delete all, the volume table and
// the PTT ID pause channels) call hooks set with `setButtonHook`.
#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QSplitter;
class QTabWidget;
class QVBoxLayout;

namespace zr {

class FieldColumnsLayout;
class FrameColumnsLayout;

class SettingsMap;
struct FieldDef;
struct FieldState;
struct FrameDef;

class SettingsPages : public QWidget {
  Q_OBJECT
 public:
  // Buttons whose work lies outside the map; `setButtonHook` wires them.
  // The pages add the first three; the last two are rows of the map.
  static const QString kDefSet;           // "cmdDefSet", Radio Info: restore the default settings file
  static const QString kAutoInput;        // "cmdAutoInput", More Functions: the automatic channel input
  static const QString kDelAllCh;         // "cmdDelAllCh", More Functions: delete all channels
  static const QString kTwoWayVolSet;     // "cmdTwoWayVolSet" (">>"), beside the volume level: `frmSetVolume`
  static const QString kPttIdPauseChSet;  // "cmdPttIdPauseChSet": `frmPttIdPauseChSet`

  // Builds every control of the map and takes the map's listener; the
  // controls show the map's current states at once.
  explicit SettingsPages(SettingsMap& map, QWidget* parent = nullptr);
  ~SettingsPages() override;

  // Captions of the tabs, frames, labels, check boxes and buttons from the
  // text table (the constructor runs it once). A failure is logged as
  // "frmChMem->InitFace:" and ends it.
  void InitFace();

  // The service-code prompt, by default `frmInputCode` run modally. It
  // returns the entered text (already upper-cased by the prompt).
  std::function<QString()> askCode;

  // `cmdMoreFunc_Click`: asks for the service code; the right one shows the
  // More Functions pages, or hides them when they are shown.
  void cmdMoreFunc_Click();
  // The text of the last prompt (`EnteredCode`), empty before the first.
  const QString& EnteredCode() const { return enteredCode_; }

  // Room on the "Radio Info" tab, above `cmdDefSet`, for the model frame or
  // the channel grid when the window puts them on that tab.
  QVBoxLayout* radioInfoArea() const { return radioInfoArea_; }
  // Adds a widget the map does not describe (e.g. the two-tone grids) to a
  // frame, after the frame's own fields. Returns false for an unknown frame.
  bool addToFrame(const QString& frame, QWidget* widget);
  // The frame widget (a group box when it has a caption), or null.
  QWidget* frame(const QString& name) const;

  QTabWidget* sstabSetMode() const { return sstabSetMode_; }
  QTabWidget* sstabMoreFunc() const { return sstabMoreFunc_; }
  QPushButton* cmdMoreFunc() const { return cmdMoreFunc_; }

  QSize sizeHint() const override;

  // Tab order of the tab sets and every page in the order their controls
  // are drawn (again after the window has added controls to a page).
  void orderTabs();

 signals:
  // A button was clicked (`kDefSet`, `kAutoInput`, `kDelAllCh`,
  // `kTwoWayVolSet`, `kPttIdPauseChSet`); for a button of the map after the
  // map's own action. A slot that fails is reported with the button's tag
  // ("frmChMem->cmdDefSet_Click").
  void buttonPressed(const QString& name);

 private:
  // Accessible names of the controls, tabs and pages.
  void nameForScreenReaders();

  struct Control {
    QWidget* widget = nullptr;
    QLabel* label = nullptr;
    bool ownsLabel = false;  // false for the later rows of a control array sharing the label
    QStringList entries;  // lists: what the combo box holds
  };
  struct FrameView {
    QWidget* box = nullptr;
    QVBoxLayout* layout = nullptr;  // headings, fields, child frames, then added widgets
    FieldColumnsLayout* fields = nullptr;
    FrameColumnsLayout* children = nullptr;
    QString parent;
    int tab = -1;
    int caption = -1;
    QString captionText;
  };
  void buildTabs();
  void buildFrames();
  FrameView& frameFor(const QString& name);
  QWidget* makeControl(const FieldDef& d);
  QPushButton* makeHookButton(const QString& name);
  void placeFrames();
  void showState(const QString& name, const FieldState& s);
  void showCurrent(const QString& name);
  void pressButton(const QString& name);
  void announcePress(const QString& name);
  QString frameCaption(const FrameView& f) const;
  QString runPrompt();

  SettingsMap& map_;
  QTabWidget* sstabSetMode_ = nullptr;
  QTabWidget* sstabMoreFunc_ = nullptr;
  QSplitter* splitter_ = nullptr;
  QPushButton* cmdMoreFunc_ = nullptr;
  QPushButton* cmdDefSet_ = nullptr;
  QVBoxLayout* radioInfoArea_ = nullptr;
  std::vector<FrameColumnsLayout*> pageLayouts_;  // sstabSetMode tab 1, then sstabMoreFunc tabs 0..3
  QHash<QString, Control> controls_;
  QHash<QString, FrameView> frames_;
  QStringList frameOrder_;
  QHash<QString, QPushButton*> hookButtons_;
  QString enteredCode_;
};

}  // namespace zr
