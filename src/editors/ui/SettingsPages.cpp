#include "editors/ui/SettingsPages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "editors/SettingsMap.h"
#include "editors/ui/InputCodeDialog.h"
#include "editors/ui/SettingsPagesLayout.h"
#include "base/ErrorLog.h"
#include "base/TextTable.h"
#include "base/TextIds.h"

namespace zr {

const QString SettingsPages::kDefSet = QStringLiteral("cmdDefSet");
const QString SettingsPages::kAutoInput = QStringLiteral("cmdAutoInput");
const QString SettingsPages::kDelAllCh = QStringLiteral("cmdDelAllCh");
const QString SettingsPages::kTwoWayVolSet = QStringLiteral("cmdTwoWayVolSet");
const QString SettingsPages::kPttIdPauseChSet = QStringLiteral("cmdPttIdPauseChSet");

namespace {

const QString kSetMode = QStringLiteral("sstabSetMode");
const QString kMoreFunc = QStringLiteral("sstabMoreFunc");

// The More Functions tabs carry fixed captions in every language.
const char* const kMoreFuncTabs[] = {"未分类", "DTMF", "两音", "Tab 3"};
constexpr int kMoreFuncTabCount = 4;
constexpr int kSetModeTabCount = 2;
constexpr int kLastMoreFuncTab = kMoreFuncTabCount - 1;

// Below the channel grid of a 1280x800 screen the pages get about this much.
constexpr int kHintMaxWidth = 1240;
constexpr int kHintMaxHeight = 400;
// Share of the width the More Functions pages take when they appear.
constexpr int kMoreFuncShare = 60;

// A button drawn right of a field of the map instead of on a line of its own.
struct Beside {
  const char* button;
  const char* field;
};
constexpr int kBesidePadding = 24;
const Beside kBesides[] = {
    {"cmdTwoWayVolSet", "cboTwoWayVolumeLevel"},  // ">>": the volume table of the volume level
    {"cmdPttIdPauseChSet", "cboPttIdPauseTime"},  // the channels that pause, beside the pause time
};

// A heading above a group of fields (shown when the first field exists).
struct Heading {
  const char* name;
  const char* anchor;
  int entry;          // text-table entry, -1 for the fixed text
  const char* fixed;  // fixed caption
};
const Heading kHeadings[] = {
    {"lblVoxCmpDat", "cboVoxCmpDat(1)", kTxtVoxCompareVoltage, ""},
    {"Label5", "txtAutoMem(0)", -1, "0--9, A--D, *, #"},
};

// Names a screen reader says for the controls whose label does not say which
// one of a row they are, or whose caption is the radio's own Chinese text.
// The number is the control's place in its row, counted from 1.
struct RowName {
  const char* base;     // control array
  const char* pattern;  // %1: place in the row
  int firstIndex;       // index of the row's first control
};
const RowName kRowNames[] = {
    {"txtInfo", "Message line %1", 1},
    {"txtAutoMem", "Auto memory %1", 0},
    {"cboRadioId", "Radio ID digit %1", 0},
    {"cboVoxCmpDat", "VOX comparison value %1", 1},
};
// Buttons whose caption is a sign rather than a word.
const std::pair<const char*, const char*> kButtonNames[] = {
    {"cmdTwoWayVolSet", "Volume table"},
};
// Plain English names of the More Functions tabs, whose captions stay as the radio has them.
const char* const kMoreFuncTabNames[] = {"Further functions", "DTMF", "Two-tone", "VOX, scan and battery"};

// A caption as a name: no mnemonic marks, no trailing colon.
QString plainName(QString caption) {
  caption.remove(u'&');
  caption = caption.trimmed();
  while (caption.endsWith(u':') || caption.endsWith(QChar(0xFF1A))) caption.chop(1);
  return caption.trimmed();
}

// A scroll area that asks for room for its whole page at the page's
// preferred width; given less, it scrolls.
class PageScroll : public QScrollArea {
 public:
  using QScrollArea::QScrollArea;
  QSize sizeHint() const override {
    if (!widget()) return QScrollArea::sizeHint();
    const int w = widget()->sizeHint().width();
    const int h = widget()->hasHeightForWidth() ? widget()->heightForWidth(w) : widget()->sizeHint().height();
    const int f = 2 * frameWidth();
    return {w + f + verticalScrollBar()->sizeHint().width(), h + f};
  }
  // Never narrower than the page's narrowest layout (one column of frames):
  // beside the service pages a page keeps its width and the pages as a whole
  // scroll sideways, rather than each page scrolling both ways.
  QSize minimumSizeHint() const override {
    if (!widget()) return QScrollArea::minimumSizeHint();
    const int f = 2 * frameWidth();
    return {widget()->minimumSizeHint().width() + f + verticalScrollBar()->sizeHint().width(),
            QScrollArea::minimumSizeHint().height()};
  }
};

// A tab page that scrolls; returns the layout its frames go into.
FrameColumnsLayout* addScrollPage(QTabWidget* tabs) {
  auto* scroll = new PageScroll(tabs);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  auto* page = new QWidget(scroll);
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(4, 4, 4, 4);
  auto* frames = new FrameColumnsLayout;
  layout->addLayout(frames);
  layout->addStretch(1);
  scroll->setWidget(page);
  tabs->addTab(scroll, QString());
  return frames;
}

}  // namespace

SettingsPages::SettingsPages(SettingsMap& map, QWidget* parent) : QWidget(parent), map_(map) {
  setObjectName(QStringLiteral("SettingsPages"));
  askCode = [this] { return runPrompt(); };
  buildTabs();
  buildFrames();
  connect(&map_, &SettingsMap::fieldChanged, this, [this](const QString& name, const FieldState& s) { showState(name, s); });
  for (const FieldDef& d : map_.fields()) showCurrent(d.name);
  InitFace();
  orderTabs();
}

SettingsPages::~SettingsPages() = default;

// ---- building ----------------------------------------------------------------

void SettingsPages::buildTabs() {
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  // The pages scroll sideways as a whole when the visible ones (with the
  // service pages) are wider than the window; up and down each page scrolls.
  auto* whole = new QScrollArea(this);
  whole->setObjectName(QStringLiteral("scrSettingsPages"));
  whole->setAccessibleName(QStringLiteral("Settings pages"));
  whole->setFrameShape(QFrame::NoFrame);
  whole->setWidgetResizable(true);
  whole->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  whole->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  whole->setFocusPolicy(Qt::NoFocus);
  outer->addWidget(whole);
  splitter_ = new QSplitter(Qt::Horizontal, whole);
  splitter_->setChildrenCollapsible(false);
  whole->setWidget(splitter_);

  sstabSetMode_ = new QTabWidget(splitter_);
  sstabSetMode_->setObjectName(kSetMode);
  auto* radioInfo = new QWidget(sstabSetMode_);
  auto* radioLayout = new QVBoxLayout(radioInfo);
  radioInfoArea_ = new QVBoxLayout;
  radioLayout->addLayout(radioInfoArea_);
  cmdDefSet_ = makeHookButton(kDefSet);
  auto* defRow = new QHBoxLayout;
  defRow->addWidget(cmdDefSet_);
  defRow->addStretch(1);
  radioLayout->addLayout(defRow);
  radioLayout->addStretch(1);
  sstabSetMode_->addTab(radioInfo, QString());
  pageLayouts_.push_back(addScrollPage(sstabSetMode_));

  // The ">" button sits in the corner of the visible tab set.
  cmdMoreFunc_ = new QPushButton(QStringLiteral(">"), sstabSetMode_);
  cmdMoreFunc_->setObjectName(QStringLiteral("cmdMoreFunc"));
  cmdMoreFunc_->setFixedWidth(cmdMoreFunc_->fontMetrics().horizontalAdvance(QStringLiteral(">>>>")) + 8);
  sstabSetMode_->setCornerWidget(cmdMoreFunc_, Qt::TopRightCorner);
  connect(cmdMoreFunc_, &QPushButton::clicked, this, [this] { cmdMoreFunc_Click(); });

  sstabMoreFunc_ = new QTabWidget(splitter_);
  sstabMoreFunc_->setObjectName(kMoreFunc);
  for (int t = 0; t < kMoreFuncTabCount; ++t) pageLayouts_.push_back(addScrollPage(sstabMoreFunc_));
  // Hidden until the service code shows it; its visibility is never stored.
  sstabMoreFunc_->hide();
}

QPushButton* SettingsPages::makeHookButton(const QString& name) {
  auto* b = new QPushButton(this);
  b->setObjectName(name);
  hookButtons_.insert(name, b);
  connect(b, &QPushButton::clicked, this, [this, name] { announcePress(name); });
  return b;
}

SettingsPages::FrameView& SettingsPages::frameFor(const QString& name) {
  auto it = frames_.find(name);
  if (it != frames_.end()) return *it;
  // A frame the frame list does not name: it goes on the last More Functions tab.
  FrameView f;
  f.parent = kMoreFunc;
  f.tab = kLastMoreFuncTab;
  frameOrder_ << name;
  return *frames_.insert(name, f);
}

void SettingsPages::buildFrames() {
  for (const FrameDef& fd : settingsFrames()) {
    if (frames_.contains(fd.name)) continue;
    FrameView f;
    f.parent = fd.parent;
    f.tab = fd.tab;
    f.caption = fd.caption;
    f.captionText = fd.captionText;
    frameOrder_ << fd.name;
    frames_.insert(fd.name, f);
  }
  for (const FieldDef& d : map_.fields()) frameFor(d.frame);

  // Frames with a caption are group boxes; the others only group.
  for (const QString& name : frameOrder_) {
    FrameView& f = frames_[name];
    const bool titled = f.caption >= 0 || !f.captionText.isEmpty();
    f.box = titled ? new QGroupBox(this) : new QWidget(this);
    f.box->setObjectName(name);
    f.layout = new QVBoxLayout(f.box);
    if (!titled) f.layout->setContentsMargins(0, 0, 0, 0);
    for (const Heading& h : kHeadings) {
      const FieldDef* anchor = map_.def(QString::fromLatin1(h.anchor));
      if (!anchor || anchor->frame != name) continue;
      auto* label = new QLabel(f.box);
      label->setObjectName(QString::fromLatin1(h.name));
      f.layout->addWidget(label);
    }
    f.fields = new FieldColumnsLayout;
    f.layout->addLayout(f.fields);
    f.children = new FrameColumnsLayout;
    f.layout->addLayout(f.children);
  }

  QHash<QString, QString> besideOf;  // field -> button drawn right of it
  for (const Beside& b : kBesides)
    if (map_.def(QString::fromLatin1(b.button)) && map_.def(QString::fromLatin1(b.field)))
      besideOf.insert(QString::fromLatin1(b.field), QString::fromLatin1(b.button));

  // Controls first (a field may need a button made later in table order).
  for (const FieldDef& d : map_.fields()) makeControl(d);

  // One line per field; the rows of a control array that follow their
  // labelled first row without a label of their own share its line.
  QWidget* shareHost = nullptr;
  QLabel* shareLabel = nullptr;
  QString shareBase, shareFrame;
  QSet<QString> drawnBeside;
  for (const QString& b : besideOf) drawnBeside.insert(b);
  for (const FieldDef& d : map_.fields()) {
    FrameView& f = frames_[d.frame];
    QWidget* w = controls_[d.name].widget;
    if (drawnBeside.contains(d.name)) continue;
    if (d.widget == Widget::Check || d.widget == Widget::Button) {
      f.fields->addSingle(w);
      shareHost = nullptr;
      continue;
    }
    if (shareHost && d.index() >= 0 && d.baseName() == shareBase && d.frame == shareFrame &&
        (d.label.isEmpty() || d.label == shareLabel->objectName())) {
      shareHost->layout()->addWidget(w);
      controls_[d.name].label = shareLabel;
      continue;
    }
    auto* label = new QLabel(f.box);
    if (!d.label.isEmpty()) label->setObjectName(d.label);
    label->setBuddy(w);
    controls_[d.name].label = label;
    controls_[d.name].ownsLabel = true;
    QWidget* field = w;
    const QString beside = besideOf.value(d.name);
    if (d.index() >= 0 || !beside.isEmpty()) {
      // A line with room for more controls.
      field = new QWidget(f.box);
      auto* row = new QHBoxLayout(field);
      row->setContentsMargins(0, 0, 0, 0);
      row->setSpacing(4);
      row->addWidget(w);
      if (!beside.isEmpty()) row->addWidget(controls_[beside].widget);
    }
    f.fields->addPair(label, field);
    const bool array = d.index() >= 0 && beside.isEmpty();
    shareHost = array ? field : nullptr;
    shareLabel = label;
    shareBase = d.baseName();
    shareFrame = d.frame;
  }

  placeFrames();
}
QWidget* SettingsPages::makeControl(const FieldDef& d) {
  Control& c = controls_[d.name];
  const QString name = d.name;
  switch (d.widget) {
    case Widget::List: {
      auto* box = new QComboBox(this);
      box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
      box->setMaxVisibleItems(16);
      connect(box, &QComboBox::activated, this, [this, name](int position) {
        map_.setPosition(name, position);
        showCurrent(name);
      });
      c.widget = box;
      break;
    }
    case Widget::Check: {
      auto* check = new QCheckBox(this);
      connect(check, &QCheckBox::clicked, this, [this, name](bool checked) {
        map_.setChecked(name, checked);
        showCurrent(name);
      });
      c.widget = check;
      break;
    }
    case Widget::Text: {
      auto* edit = new QLineEdit(this);
      if (d.maxLength > 0) {
        edit->setMaxLength(d.maxLength);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QString(d.maxLength + 1, u'M')));
      }
      if (d.store == Store::CodeText) {
        // A code is filtered and stored at every key, so the fields that
        // follow it (the stun type) and the hex view follow as the user types.
        connect(edit, &QLineEdit::textEdited, this, [this, name](const QString& typed) {
          map_.setText(name, typed);
          showCurrent(name);
        });
      } else {
        // An info line is stored once the user is done with it (Enter or
        // leaving the field): the radio's form of a half-typed line (its
        // trailing blanks dropped) would get in the way of the typing.
        connect(edit, &QLineEdit::editingFinished, this, [this, name, edit] {
          if (!edit->isModified()) return;
          edit->setModified(false);
          map_.setText(name, edit->text());
          showCurrent(name);
        });
      }
      c.widget = edit;
      break;
    }
    case Widget::Button: {
      auto* button = new QPushButton(this);
      connect(button, &QPushButton::clicked, this, [this, name] { pressButton(name); });
      c.widget = button;
      break;
    }
  }
  c.widget->setObjectName(d.name);
  return c.widget;
}

