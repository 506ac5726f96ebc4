// The communication window offscreen over a transfer on the simulated radio.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "link/ui/CommunicationWindow.h"
#include "transfer/TransferRig.h"

namespace zr {
namespace {

using test::TransferRig;

template <class W>
W* child(QWidget& w, const char* name) {
  W* c = w.findChild<W*>(QString::fromLatin1(name));
  EXPECT_NE(c, nullptr) << name;
  return c;
}

TEST(CommunicationWindow, ControlsCarryTheirNamesAndEnglishCaptions) {
  TransferRig rig;
  CommunicationWindow w(*rig.transfer);
  EXPECT_EQ(w.objectName(), QStringLiteral("frmCommun"));
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Communicate"));
  EXPECT_EQ(child<QGroupBox>(w, "fraOne")->title(), QStringLiteral("Communication"));
  EXPECT_EQ(child<QGroupBox>(w, "fraRdWrDat")->title(), QStringLiteral("Read Write Data"));
  EXPECT_EQ(child<QGroupBox>(w, "fraTwo")->title(), QStringLiteral("Communication Data"));
  EXPECT_EQ(child<QPushButton>(w, "cmdRead")->text(), QStringLiteral("&Read"));
  EXPECT_EQ(child<QPushButton>(w, "cmdWrite")->text(), QStringLiteral("&Write"));
  EXPECT_EQ(child<QCheckBox>(w, "chkStopCom")->text(), QStringLiteral("Stop Communication"));
  EXPECT_EQ(child<QCheckBox>(w, "chkComRxMode")->text(), QStringLiteral("单线制通信"));
  EXPECT_EQ(child<QCheckBox>(w, "chkShowMemDat")->text(), QStringLiteral("Show Memory Data"));
  EXPECT_EQ(child<QProgressBar>(w, "prgCommunicate")->maximum(), 100);
  EXPECT_TRUE(child<QLabel>(w, "lblComStatus")->text().isEmpty());
  child<QLabel>(w, "lblComPercent");
  child<QLabel>(w, "imgGreen");
  child<QListWidget>(w, "listRtData");
  for (const char* t : {"tmrReadStart", "tmrWriteStart", "tmrLigGrint"}) EXPECT_NE(w.findChild<QTimer*>(t), nullptr) << t;
  // The address boxes start with the configured texts; the shipped
  // configuration writes only up to 0x03FF.
  const char* texts[] = {"1FFF", "0000", "1FFF", "0000", "03FF"};
  const char* captions[] = {"Grid Max Addr", "Read Start Addr", "Read End Addr", "Write Start Addr", "Write End Addr"};
  for (int k = 0; k < 5; ++k) {
    const AddressBoxInfo& info = addressBoxInfo(kAddressBoxes[k]);
    EXPECT_EQ(child<QLineEdit>(w, info.box.toLatin1().constData())->text(), QLatin1String(texts[k]));
    EXPECT_EQ(child<QLabel>(w, info.label.toLatin1().constData())->text(), QLatin1String(captions[k]));
  }

  // Typing into a box stores the text under its key; a non-hex text leaves the value.
  child<QLineEdit>(w, "txtReadStartAddr")->setText(QStringLiteral("12G4"));
  EXPECT_EQ(rig.core->ini.GetString(kSettingSection, QStringLiteral("ReadStartAddr"), QString(), 20),
            QStringLiteral("12G4"));
  EXPECT_EQ(rig.core->settings.ReadStartAddr, 0);

  // The 6th double click on the progress section shows the address and
  // trace sections, the 16th hides them again.
  QWidget* one = child<QGroupBox>(w, "fraOne");
  for (int k = 0; k < 6; ++k) QTest::mouseDClick(one, Qt::LeftButton);
  EXPECT_TRUE(w.longForm());
  EXPECT_FALSE(child<QGroupBox>(w, "fraTwo")->isHidden());
  for (int k = 0; k < 10; ++k) QTest::mouseDClick(one, Qt::LeftButton);
  EXPECT_FALSE(w.longForm());
  EXPECT_TRUE(child<QGroupBox>(w, "fraRdWrDat")->isHidden());
}

TEST(CommunicationWindow, ReadFillsTheBarAndClosesTheWindow) {
  TransferRig rig;
  rig.loadRadio();
  rig.sim.setEcho(true);
  rig.setReadRange(0x0000, 0x03FF);
  CommunicationWindow w(*rig.transfer);
  auto* bar = child<QProgressBar>(w, "prgCommunicate");
  auto* status = child<QLabel>(w, "lblComStatus");
  int highest = 0;
  QStringList shown;
  QObject::connect(rig.transfer.get(), &Transfer::stateChanged, [&] {
    highest = std::max(highest, bar->value());
    if (shown.isEmpty() || shown.back() != status->text()) shown << status->text();
  });

  w.armRead();
  EXPECT_TRUE(child<QPushButton>(w, "cmdRead")->isHidden());
  EXPECT_TRUE(child<QPushButton>(w, "cmdWrite")->isHidden());
  w.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !w.isVisible(); }, 20000));

  EXPECT_EQ(rig.transfer->outcome(), TransferOutcome::Succeeded);
  EXPECT_EQ(highest, 100);
  EXPECT_TRUE(shown.contains(QStringLiteral("Read Successful")));
  EXPECT_TRUE(shown.contains(QStringLiteral("100 %    Reading Now......")));
  EXPECT_EQ(bar->value(), 0);
  EXPECT_TRUE(status->text().isEmpty());
  EXPECT_TRUE(child<QCheckBox>(w, "chkComRxMode")->isChecked());  // the echo cable was seen
  EXPECT_TRUE(child<QLabel>(w, "imgGreen")->isHidden());
  EXPECT_EQ(rig.core->ChTable.get(kRowRx, 1), 14652000);
}

