// The real automatic input dialog, offscreen, over the started desktop
// program: its controls, English captions, and a Set that reaches the channel window.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "editors/AutoInput.h"
#include "editors/ui/AutoInputWindow.h"
#include "support/DesktopFixture.h"

namespace zr {
namespace {

class AutoInputWindowTest : public testing::DesktopFixture {
 protected:
  template <class W>
  W* find(const QString& name) {
    return dialog->findChild<W*>(name);
  }

  void SetUp() override {
    DesktopFixture::SetUp();
    dialog = new AutoInputWindow(app->editors(), &app->window());
  }

  // Clicks a check box or option button on its indicator.
  void tick(QAbstractButton* b) {
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2));
    QCoreApplication::processEvents();
  }

  AutoInputWindow* dialog = nullptr;  // owned by the main window
};

TEST_F(AutoInputWindowTest, ControlsCaptionsAndASetThatFillsChannels) {
  EXPECT_EQ(dialog->objectName(), "frmAutoInput");
  // Above the main window as its tool window, never above every window (the
  // program's own Save As and message boxes must come up over it).
  EXPECT_EQ(dialog->windowType(), Qt::Tool);
  EXPECT_FALSE(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(dialog->parentWidget(), &app->window());
  EXPECT_EQ(dialog->windowTitle(), "Auto Input");
  for (int k = 0; k <= 3; ++k) EXPECT_NE(find<QLineEdit>(QStringLiteral("txtAutoInput_%1").arg(k)), nullptr) << k;
  for (int k = 0; k <= 9; ++k) EXPECT_NE(find<QPushButton>(QStringLiteral("cmdAutoInput_%1").arg(k)), nullptr) << k;
  for (int k : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 16, 17, 18, 19})
    EXPECT_NE(find<QRadioButton>(QStringLiteral("optAutoInput_%1").arg(k)), nullptr) << k;
  for (int k : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11})
    EXPECT_NE(find<QGroupBox>(QStringLiteral("fraAutoInput_%1").arg(k)), nullptr) << k;

  struct Caption { const char* name; const char* text; } captions[] = {
      {"lblAutoInput_5", "Start CH."},   {"lblAutoInput_11", "First QT/DQT"}, {"fraAutoInput_1", "Rx Freq."},
      {"fraAutoInput_3", "QT/DQT DEC/Enc"}, {"fraAutoInput_11", "PTT ID"},    {"chkAutoInput_0", "TX EQU RX"},
      {"chkAutoInput_1", "Random"},      {"optAutoInput_2", "QT/DQT Dec/Enc"}, {"optAutoInput_10", "Carrier"},
      {"optAutoInput_19", "BOTH"},       {"cmdAutoInput_0", "Set"},           {"cmdAutoInput_18", "Set All"},
  };
  for (const auto& c : captions) {
    QWidget* w = find<QWidget>(c.name);
    ASSERT_NE(w, nullptr) << c.name;
    QString shown;
    if (auto* l = qobject_cast<QLabel*>(w)) shown = l->text();
    else if (auto* g = qobject_cast<QGroupBox*>(w)) shown = g->title();
    else if (auto* b = qobject_cast<QAbstractButton*>(w)) shown = b->text();
    EXPECT_EQ(shown, c.text) << c.name;
  }

  // Initial state.
  auto* first = find<QLineEdit>("txtAutoInput_0");
  EXPECT_EQ(first->text(), "");
  EXPECT_EQ(find<QLineEdit>("txtAutoInput_1")->text(), "75");
  EXPECT_EQ(find<QComboBox>("cboAutoInput_5")->currentText(), "1");
  EXPECT_EQ(find<QComboBox>("cboAutoInput_6")->currentText(), "16");
  EXPECT_EQ(find<QComboBox>("cboAutoInput_7")->count(), 261);
  EXPECT_EQ(find<QComboBox>("cboAutoInput_7")->currentText(), "None");
  EXPECT_EQ(find<QComboBox>("cboAutoInput_11")->currentText(), "6");
  EXPECT_EQ(find<QLabel>("lblAutoInput_13")->text(), "");

  dialog->showDialog();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  EXPECT_TRUE(app->core().settings.autoInputOpen);

  // Channels 1 to 3 from 446.00625 MHz in steps of 75 kHz (the initial step).
  QTest::keyClicks(first, "446.00625");
  find<QComboBox>("cboAutoInput_6")->setCurrentIndex(2);
  emit find<QComboBox>("cboAutoInput_6")->activated(2);
  QTest::mouseClick(find<QPushButton>("cmdAutoInput_0"), Qt::LeftButton);
  QCoreApplication::processEvents();
  QTableWidget* table = app->channelWindow().table();
  EXPECT_EQ(table->item(0, 0)->text(), "446.00625");
  EXPECT_EQ(table->item(1, 0)->text(), "446.08125");
  EXPECT_EQ(table->item(2, 0)->text(), "446.15625");
  EXPECT_EQ(table->item(2, 1)->text(), "446.15625");
  EXPECT_EQ(table->item(2, 2)->text(), "None");
  EXPECT_EQ(table->item(3, 0)->text(), "");

  // Ticking "TX EQU RX" locks the transmit frame; "Random" the tone lists.
  tick(find<QCheckBox>("chkAutoInput_0"));
  EXPECT_FALSE(find<QGroupBox>("fraAutoInput_2")->isEnabled());
  tick(find<QCheckBox>("chkAutoInput_1"));
  EXPECT_FALSE(find<QComboBox>("cboAutoInput_7")->isEnabled());
  EXPECT_FALSE(find<QComboBox>("cboAutoInput_11")->isEnabled());

  // An option button selects its value in the model and clears its group.
  tick(find<QRadioButton>("optAutoInput_4"));
  EXPECT_TRUE(dialog->model().optionSelected(AutoInput::kOptPowerLow));
  tick(find<QRadioButton>("optAutoInput_3"));
  EXPECT_FALSE(dialog->model().optionSelected(AutoInput::kOptPowerLow));
  EXPECT_TRUE(dialog->model().optionSelected(AutoInput::kOptPowerHigh));

  // The close box hides the dialog, keeps its fields and clears the open mark.
  EXPECT_FALSE(dialog->close());
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_FALSE(app->core().settings.autoInputOpen);
  EXPECT_EQ(first->text(), "446.00625");
  dialog->showDialog();
  EXPECT_TRUE(app->core().settings.autoInputOpen);
  EXPECT_TRUE(find<QCheckBox>("chkAutoInput_0")->isChecked());

  // When the program leaves, the dialog closes for good.
  app->core().settings.Leaving = true;
  EXPECT_TRUE(dialog->close());
  EXPECT_FALSE(app->core().settings.autoInputOpen);
  app->core().settings.Leaving = false;
}

}  // namespace
}  // namespace zr