void SettingsPages::placeFrames() {
  // A frame inside another frame goes into its parent's frame columns, the
  // others onto their tab, in the order of the frame list.
  for (const QString& name : frameOrder_) {
    FrameView& f = frames_[name];
    if (f.tab < 0 && frames_.contains(f.parent) && f.parent != name) {
      frames_[f.parent].children->addWidget(f.box);
    } else if (f.parent == kSetMode && f.tab == 0) {
      radioInfoArea_->addWidget(f.box);
    } else if (f.parent == kSetMode && f.tab > 0 && f.tab < kSetModeTabCount) {
      pageLayouts_[0]->addWidget(f.box);
    } else {
      const int tab = f.parent == kMoreFunc && f.tab >= 0 && f.tab < kMoreFuncTabCount ? f.tab : kLastMoreFuncTab;
      pageLayouts_[static_cast<size_t>(1 + tab)]->addWidget(f.box);
    }
  }

  // The channel buttons close the first More Functions tab.
  auto* channelButtons = new QWidget(this);
  auto* buttonRow = new QHBoxLayout(channelButtons);
  buttonRow->setContentsMargins(0, 0, 0, 0);
  buttonRow->addWidget(makeHookButton(kAutoInput));
  buttonRow->addWidget(makeHookButton(kDelAllCh));
  buttonRow->addStretch(1);
  pageLayouts_[1]->addWidget(channelButtons);
}

