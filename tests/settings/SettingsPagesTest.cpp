// The settings pages of the channel window over a real settings map on the
// factory image: every field of the map has its control, user actions on the
// controls go through the map into the image, map changes show in the
// controls, the layout keeps controls apart and inside their frames, and the
// service code shows and hides the More Functions pages.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "SettingsFixture.h"
#include "editors/ui/InputCodeDialog.h"
#include "editors/ui/SettingsPages.h"
#include "base/RunError.h"

namespace zr {
namespace {

const QString kServiceCode = QStringLiteral("高级码");

QString shownText(const QWidget* w) {
  if (auto* g = qobject_cast<const QGroupBox*>(w)) return g->title();
  if (auto* b = qobject_cast<const QAbstractButton*>(w)) return b->text();
  if (auto* l = qobject_cast<const QLabel*>(w)) return l->text();
  if (auto* e = qobject_cast<const QLineEdit*>(w)) return e->text();
  if (auto* c = qobject_cast<const QComboBox*>(w)) return c->currentText();
  return QStringLiteral("(no text)");
}

class SettingsPagesTest : public SettingsFixture {
 public:
  void SetUp() override {
    SettingsFixture::SetUp();
    map->InitOpt();
    ASSERT_EQ(logText(), "") << "the factory image refreshes without failure";
    pages = std::make_unique<SettingsPages>(*map);
    pages->resize(1262, 400);
    pages->show();
  }

  // The one widget of that name (a second one would make findChild ambiguous).
  template <class W = QWidget>
  W* control(const QString& name) {
    const QList<W*> all = pages->findChildren<W*>(name);
    EXPECT_EQ(all.size(), 1) << name.toStdString();
    return all.isEmpty() ? nullptr : all.front();
  }
  template <class W = QWidget>
  W* control(const char* name) { return control<W>(QString::fromUtf8(name)); }

  void pick(const char* name, int position) {
    auto* box = control<QComboBox>(name);
    ASSERT_NE(box, nullptr);
    // What a user's pick does: the list moves, then reports the pick.
    box->setCurrentIndex(position);
    emit box->activated(position);
  }
  void click(const char* name) {
    auto* b = control<QAbstractButton>(name);
    ASSERT_NE(b, nullptr);
    b->click();
  }
  void typeAndEnter(const char* name, const char* text) {
    auto* edit = control<QLineEdit>(name);
    ASSERT_NE(edit, nullptr);
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
    QTest::keyClick(edit, Qt::Key_Return);
  }

  // Runs `act` on the service-code prompt as soon as it is open, then clicks
  // its OK button unless `act` closed it.
  void answerPrompt(std::function<void(InputCodeDialog&)> act) {
    QTimer::singleShot(0, [act] {
      auto* prompt = qobject_cast<InputCodeDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(prompt, nullptr) << "frmInputCode is not the open modal window";
      act(*prompt);
      if (prompt->isVisible()) prompt->cmdOK()->click();
    });
  }
  void enterCode(const QString& code) {
    answerPrompt([code](InputCodeDialog& p) { p.txtInputCode()->insert(code); });
    pages->cmdMoreFunc()->click();
  }

