// The "Radio Info" frame and the custom range dialog, offscreen: names,
// captions, following the model, choosing "Custom", the service gestures.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "editors/BandFixture.h"
#include "editors/ui/CustomFreDialog.h"
#include "editors/ui/ModelFrame.h"

namespace zr {
namespace {

class BandFrameTest : public BandFixture {
 protected:
  // Runs `answer` on the dialog once it is open; closes it after a while
  // should the test not, so that a fault cannot hang the run.
  void whenDialogOpens(ModelFrame& frame, std::function<void(CustomFreDialog&)> answer) {
    QTimer::singleShot(0, &frame, [&frame, answer] {
      auto* d = frame.findChild<CustomFreDialog*>(QStringLiteral("frmCustomFre"));
      ASSERT_NE(d, nullptr);
      ASSERT_TRUE(d->isVisible());
      answer(*d);
    });
    QTimer::singleShot(5000, &frame, [&frame] {
      if (auto* d = frame.findChild<CustomFreDialog*>()) d->done(QDialog::Rejected);
    });
  }
  static void mouse(QWidget* w, QEvent::Type type) {
    const QPointF at(3, 3);
    QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
};

TEST_F(BandFrameTest, ShowsTheListsAndFollowsTheModel) {
  ModelFrame frame(*band, core->text, core->log);
  EXPECT_EQ(frame.objectName(), "fraModel");
  EXPECT_EQ(frame.title(), "Radio Info");
  auto* lblModel = frame.findChild<QLabel*>("lblModel");
  auto* lblFrequency = frame.findChild<QLabel*>("lblFrequency");
  auto* cboModel = frame.findChild<QComboBox*>("cboModel");
  auto* cboFrequency = frame.findChild<QComboBox*>("cboFrequency");
  ASSERT_TRUE(lblModel && lblFrequency && cboModel && cboFrequency);
  EXPECT_EQ(lblModel->text(), "Model Type");
  EXPECT_EQ(lblFrequency->text(), "Frequency");
  EXPECT_EQ(cboModel->currentText(), "ZR-417");
  EXPECT_EQ(cboFrequency->count(), 15);
  EXPECT_EQ(cboFrequency->currentText(), "400 - 520 MHz");

  setRangeBytes({0x13, 0x60, 0x17, 0x40});
  core->files.SoftDisplay();
  EXPECT_EQ(cboFrequency->currentText(), "136 - 174 MHz");

  // A user's choice goes to the model.
  cboFrequency->setCurrentIndex(7);
  emit cboFrequency->activated(7);
  EXPECT_EQ(band->BandMax, 47000000);
  EXPECT_EQ(rangeBytes(), (std::array<int, 4>{0x40, 0x00, 0x47, 0x00}));
}

TEST_F(BandFrameTest, ChoosingCustomOpensTheDialog) {
  ModelFrame frame(*band, core->text, core->log);
  auto* cboFrequency = frame.findChild<QComboBox*>("cboFrequency");
  ASSERT_NE(cboFrequency, nullptr);

  bool answered = false;
  whenDialogOpens(frame, [&](CustomFreDialog& d) {
    EXPECT_EQ(d.windowTitle(), "Custom");
    EXPECT_EQ(d.findChild<QLabel*>("lblFreMin")->text(), "Min [MHz]");
    EXPECT_EQ(d.findChild<QLabel*>("lblFreMax")->text(), "Max [MHz]");
    EXPECT_EQ(d.findChild<QPushButton*>("cmdOK")->text(), "OK");
    EXPECT_EQ(d.findChild<QPushButton*>("cmdCancel")->text(), "Cancel");
    EXPECT_NE(d.findChild<QWidget*>("fraCustomFre"), nullptr);
    auto* lo = d.findChild<QLineEdit*>("txtFreMin");
    auto* hi = d.findChild<QLineEdit*>("txtFreMax");
    EXPECT_EQ(lo->text(), "120");
    EXPECT_EQ(hi->text(), "520");
    lo->setText("123.45");
    hi->setText("130");
    d.findChild<QPushButton*>("cmdOK")->click();
    answered = true;
  });
  cboFrequency->setCurrentIndex(14);
  emit cboFrequency->activated(14);
  ASSERT_TRUE(answered);
  EXPECT_EQ(cboFrequency->currentText(), "Custom");
  EXPECT_EQ(band->BandMin, 12345000);
  EXPECT_EQ(band->BandMax, 13000000);
  EXPECT_EQ(rangeBytes(), (std::array<int, 4>{0x12, 0x34, 0x13, 0x00}));
  EXPECT_EQ(core->image.CurFilePath, core->files.untitledPath());

  // Opened again it shows the accepted texts; Cancel keeps the limits.
  answered = false;
  whenDialogOpens(frame, [&](CustomFreDialog& d) {
    EXPECT_EQ(d.txtFreMin()->text(), "123.45");
    EXPECT_EQ(d.txtFreMax()->text(), "130");
    d.txtFreMin()->setText("200");
    d.cmdCancel()->click();
    answered = true;
  });
  // The first custom range is an unsaved change: dropped when asked.
  prompts.saveChoices = {UserPrompts::SaveChoice::Discard};
  emit cboFrequency->activated(14);
  ASSERT_TRUE(answered);
  EXPECT_EQ(band->BandMin, 12345000);
  EXPECT_EQ(band->mstrFreMin, "123.45");
  EXPECT_EQ(core->log.reportCount(), 0) << core->log.lines().join("\n").toStdString();
}

TEST_F(BandFrameTest, ServiceGesturesShowAndHideTheHexView) {
  ModelFrame frame(*band, core->text, core->log);
  std::vector<int> shown;
  int n = 0;
  QObject::connect(&frame, &ModelFrame::hexViewRequested, [&](bool show) {
    ++n;
    if (show) shown.push_back(n);
  });

  // Double clicks on the model label: the 9th shows, the counter wraps after the 11th.
  for (int k = 0; k < 21; ++k) mouse(frame.lblModel(), QEvent::MouseButtonDblClick);
  EXPECT_EQ(n, 21);
  EXPECT_EQ(shown, (std::vector<int>{9, 20}));

  // Clicks on the frame: the 6th, 16th, 26th show. A press and release on the
  // label is no frame click.
  shown.clear();
  n = 0;
  mouse(frame.lblModel(), QEvent::MouseButtonPress);
  mouse(frame.lblModel(), QEvent::MouseButtonRelease);
  EXPECT_EQ(n, 0);
  for (int k = 0; k < 26; ++k) {
    mouse(&frame, QEvent::MouseButtonPress);
    mouse(&frame, QEvent::MouseButtonRelease);
  }
  EXPECT_EQ(n, 26);
  EXPECT_EQ(shown, (std::vector<int>{6, 16, 26}));
}

}  // namespace
}  // namespace zr

namespace zr {
namespace {

// A range picked over unsaved changes asks first; Cancel puts the list back
// and keeps the data, Discard starts the new data set.
TEST_F(BandFrameTest, RangeChoiceOverUnsavedChangesAsksFirst) {
  ModelFrame frame(*band, core->text, core->log);
  auto* cboFrequency = frame.findChild<QComboBox*>("cboFrequency");
  ASSERT_TRUE(cboFrequency);
  const int before = cboFrequency->currentIndex();
  const int bandMax = band->BandMax;
  core->history.aboutToChange();
  img().set(kProbeAddr, 0x5A);

  prompts.saveChoices = {UserPrompts::SaveChoice::Cancel};
  cboFrequency->setCurrentIndex(7);
  emit cboFrequency->activated(7);
  EXPECT_EQ(prompts.asked.last(), "TempData has changed,Do you want to save it now?");
  EXPECT_EQ(cboFrequency->currentIndex(), before);
  EXPECT_EQ(band->BandMax, bandMax);
  EXPECT_EQ(img().at(kProbeAddr), 0x5A);

  prompts.saveChoices = {UserPrompts::SaveChoice::Discard};
  cboFrequency->setCurrentIndex(7);
  emit cboFrequency->activated(7);
  EXPECT_EQ(cboFrequency->currentIndex(), 7);
  EXPECT_EQ(band->BandMax, 47000000);
  EXPECT_NE(img().at(kProbeAddr), 0x5A);
}

}  // namespace
}  // namespace zr