// ---- following the map -------------------------------------------------------

void SettingsPages::showState(const QString& name, const FieldState& s) {
  auto it = controls_.find(name);
  if (it == controls_.end()) return;
  Control& c = *it;
  QWidget* w = c.widget;
  const QSignalBlocker block(w);
  if (auto* box = qobject_cast<QComboBox*>(w)) {
    if (c.entries != s.entries) {
      box->clear();
      box->addItems(s.entries);
      c.entries = s.entries;
    }
    box->setCurrentIndex(s.position >= 0 && s.position < box->count() ? s.position : -1);
  } else if (auto* check = qobject_cast<QCheckBox*>(w)) {
    check->setChecked(s.checked);
  } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
    if (edit->text() != s.text) {
      edit->setText(s.text);
      edit->setCursorPosition(static_cast<int>(s.text.size()));
    }
  }
  w->setEnabled(s.enabled);
  w->setToolTip(s.toolTip);
  if (c.label) c.label->setEnabled(s.enabled);
}

void SettingsPages::showCurrent(const QString& name) {
  if (const FieldState* s = map_.state(name)) showState(name, *s);
}

void SettingsPages::pressButton(const QString& name) {
  map_.press(name);
  announcePress(name);
}

void SettingsPages::announcePress(const QString& name) {
  const QByteArray tag = QStringLiteral("frmChMem->%1_Click").arg(name).toUtf8();
  guarded(map_.log(), tag.constData(), [&] { emit buttonPressed(name); });
}