  std::unique_ptr<SettingsPages> pages;
};

// ---- what the pages hold ---------------------------------------------------------

TEST_F(SettingsPagesTest, EveryFieldOfTheMapHasOneControlShowingItsState) {
  ASSERT_GT(map->fields().size(), 100u);
  for (const FieldDef& d : map->fields()) {
    SCOPED_TRACE(d.name.toStdString());
    QWidget* w = control(d.name);
    ASSERT_NE(w, nullptr);
    const FieldState& s = *map->state(d.name);
    EXPECT_EQ(w->isEnabled(), s.enabled);
    EXPECT_EQ(w->toolTip(), s.toolTip);
    switch (d.widget) {
      case Widget::List: {
        auto* box = qobject_cast<QComboBox*>(w);
        ASSERT_NE(box, nullptr);
        QStringList items;
        for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
        EXPECT_EQ(items, s.entries);
        EXPECT_EQ(box->currentIndex(), s.position);
        break;
      }
      case Widget::Check: {
        auto* check = qobject_cast<QCheckBox*>(w);
        ASSERT_NE(check, nullptr);
        EXPECT_EQ(check->isChecked(), s.checked);
        EXPECT_EQ(check->text(), map->caption(d));
        break;
      }
      case Widget::Text:
        ASSERT_NE(qobject_cast<QLineEdit*>(w), nullptr);
        EXPECT_EQ(shownText(w), s.text);
        break;
      case Widget::Button:
        ASSERT_NE(qobject_cast<QPushButton*>(w), nullptr);
        EXPECT_EQ(shownText(w), map->caption(d));
        break;
    }
    // The label of a list or text field, captioned when the row has a caption.
    if (!d.label.isEmpty()) {
      auto* label = control<QLabel>(d.label);
      ASSERT_NE(label, nullptr);
      if (d.caption >= 0 || !d.captionText.isEmpty()) {
        EXPECT_EQ(label->text(), map->caption(d));
      }
    }
    // It sits in its frame.
    QWidget* frame = pages->frame(d.frame);
    ASSERT_NE(frame, nullptr) << d.frame.toStdString();
    EXPECT_TRUE(frame->isAncestorOf(w)) << "not inside " << d.frame.toStdString();
  }
}

TEST_F(SettingsPagesTest, FramesSitOnTheirTabsOrInTheirFrames) {
  for (const FrameDef& f : settingsFrames()) {
    SCOPED_TRACE(f.name.toStdString());
    QWidget* w = control(f.name);
    ASSERT_NE(w, nullptr);
    QWidget* holder = nullptr;
    if (f.parent == QLatin1String("sstabSetMode")) holder = pages->sstabSetMode()->widget(f.tab);
    else if (f.parent == QLatin1String("sstabMoreFunc")) holder = pages->sstabMoreFunc()->widget(f.tab);
    else holder = pages->frame(f.parent);
    ASSERT_NE(holder, nullptr);
    EXPECT_TRUE(holder->isAncestorOf(w));
  }
  // The buttons the pages add, on their tabs.
  EXPECT_TRUE(pages->sstabSetMode()->widget(0)->isAncestorOf(control("cmdDefSet")));
  EXPECT_TRUE(pages->sstabMoreFunc()->widget(0)->isAncestorOf(control("cmdAutoInput")));
  EXPECT_TRUE(pages->sstabMoreFunc()->widget(0)->isAncestorOf(control("cmdDelAllCh")));
  // A widget the map does not describe goes into the frame it is given.
  auto* grids = new QLabel(QStringLiteral("grids"));
  EXPECT_TRUE(pages->addToFrame(QStringLiteral("fraTwoTone"), grids));
  EXPECT_TRUE(pages->sstabMoreFunc()->widget(2)->isAncestorOf(grids));
  auto* stray = new QLabel(QStringLiteral("stray"), pages.get());
  EXPECT_FALSE(pages->addToFrame(QStringLiteral("fraNoSuchFrame"), stray));
}

TEST_F(SettingsPagesTest, CaptionsComeFromTheTextTableAndTheFixedTexts) {
  const std::pair<const char*, const char*> cases[] = {
      {"fraEmbedMsg", "Embedded Msg"},
      {"fraOptionSet", "Optional Set"},
      {"fraMoreFunc", "More Function"},
      {"fraKeyAssign", "Key Assign"},
      {"fraVox", "Vox"},
      {"fraScan", "Scan"},
      {"fraBattery", "Battery"},
      {"lblTot", "Time-out Timer[s]"},
      {"lblInfo1", "Message"},
      {"lblRadioId", "Radio ID"},
      {"lblVoxCmpDat", "Vox Compare Voltage"},
      {"cmdDefSet", "Restore Default Setting"},
      {"cmdMoreFunc", ">"},
      {"cmdAutoInput", "Auto Input"},
      {"cmdDelAllCh", "Delete all channels"},
      {"cmdTwoWayVolSet", ">>"},
      {"cmdPttIdPauseChSet", "PTT ID Pause In Channel Set"},
      {"chkCh16Scan", "S-Selector (16 CH Auto Enter Scan)"},
  };
  for (const auto& [name, text] : cases) {
    QWidget* w = control(name);
    ASSERT_NE(w, nullptr) << name;
    EXPECT_EQ(shownText(w), QString::fromUtf8(text)) << name;
  }
  EXPECT_EQ(pages->sstabSetMode()->tabText(0), "Radio Info");
  EXPECT_EQ(pages->sstabSetMode()->tabText(1), "Optional Features");
  const char* moreTabs[] = {"未分类", "DTMF", "两音", "Tab 3"};
  ASSERT_EQ(pages->sstabMoreFunc()->count(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(pages->sstabMoreFunc()->tabText(i), QString::fromUtf8(moreTabs[i]));
}

// ---- the controls edit the image through the map -------------------------------

struct ControlEdit {
  const char* what;
  std::function<void(SettingsPagesTest&)> act;
  std::function<void(ByteArray&, CharTable&)> expect;  // the factory image after the edit
};

class SettingsPagesEditTest : public SettingsPagesTest, public ::testing::WithParamInterface<ControlEdit> {};

void PrintTo(const ControlEdit& c, std::ostream* os) { *os << c.what; }

TEST_P(SettingsPagesEditTest, WritesExactlyTheFieldsBytes) {
  ByteArray expected = image;
  GetParam().expect(expected, chars);
  GetParam().act(*this);
  EXPECT_EQ(byteDiff(expected, image), "");
  EXPECT_EQ(logText(), "");
}

const ControlEdit kControlEdits[] = {
    {"a list position is the time-out byte",
     [](SettingsPagesTest& t) { t.pick("cboTot", 5); },
     [](ByteArray& b, CharTable&) { b.set(0x0130, 5); }},
    {"a check box flips its one bit",
     [](SettingsPagesTest& t) { t.click("chkBeep"); },
     [](ByteArray& b, CharTable&) { b.set(0x0136, b.at(0x0136) ^ 0x01); }},
    {"a linked check box drives its follower",
     [](SettingsPagesTest& t) { t.click("chkTxEndTone"); },
     [](ByteArray& b, CharTable&) {
       b.set(0x036D, b.at(0x036D) ^ 0x01);
       b.set(0x0367, (b.at(0x036D) & 0x01) ? (b.at(0x0367) | 0x10) : (b.at(0x0367) & ~0x10));
     }},
    {"the info line is stored when Enter ends the edit",
     [](SettingsPagesTest& t) { t.typeAndEnter("txtInfo(1)", "HELLO 417"); },
     [](ByteArray& b, CharTable& c) { c.encodeInfoLine(b, 1, QStringLiteral("HELLO 417")); }},
    {"a code text is filtered and stored",
     [](SettingsPagesTest& t) { t.typeAndEnter("txtPttBot", "12ab*#"); },
     [](ByteArray& b, CharTable&) {
       const int code[] = {0x31, 0x32, 0x41, 0x42, 0x2A, 0x23};
       for (int i = 0; i < 16; ++i) b.set(0x0140 + i, i < 6 ? code[i] : 0xFF);
     }},
    {"a button of the map runs its action",
     [](SettingsPagesTest& t) {
       t.pick("cboVoxCmpDat(1)", 100);
       t.click("cmdVoxCmpDefault");
     },
     [](ByteArray& b, CharTable&) {
       for (int n = 1; n <= kVoxCmpLevels; ++n) b.set(kVoxCmpBase + n, voxCmpDefaults()[static_cast<size_t>(n - 1)]);
       b.set(kVoxCmpValidAddr, kVoxCmpValid);
     }},
};

INSTANTIATE_TEST_SUITE_P(Controls, SettingsPagesEditTest, ::testing::ValuesIn(kControlEdits));

TEST_F(SettingsPagesTest, ControlsShowWhatTheMapStoredAndWhatFollows) {
  typeAndEnter("txtPttBot", "12ab*#");
  EXPECT_EQ(control<QLineEdit>("txtPttBot")->text(), "12AB*#");

  const bool wasOn = control<QCheckBox>("chkTxEndTone")->isChecked();
  click("chkTxEndTone");
  EXPECT_EQ(control<QCheckBox>("chkMoniTxEndTone")->isChecked(), !wasOn);
  EXPECT_EQ(control("chkMoniTxEndTone")->isEnabled(), !wasOn);

  pick("cboSk1Long", 3);  // "4--Distance Alarm" sets the alarm type
  EXPECT_EQ(control<QComboBox>("cboAlarmSort")->currentText(), "Local And Distance");
  EXPECT_EQ(control<QComboBox>("listSk1Long")->currentIndex(), 15);
}

TEST_F(SettingsPagesTest, CodeTextIsFilteredAndStoredAsTheUserTypes) {
  auto* id = control<QLineEdit>("txtDtmfIdCode");
  ASSERT_NE(id, nullptr);
  QTest::keyClicks(id, QStringLiteral("12"));
  EXPECT_EQ(image.at(0x0120), 0x31);
  EXPECT_EQ(image.at(0x0121), 0x32);
  EXPECT_EQ(image.at(0x0122), 0xFF);
  QTest::keyClicks(id, QStringLiteral("A"));  // digits only: the letter goes at once
  EXPECT_EQ(id->text(), "12");
  EXPECT_EQ(id->cursorPosition(), 2);

  // The stun type follows the stun code key by key.
  auto* code = control<QLineEdit>("txtDtmfCloseCode");
  code->clear();
  map->setText(QStringLiteral("txtDtmfCloseCode"), QString());
  QTest::keyClicks(code, QStringLiteral("12"));
  EXPECT_FALSE(control("cboDtmfCloseSort")->isEnabled());
  QTest::keyClicks(code, QStringLiteral("3"));
  EXPECT_TRUE(control("cboDtmfCloseSort")->isEnabled());
  EXPECT_EQ(image.at(0x01E2), 0x33);

  // Leaving a field without typing stores nothing, so bytes it cannot show survive.
  poke({{0x0150, 0x01}});
  map->InitOpt();
  const ByteArray shown = image;
  emit control<QLineEdit>("txtPttEot")->editingFinished();
  EXPECT_EQ(byteDiff(shown, image), "");
}

TEST_F(SettingsPagesTest, CodeTextFieldsCarryTheirCharacterHints) {
  const std::pair<const char*, const char*> tips[] = {
      {"txtPttBot", "0--9, A--D, *, #"}, {"txtPttEot", "0--9, A--D, *, #"}, {"txtDtmfIdCode", "0--9"},
      {"txtAutoMem(0)", "0--9, A--D, *, #, "}, {"txtAutoMem(7)", "0--9, A--D, *, #, "}};
  for (const auto& [name, tip] : tips) EXPECT_EQ(control(name)->toolTip(), QString::fromUtf8(tip)) << name;
  EXPECT_EQ(control("txtDtmfCloseCode")->toolTip(), "");
}

TEST_F(SettingsPagesTest, ButtonsSitBesideTheFieldsTheyServe) {
  const std::pair<const char*, const char*> pairs[] = {{"cmdTwoWayVolSet", "cboTwoWayVolumeLevel"},
                                                       {"cmdPttIdPauseChSet", "cboPttIdPauseTime"}};
  for (const auto& [button, field] : pairs) {
    ASSERT_NE(control(button), nullptr) << button;
    EXPECT_EQ(control(button)->parentWidget(), control(field)->parentWidget()) << button;
  }
}

TEST_F(SettingsPagesTest, MapChangesShowInTheControls) {
  map->setPosition(QStringLiteral("cboTot"), 7);
  EXPECT_EQ(control<QComboBox>("cboTot")->currentText(), "105s");

  poke({{0x0130, 25}});
  map->InitOpt();  // repaired to 4
  EXPECT_EQ(control<QComboBox>("cboTot")->currentText(), "60s");

  map->setText(QStringLiteral("txtInfo(1)"), QStringLiteral("ABC"));
  EXPECT_EQ(control<QLineEdit>("txtInfo(1)")->text(), "ABC");

  map->setChecked(QStringLiteral("chkBatSave"), false);
  EXPECT_FALSE(control("cboSaveMode")->isEnabled());
  EXPECT_FALSE(control("lblSaveMode")->isEnabled());
  map->setChecked(QStringLiteral("chkBatSave"), true);
  EXPECT_TRUE(control("cboSaveMode")->isEnabled());
  EXPECT_TRUE(control("lblSaveMode")->isEnabled());

  map->setPosition(voxCmpName(1), 150);
  EXPECT_EQ(control(voxCmpName(1))->toolTip(), "1941mv");
}

// ---- buttons with hooks ----------------------------------------------------------

TEST_F(SettingsPagesTest, ButtonsSayTheyWerePressedAndAFailingSlotIsLogged) {
  const char* buttons[] = {"cmdDefSet", "cmdAutoInput", "cmdDelAllCh", "cmdTwoWayVolSet", "cmdPttIdPauseChSet"};
  QStringList ran;
  QObject listener;  // the slots end with the test
  QObject::connect(pages.get(), &SettingsPages::buttonPressed, &listener, [&ran](const QString& name) { ran << name; });
  pages->sstabMoreFunc()->show();
  for (const char* b : buttons) click(b);
  EXPECT_EQ(ran, QStringList({"cmdDefSet", "cmdAutoInput", "cmdDelAllCh", "cmdTwoWayVolSet", "cmdPttIdPauseChSet"}));

  QObject::connect(pages.get(), &SettingsPages::buttonPressed, &listener, [](const QString& name) {
    if (name == SettingsPages::kDefSet) throw RunError(kErrFileNotFound);
  });
  click("cmdDefSet");
  EXPECT_NE(logText().find("frmChMem->cmdDefSet_Click"), std::string::npos) << logText();
}

// ---- layout ----------------------------------------------------------------------

// Every control and label of every frame lies inside its frame, apart from the
// others, on every tab, wide and narrow.
TEST_F(SettingsPagesTest, ControlsDoNotOverlapAndStayInsideTheirFrames) {
  pages->sstabMoreFunc()->show();
  int checked = 0;
  for (const int width : {1262, 700}) {
    pages->resize(width, 400);
    for (QTabWidget* tabs : {pages->sstabSetMode(), pages->sstabMoreFunc()})
      for (int t = 0; t < tabs->count(); ++t) {
        tabs->setCurrentIndex(t);
        QApplication::processEvents();
        for (const FrameDef& fd : settingsFrames()) {
          QWidget* frame = pages->frame(fd.name);
          if (!frame || !frame->isVisible()) continue;
          SCOPED_TRACE(QStringLiteral("%1 at width %2").arg(fd.name).arg(width).toStdString());
          std::vector<std::pair<QString, QRect>> placed;
          for (QWidget* w : frame->findChildren<QWidget*>()) {
            const bool leaf = qobject_cast<QLabel*>(w) || qobject_cast<QComboBox*>(w) ||
                              qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w);
            if (!leaf || !w->isVisible() || w->parentWidget() == nullptr) continue;
            if (qobject_cast<QComboBox*>(w->parentWidget())) continue;  // a combo box's own parts
            const QRect r(w->mapTo(frame, QPoint(0, 0)), w->size());
            EXPECT_TRUE(frame->rect().contains(r)) << w->objectName().toStdString() << " leaves its frame";
            placed.emplace_back(w->objectName(), r);
            ++checked;
          }
          for (size_t i = 0; i < placed.size(); ++i)
            for (size_t j = i + 1; j < placed.size(); ++j) {
              EXPECT_FALSE(placed[i].second.intersects(placed[j].second))
                  << placed[i].first.toStdString() << " overlaps " << placed[j].first.toStdString();
            }
        }
      }
  }
  // Both widths saw every field and its label.
  EXPECT_GT(checked, 2 * static_cast<int>(map->fields().size()));
}

TEST_F(SettingsPagesTest, SizeHintFitsBelowTheGridOfA1280x800Screen) {
  const QSize hint = pages->sizeHint();
  EXPECT_LE(hint.width(), 1240);
  EXPECT_LE(hint.height(), 400);
  // Tall enough for the visible Optional Features page without scrolling.
  auto* scroll = qobject_cast<QScrollArea*>(pages->sstabSetMode()->widget(1));
  ASSERT_NE(scroll, nullptr);
  pages->resize(hint);
  pages->sstabSetMode()->setCurrentIndex(1);
  QApplication::processEvents();
  EXPECT_FALSE(scroll->verticalScrollBar()->isVisible());
  EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
}

// ---- the service code -------------------------------------------------------------

TEST_F(SettingsPagesTest, TheServiceCodeTogglesTheMoreFunctionPagesAndOthersDoNothing) {
  ASSERT_TRUE(pages->sstabMoreFunc()->isHidden());
  const struct {
    QString code;
    bool shownAfter;
  } steps[] = {
      {QStringLiteral("abc"), false},  // wrong: nothing happens
      {kServiceCode, true},
      {QString(), true},  // OK on an empty prompt
      {QStringLiteral("高级"), true},
      {kServiceCode, false},  // the second right code hides them again
  };
  for (const auto& s : steps) {
    enterCode(s.code);
    EXPECT_EQ(!pages->sstabMoreFunc()->isHidden(), s.shownAfter) << s.code.toStdString();
    EXPECT_EQ(pages->EnteredCode(), s.code.toUpper());
  }
  EXPECT_EQ(logText(), "");
}

TEST_F(SettingsPagesTest, AnUntouchedPromptClosesAfterFourAndAHalfSecondsAndChangesNothing) {
  enterCode(kServiceCode);
  ASSERT_FALSE(pages->sstabMoreFunc()->isHidden());
  int interval = 0;
  bool active = false;
  QTimer::singleShot(0, [&] {
    auto* prompt = qobject_cast<InputCodeDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(prompt, nullptr);
    interval = prompt->tmrAutoExit()->interval();
    active = prompt->tmrAutoExit()->isActive();
  });
  QElapsedTimer clock;
  clock.start();
  pages->cmdMoreFunc()->click();  // returns when the prompt has closed itself
  const qint64 waited = clock.elapsed();
  EXPECT_EQ(interval, 4500);
  EXPECT_TRUE(active);
  EXPECT_GE(waited, 4500 * 95 / 100);  // a coarse timer may fire up to 5% early
  EXPECT_LT(waited, 8000);
  EXPECT_FALSE(pages->sstabMoreFunc()->isHidden()) << "an empty code changed the pages";
  EXPECT_EQ(pages->EnteredCode(), "");
}

// ---- the prompt on its own ------------------------------------------------------

TEST(InputCodeDialogTest, CaptionsFollowTheLanguage) {
  const struct {
    int lang;
    const char *title, *label, *ok;
  } cases[] = {
      {1, "请输入密码", "密码：", "确定"},
      {2, "請輸入密碼", "密碼：", "確定"},
      {3, "Please Input Code", "Code:", "OK"},
      {0, "Please Input Code", "Code:", "OK"},
  };
  for (const auto& c : cases) {
    InputCodeDialog prompt(c.lang);
    EXPECT_EQ(prompt.windowTitle(), QString::fromUtf8(c.title)) << c.lang;
    EXPECT_EQ(prompt.lblInputCode()->text(), QString::fromUtf8(c.label)) << c.lang;
    EXPECT_EQ(prompt.cmdOK()->text(), QString::fromUtf8(c.ok)) << c.lang;
    EXPECT_EQ(prompt.objectName(), "frmInputCode");
    EXPECT_EQ(prompt.txtInputCode()->objectName(), "txtInputCode");
    EXPECT_EQ(prompt.tmrAutoExit()->objectName(), "tmrAutoExit");
  }
}

TEST(InputCodeDialogTest, TypingUpperCasesTheCodeAndStopsTheAutoExit) {
  InputCodeDialog prompt(3);
  EXPECT_EQ(prompt.EnteredCode(), "");
  EXPECT_TRUE(prompt.tmrAutoExit()->isActive());
  prompt.show();
  QTest::keyClicks(prompt.txtInputCode(), QStringLiteral("ab1"));
  EXPECT_EQ(prompt.EnteredCode(), "AB1");
  EXPECT_FALSE(prompt.tmrAutoExit()->isActive());
  EXPECT_EQ(prompt.tmrAutoExit()->interval(), 2000);
  EXPECT_TRUE(prompt.isVisible());
  prompt.cmdOK()->click();
  EXPECT_FALSE(prompt.isVisible());
  EXPECT_EQ(prompt.EnteredCode(), "AB1");
}

}  // namespace
}  // namespace zr

namespace zr {
namespace {

TEST(InputCodeDialogTest, AKeyStartsTheAutoExitAgainAPastedCodeIsTakenAndEscapeTakesNone) {
  InputCodeDialog prompt(3);
  prompt.show();
  QLineEdit* field = prompt.txtInputCode();
  field->setFocus();
  // A key that types nothing (the reader's user moving about) starts the 4.5 s again.
  const int before = prompt.tmrAutoExit()->remainingTime();
  for (int i = 0; i < 100 && prompt.tmrAutoExit()->remainingTime() >= before - 20; ++i) QTest::qWait(5);
  const int aged = prompt.tmrAutoExit()->remainingTime();
  ASSERT_LT(aged, before);
  QTest::keyClick(field, Qt::Key_Left);
  EXPECT_TRUE(prompt.tmrAutoExit()->isActive());
  EXPECT_GT(prompt.tmrAutoExit()->remainingTime(), aged);
  EXPECT_EQ(prompt.EnteredCode(), "");

  // A pasted code counts as typed: it is taken and the prompt waits for Enter.
  QApplication::clipboard()->setText(QStringLiteral("高级码"));
  QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(prompt.EnteredCode(), QStringLiteral("高级码"));
  EXPECT_FALSE(prompt.tmrAutoExit()->isActive());
  EXPECT_EQ(field->accessibleName(), "Service code");

  // Escape closes the prompt without a code.
  QTest::keyClick(field, Qt::Key_Escape);
  EXPECT_FALSE(prompt.isVisible());
  EXPECT_EQ(prompt.EnteredCode(), "");
}

}  // namespace
}  // namespace zr
