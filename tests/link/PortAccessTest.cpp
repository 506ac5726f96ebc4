// Port probing, the search for the radio before a transfer, and the port
// chooser's rules, on fake ports and a virtual clock.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>

#include "link/FakeSerialLibrary.h"
#include "link/PortAccess.h"
#include "link/PortMap.h"
#include "link/ScriptEngine.h"
#include "link/Waiters.h"
#include "link/ui/PortDialog.h"
#include "base/ErrorLog.h"
#include "base/PrivateProfile.h"
#include "base/TextTable.h"

namespace zr {
namespace {

const Bytes kProgramBytes = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};
const QByteArray kInitialConfig = "[Setting]\r\nCOM=3\r\n";

struct PortFixture : ::testing::Test {
  VirtualClock clock;
  VirtualWaiter waiter{clock};
  FakeSerialLibrary sio{&clock};
  ErrorLog log;
  TextTable text;
  ScriptEngine engine{sio, waiter, log, text};
  QTemporaryDir dir;
  PrivateProfile ini{dir.filePath(QStringLiteral("kelvane.def"))};
  int ComPort = 3;
  PortAccess access{sio, engine, waiter, log, ini, ComPort};
  std::vector<int> shownPorts;
  int choosers = 0;

  void SetUp() override {
    QFile f(ini.path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(kInitialConfig);
    f.close();
    QObject::connect(&access, &PortAccess::portShown, [this](int p) { shownPorts.push_back(p); });
    QObject::connect(&access, &PortAccess::portChooserWanted, [this] { ++choosers; });
  }

  void silent(int port) { sio.port(port).opens = true; }
  void radioOn(int port) {
    sio.port(port).opens = true;
    sio.port(port).onWrite = [](const Bytes& w) { return w == kProgramBytes || w == Bytes{0x06} ? Bytes{0x06} : Bytes{}; };
  }
  int handshakes(int port) {
    int n = 0;
    for (const Bytes& w : sio.port(port).writes) n += w == kProgramBytes;
    return n;
  }
  QByteArray config() const {
    QFile f(ini.path());
    f.open(QIODevice::ReadOnly);
    return f.readAll();
  }
  QString storedCom() const { return ini.GetString(QStringLiteral("Setting"), QStringLiteral("COM"), QString(), 9); }
  std::vector<int> openPorts() {
    std::vector<int> out;
    for (int p = 1; p <= 16; ++p)
      if (sio.port(p).isOpen) out.push_back(p);
    return out;
  }
};

TEST_F(PortFixture, ComPortAnsweringFirstTimeIsOpenedAndNothingElseChanges) {
  silent(2);
  radioOn(3);
  radioOn(5);
  std::vector<int> communicating;
  access.stopRequested = [&] {
    communicating.push_back(access.Communicating);
    return false;
  };
  access.OpenCom();
  EXPECT_EQ(access.OpenFailed, 0);
  EXPECT_EQ(access.Communicating, 0);
  EXPECT_EQ(communicating, std::vector<int>{-1});
  EXPECT_EQ(ComPort, 3);
  EXPECT_EQ(openPorts(), std::vector<int>{3});
  EXPECT_EQ(engine.transferPort(), 3);
  EXPECT_EQ(sio.calls.last(), QStringLiteral("ioctl 3 12 7"));
  EXPECT_EQ(handshakes(3), 1);
  EXPECT_EQ(handshakes(2) + handshakes(5), 0);
  EXPECT_EQ(config(), kInitialConfig);
  EXPECT_TRUE(shownPorts.empty());
}

TEST_F(PortFixture, SilentComPortThenTheFirstAnsweringPortBecomesComPort) {
  silent(2);
  silent(3);
  radioOn(9);
  radioOn(12);
  access.OpenCom();
  EXPECT_EQ(handshakes(3), 26);
  EXPECT_EQ(handshakes(2), 5);
  EXPECT_EQ(handshakes(9), 1);
  EXPECT_EQ(handshakes(12), 0);
  EXPECT_EQ(access.OpenFailed, 0);
  EXPECT_EQ(ComPort, 9);
  EXPECT_EQ(storedCom(), QStringLiteral("9"));
  EXPECT_EQ(shownPorts, std::vector<int>{9});
  EXPECT_EQ(openPorts(), std::vector<int>{9});
}

// A silent radio on the configured port: the search sends "PROGRAM" only to
// ports that may be a programming cable, never to somebody's modem or board.
TEST_F(PortFixture, TheSearchSendsOnlyToPortsThatMayBeACable) {
  silent(3);
  radioOn(5);
  sio.port(5).cable = false;  // answers, but it is some other serial device
  radioOn(9);
  access.OpenCom();
  EXPECT_EQ(handshakes(5), 0);
  EXPECT_EQ(ComPort, 9);
  EXPECT_EQ(openPorts(), std::vector<int>{9});
}

TEST_F(PortFixture, AllPortsSilentLeavesEverythingAsItWas) {
  silent(1);
  silent(3);
  access.OpenCom();
  EXPECT_EQ(access.OpenFailed, -1);
  EXPECT_EQ(access.Communicating, 0);
  EXPECT_EQ(handshakes(3), 26);
  EXPECT_EQ(handshakes(1), 5);
  EXPECT_EQ(ComPort, 3);
  EXPECT_EQ(config(), kInitialConfig);
  EXPECT_TRUE(openPorts().empty());
  EXPECT_EQ(choosers, 0);
}

TEST_F(PortFixture, StopBoxEndsEveryRemainingAttemptAtOnce) {
  silent(2);
  silent(3);
  radioOn(7);
  access.stopRequested = [&] { return handshakes(3) >= 2; };
  access.OpenCom();
  EXPECT_EQ(handshakes(3), 2);
  EXPECT_EQ(handshakes(2) + handshakes(7), 0);
  EXPECT_EQ(access.OpenFailed, -1);
  EXPECT_EQ(ComPort, 3);
  EXPECT_TRUE(openPorts().empty());
}

TEST_F(PortFixture, UnexpectedFailureOpensThePortChooser) {
  radioOn(3);
  ComPort = 17;  // no such port: its state cannot be looked up
  access.OpenCom();
  EXPECT_EQ(access.OpenFailed, -1);
  EXPECT_EQ(access.Communicating, 0);
  EXPECT_EQ(choosers, 1);
  EXPECT_EQ(log.lastTag(), QStringLiteral("modCommun->OpenCom"));
  EXPECT_EQ(log.lastCode(), kErrSubscript);
  EXPECT_TRUE(openPorts().empty());
}

TEST_F(PortFixture, HandshakeRetriesUntilTheRadioAnswersAndClosesThePort) {
  int attempts = 0;
  sio.port(4).opens = true;
  sio.port(4).onWrite = [&](const Bytes& w) {
    if (w == kProgramBytes) ++attempts;
    return attempts >= 3 ? Bytes{0x06} : Bytes{};
  };
  EXPECT_TRUE(access.TryPortHandshake(4, 4));
  EXPECT_EQ(attempts, 3);
  EXPECT_TRUE(openPorts().empty());
  EXPECT_FALSE(access.TryPortHandshake(5, 1));  // a port that does not open
}

struct AutoSetCase {
  const char* name;
  std::vector<int> opening;
  int comPort;
  const char* stored;
};

class AutoSetPortTable : public PortFixture, public ::testing::WithParamInterface<AutoSetCase> {};

TEST_P(AutoSetPortTable, LowestOpeningPortIsTakenAndStored) {
  for (int p : GetParam().opening) silent(p);
  access.AutoSetPort();
  EXPECT_EQ(ComPort, GetParam().comPort);
  EXPECT_EQ(storedCom(), QLatin1String(GetParam().stored));
  for (int p = 1; p <= 16; ++p) EXPECT_EQ(access.PortState(p), sio.port(p).opens ? 1 : -1) << p;
}

const AutoSetCase kAutoSetCases[] = {
    {"LowestOpens", {16, 7, 4}, 4, "4"},
    {"NoneOpensNothingChanges", {}, 3, "3"},
};

INSTANTIATE_TEST_SUITE_P(AutoSet, AutoSetPortTable, ::testing::ValuesIn(kAutoSetCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortFixture, VerdictComIgnoresNumbersOutsideTheRange) {
  silent(1);
  for (int p : {0, 17}) EXPECT_FALSE(access.VerdictCom(p));
  EXPECT_TRUE(sio.calls.isEmpty());
  EXPECT_TRUE(access.VerdictCom(1));
  EXPECT_EQ(sio.calls, (QStringList{"open 1", "close 1"}));
  EXPECT_THROW(access.PortState(0), RunError);
}

TEST(SerialCodeLists, DocumentTheLineSettingCodes) {
  const SerialCodeLists& l = serialCodeLists();
  EXPECT_EQ(l.baudRate.codeOf(QStringLiteral("9600")), PortAccess::kBaudCode);
  EXPECT_EQ(l.dataBits.codeOf(QStringLiteral("8")) + l.stopBits.codeOf(QStringLiteral("2")) +
                l.parity.codeOf(QStringLiteral("None")),
            PortAccess::kModeCode);
  EXPECT_EQ(l.baudRate.names.size(), 20);
  EXPECT_EQ(l.parity.codeOf(QStringLiteral("Even")), 0x18);
}

// ---- port chooser ------------------------------------------------------------

struct ChooserFixture : PortFixture {
  PortChooser chooser{access};
  void SetUp() override {
    PortFixture::SetUp();
    silent(2);
    silent(12);
    ComPort = 5;  // configured, but does not open now
    chooser.load();
  }
};

TEST_F(ChooserFixture, LoadEnablesOpeningPortsAndTicksComPort) {
  for (int p = 1; p <= 16; ++p) EXPECT_EQ(chooser.enabled(p), p == 2 || p == 12) << p;
  EXPECT_EQ(chooser.ticked(), 5);
  chooser.tick(7);  // disabled: cannot be ticked
  EXPECT_EQ(chooser.ticked(), 5);
}

TEST_F(ChooserFixture, CancelAfterChangingKeepsComPortAndWritesNothing) {
  chooser.tick(12);
  chooser.cancel();
  EXPECT_EQ(ComPort, 5);
  EXPECT_EQ(config(), kInitialConfig);
}

TEST_F(ChooserFixture, OkStoresTheTickedPort) {
  chooser.tick(12);
  chooser.ok();
  EXPECT_EQ(ComPort, 12);
  EXPECT_EQ(storedCom(), QStringLiteral("12"));
}

TEST_F(ChooserFixture, OkWithoutChangeStoresComPortAnyway) {
  chooser.ok();
  EXPECT_EQ(ComPort, 5);
  EXPECT_EQ(storedCom(), QStringLiteral("5"));
}

TEST_F(PortFixture, PortWindowShowsTheChooserAndItsDevices) {
  silent(2);
  silent(12);
  PortMap map([] { return std::vector<SerialDevice>{{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FT232R USB UART"),
                                                     QString(), true}}; });
  PortDialog dialog(access, text, &map, QString());
  EXPECT_EQ(dialog.objectName(), QStringLiteral("frmToolCom"));
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Communication Port"));
  auto* ok = dialog.findChild<QAbstractButton*>(QStringLiteral("cmdOK"));
  auto* cancel = dialog.findChild<QAbstractButton*>(QStringLiteral("cmdCancel"));
  ASSERT_TRUE(ok && cancel);
  EXPECT_EQ(ok->text(), QStringLiteral("OK"));
  EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));

  auto* com3 = dialog.findChild<QAbstractButton*>(QStringLiteral("COM1_2"));
  auto* com12 = dialog.findChild<QAbstractButton*>(QStringLiteral("COM1_11"));
  ASSERT_TRUE(com3 && com12);
  EXPECT_EQ(com12->text(), QStringLiteral("COM12"));
  EXPECT_TRUE(com3->isChecked());  // ComPort, ticked though it does not open
  EXPECT_FALSE(com3->isEnabled());
  EXPECT_TRUE(com12->isEnabled());
  EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lblComDevice_0"))->text(),
            QStringLiteral("/dev/ttyUSB0  FT232R USB UART"));

  com12->click();
  EXPECT_TRUE(com12->isChecked());
  EXPECT_FALSE(com3->isChecked());
  ok->click();
  EXPECT_EQ(ComPort, 12);
  EXPECT_EQ(storedCom(), QStringLiteral("12"));
}

}  // namespace
}  // namespace zr