// ---- the service code -------------------------------------------------------

QString SettingsPages::runPrompt() {
  InputCodeDialog prompt(map_.text().language(), this);
  prompt.exec();
  return prompt.EnteredCode();
}

void SettingsPages::cmdMoreFunc_Click() {
  guarded(map_.log(), "frmChMem->cmdMoreFunc_Click", [&] {
    enteredCode_ = askCode ? askCode() : QString();
    // A wrong code is not reported.
    if (!isServiceCode(enteredCode_)) return;
    const bool show = sstabMoreFunc_->isHidden();
    sstabMoreFunc_->setVisible(show);
    if (show) {
      // The further pages hold more: they get the larger share.
      const int total = std::max(splitter_->width(), kHintMaxWidth / 2);
      // The first pages keep what they need to show themselves, at most
      // their usual share, so the two-tone grids fit side by side.
      const QWidget* corner = sstabSetMode_->cornerWidget(Qt::TopRightCorner);
      const int tabs = sstabSetMode_->tabBar()->sizeHint().width() + (corner ? corner->sizeHint().width() : 0) + 16;
      const int left =
          std::min(total * (100 - kMoreFuncShare) / 100, std::max(sstabSetMode_->minimumSizeHint().width(), tabs));
      splitter_->setSizes({left, total - left});
    }
    updateGeometry();
  });
}