// After a write the window stays with its result: a good write's one line
// and Details; a partly written radio's failure and Write Again, which runs
// the same write once more.
TEST(CommunicationWindow, AWriteEndsWithItsResultAndWhatToDoNext) {
  struct Case {
    const char* name;
    bool partly;
    QString status;
  };
  const Case cases[] = {
      {"good write", false, QStringLiteral("Write OK")},
      {"partly written", true,
       QStringLiteral("The radio was partly written (5 of 64 blocks, up to address 004F); write it again before using it. "
                      "Rx：Communication failed! No receive Data! The radio stopped answering at block 6 (address 0050).")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferRig rig;
    rig.loadRadio();
    rig.setWriteRange(0x0000, 0x03FF);
    bool broken = c.partly;
    rig.dropFrame = [&](const Bytes& f) { return broken && !f.empty() && f[0] == 0x29 && (f[1] << 8 | f[2]) >= 0x0050; };
    CommunicationWindow w(*rig.transfer);
    w.armWrite();
    w.show();
    auto* status = child<QLabel>(w, "lblComStatus");
    auto* again = child<QPushButton>(w, "cmdWriteAgain");
    auto* details = child<QPushButton>(w, "cmdDetails");
    auto* close = child<QPushButton>(w, "cmdClose");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !close->isHidden(); }, 60000));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(status->text(), c.status);
    EXPECT_EQ(again->isHidden(), !c.partly);
    EXPECT_EQ(details->isHidden(), c.partly);
    for (QPushButton* b : {again, details, close}) EXPECT_FALSE(b->accessibleName().isEmpty());
    // A good write asks nothing; its report waits behind Details.
    if (!c.partly) {
      EXPECT_TRUE(rig.prompts.messages.isEmpty());
      details->click();
      ASSERT_EQ(rig.prompts.messages.size(), 1);
      EXPECT_EQ(rig.prompts.messages.first(), rig.transfer->writeReportText());
    } else {
      EXPECT_TRUE(status->toolTip().startsWith(QStringLiteral("Communication failed,please check commuication port!\n")));
      broken = false;
      QTest::keyClick(again, Qt::Key_Space);
      ASSERT_TRUE(QTest::qWaitFor([&] { return !close->isHidden(); }, 60000));
      EXPECT_EQ(status->text(), QStringLiteral("Write OK"));
      EXPECT_TRUE(again->isHidden());
      EXPECT_EQ(rig.sim.peek(0x0100), rig.image().at(0x0100));
    }
    close->click();
    EXPECT_FALSE(w.isVisible());
  }
}

TEST(CommunicationWindow, RefusesToCloseWhileCommunicating) {
  TransferRig rig;
  CommunicationWindow w(*rig.transfer);
  w.show();
  rig.access->Communicating = -1;
  w.close();
  EXPECT_TRUE(w.isVisible());
  EXPECT_FALSE(child<QCheckBox>(w, "chkStopCom")->isHidden());
  EXPECT_TRUE(child<QCheckBox>(w, "chkStopCom")->isChecked());
  EXPECT_EQ(rig.transfer->CloseRequested, -1);
  rig.access->Communicating = 0;
  w.close();
  EXPECT_FALSE(w.isVisible());
}

TEST(CommunicationWindow, ANewWindowStartsCleanWhateverTheLastOneLeft) {
  TransferRig rig;
  rig.loadRadio();
  rig.setWriteRange(0x0000, 0x000F);
  ASSERT_TRUE(rig.transfer->cmdWrite());  // a write leaves its bar at 100
  rig.transfer->requestClose();           // its window's close shows the stop box ticked
  {
    CommunicationWindow w(*rig.transfer);
    EXPECT_EQ(child<QProgressBar>(w, "prgCommunicate")->value(), 0);
    EXPECT_TRUE(child<QCheckBox>(w, "chkStopCom")->isHidden());
    EXPECT_FALSE(child<QCheckBox>(w, "chkStopCom")->isChecked());
    EXPECT_FALSE(child<QPushButton>(w, "cmdWrite")->font().bold());
  }

  // A read that finds no radio leaves its failure in the status line.
  rig.dropFrame = [](const Bytes&) { return true; };
  EXPECT_FALSE(rig.transfer->cmdRead());
  ASSERT_FALSE(rig.transfer->state().status.isEmpty());
  CommunicationWindow w(*rig.transfer);
  EXPECT_TRUE(child<QLabel>(w, "lblComStatus")->text().isEmpty());
  EXPECT_TRUE(child<QLabel>(w, "imgGreen")->isHidden());
}

}  // namespace
}  // namespace zr