// ---- captions and the rest --------------------------------------------------

QString SettingsPages::frameCaption(const FrameView& f) const {
  return f.captionText + (f.caption >= 0 ? map_.text().SoftFace(f.caption) : QString());
}

void SettingsPages::InitFace() {
  guarded(map_.log(), "frmChMem->InitFace:", [&] {
    const TextTable& t = map_.text();
    sstabSetMode_->setTabText(0, t.SoftFace(kTxtRadioInfoTab));
    sstabSetMode_->setTabText(1, t.SoftFace(kTxtOptionalFeatures));
    for (int i = 0; i < kMoreFuncTabCount; ++i) sstabMoreFunc_->setTabText(i, QString::fromUtf8(kMoreFuncTabs[i]));
    for (const QString& name : frameOrder_) {
      const FrameView& f = frames_[name];
      if (auto* box = qobject_cast<QGroupBox*>(f.box)) box->setTitle(frameCaption(f));
    }
    for (const FieldDef& d : map_.fields()) {
      const Control& c = controls_[d.name];
      const QString caption = map_.caption(d);
      if (c.label) {
        if (c.ownsLabel) c.label->setText(caption);
      } else if (auto* button = qobject_cast<QAbstractButton*>(c.widget)) button->setText(caption);
    }
    // A button beside a field is only as wide as its caption.
    for (const Beside& b : kBesides)
      if (auto* button = qobject_cast<QPushButton*>(controls_.value(QString::fromLatin1(b.button)).widget))
        button->setMaximumWidth(button->fontMetrics().horizontalAdvance(button->text()) + kBesidePadding);
    for (const Heading& h : kHeadings)
      if (auto* label = findChild<QLabel*>(QString::fromLatin1(h.name)))
        label->setText(h.entry >= 0 ? t.SoftFace(h.entry) : QString::fromUtf8(h.fixed));
    const auto caption = [&](const QString& name, const QString& text) {
      if (QPushButton* b = hookButtons_.value(name)) b->setText(text);
    };
    caption(kDefSet, t.SoftFace(kTxtRestoreDefaults));
    caption(kAutoInput, t.SoftFace(kTxtAutoInput));
    caption(kDelAllCh, t.SoftFace(kTxtDelAll));
    nameForScreenReaders();
  });
}

void SettingsPages::nameForScreenReaders() {
  // Every control is named where it is made, from its label, or from its
  // place in its row where several controls share one label.
  for (const FieldDef& d : map_.fields()) {
    const Control& c = controls_[d.name];
    if (!c.widget) continue;
    QString name;
    for (const RowName& r : kRowNames)
      if (d.index() >= 0 && d.baseName() == QLatin1String(r.base))
        name = QString::fromLatin1(r.pattern).arg(d.index() - r.firstIndex + 1);
    for (const auto& [button, text] : kButtonNames)
      if (d.name == QLatin1String(button)) name = QString::fromLatin1(text);
    if (name.isEmpty()) name = plainName(map_.caption(d));
    if (name.isEmpty() && c.label) name = plainName(c.label->text());
    if (!name.isEmpty()) c.widget->setAccessibleName(name);
  }
  cmdMoreFunc_->setAccessibleName(QStringLiteral("More settings (service code)"));
  cmdMoreFunc_->setToolTip(cmdMoreFunc_->accessibleName());
  sstabSetMode_->setAccessibleName(QStringLiteral("Settings pages"));
  sstabMoreFunc_->setAccessibleName(QStringLiteral("More settings pages"));
  for (int i = 0; i < sstabSetMode_->count(); ++i)
    sstabSetMode_->widget(i)->setAccessibleName(sstabSetMode_->tabText(i));
  for (int i = 0; i < kMoreFuncTabCount && i < sstabMoreFunc_->count(); ++i) {
    const QString name = QString::fromLatin1(kMoreFuncTabNames[i]);
    sstabMoreFunc_->widget(i)->setAccessibleName(name);
    sstabMoreFunc_->tabBar()->setAccessibleTabName(i, name);
  }
}

namespace {

// The controls that take the focus by Tab inside a layout, in the order the
// eye reads them.
void readingOrder(QLayout* layout, std::vector<QWidget*>& out);

void readingOrder(QWidget* w, std::vector<QWidget*>& out) {
  if (!w) return;
  if (w->focusPolicy() & Qt::TabFocus) {
    out.push_back(w);
    return;
  }
  if (w->layout()) readingOrder(w->layout(), out);
}

void readingOrder(QLayout* layout, std::vector<QWidget*>& out) {
  if (auto* fields = dynamic_cast<FieldColumnsLayout*>(layout)) {
    for (QWidget* w : fields->visualOrder()) readingOrder(w, out);
    return;
  }
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget()) readingOrder(item->widget(), out);
    else if (item->layout()) readingOrder(item->layout(), out);
  }
}

}  // namespace

void SettingsPages::orderTabs() {
  // Tab goes through a page as it is read: frame after frame as the page
  // shows them, in a frame the labelled fields column by column, then the
  // check boxes and buttons. (The controls are made in table order, which
  // is not the order they are drawn in.)
  // Each tab set: its tabs, the ">" in its corner, then its pages in order.
  std::vector<QWidget*> chain{sstabSetMode_->tabBar(), cmdMoreFunc_};
  readingOrder(sstabSetMode_->widget(0)->layout(), chain);
  readingOrder(pageLayouts_[0], chain);
  for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
  chain = {sstabMoreFunc_->tabBar()};
  for (size_t p = 1; p < pageLayouts_.size(); ++p) readingOrder(pageLayouts_[p], chain);
  for (size_t i = 1; i < chain.size(); ++i) QWidget::setTabOrder(chain[i - 1], chain[i]);
}

bool SettingsPages::addToFrame(const QString& name, QWidget* widget) {
  auto it = frames_.find(name);
  if (it == frames_.end() || !widget) return false;
  it->layout->addWidget(widget);
  orderTabs();
  return true;
}

QWidget* SettingsPages::frame(const QString& name) const {
  auto it = frames_.find(name);
  return it == frames_.end() ? nullptr : it->box;
}

QSize SettingsPages::sizeHint() const {
  // The width the visible pages would like, as tall as their tallest page
  // needs at that width, within what the space below the channel grid of a
  // 1280x800 screen offers; the pages scroll when they get less.
  const QSize natural = splitter_->sizeHint();
  return natural.boundedTo(QSize(kHintMaxWidth, kHintMaxHeight));
}

}  // namespace zr
