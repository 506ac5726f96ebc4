// Numbering of this machine's serial devices as ports 1..16: USB cables
// first, pins from the configuration, device paths given by hand.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "link/PortMap.h"
#include "base/PrivateProfile.h"

namespace zr {
namespace {

SerialDevice dev(const char* path, bool vendor = false, const char* description = "") {
  return {QLatin1String(path), QLatin1String(description), QString(), vendor};
}

SerialDeviceLister listing(std::vector<SerialDevice> devices) {
  return [devices] { return devices; };
}

QStringList paths(const PortMap& map) {
  QStringList out;
  for (int n = 1; n <= PortMap::kPortCount; ++n) out << map.devicePath(n);
  while (!out.isEmpty() && out.back().isEmpty()) out.removeLast();
  return out;
}

const std::vector<SerialDevice> kMachine = {
    dev("/dev/ttyS10"), dev("/dev/ttyS2"), dev("/dev/ttyUSB1", false, "FT232R USB UART"), dev("/dev/ttyACM0"),
    dev("/dev/ttyXRUSB0", true),  // a USB cable under an unusual driver name
};

struct PinCase {
  const char* name;
  std::vector<std::pair<int, const char*>> pins;  // "Ports" section
  QStringList expected;
};

class PortMapOrder : public ::testing::TestWithParam<PinCase> {};

TEST_P(PortMapOrder, UsbFirstThenOthersAroundThePins) {
  QTemporaryDir dir;
  PrivateProfile ini(dir.filePath(QStringLiteral("kelvane.def")));
  for (const auto& [n, path] : GetParam().pins)
    ASSERT_TRUE(ini.WriteString(PortMap::kSection, QStringLiteral("COM%1").arg(n), QLatin1String(path)));
  PortMap map(listing(kMachine), &ini);
  EXPECT_EQ(paths(map), GetParam().expected);
}

const PinCase kPinCases[] = {
    {"NoPins", {}, {"/dev/ttyACM0", "/dev/ttyUSB1", "/dev/ttyXRUSB0", "/dev/ttyS2", "/dev/ttyS10"}},
    {"PinnedDevicesLeaveTheAutomaticOrder",
     {{1, "/dev/ttyS10"}, {4, "/dev/ttyUSB1"}},
     {"/dev/ttyS10", "/dev/ttyACM0", "/dev/ttyXRUSB0", "/dev/ttyUSB1", "/dev/ttyS2"}},
    {"PinOfAnAbsentDeviceKeepsItsNumber",
     {{2, "/dev/ttyUSB7"}},
     {"/dev/ttyACM0", "/dev/ttyUSB7", "/dev/ttyUSB1", "/dev/ttyXRUSB0", "/dev/ttyS2", "/dev/ttyS10"}},
};

INSTANTIATE_TEST_SUITE_P(Pins, PortMapOrder, ::testing::ValuesIn(kPinCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PortMap, DescriptionsFollowTheirDevices) {
  QTemporaryDir dir;
  PrivateProfile ini(dir.filePath(QStringLiteral("kelvane.def")));
  ini.WriteString(PortMap::kSection, QStringLiteral("COM9"), QStringLiteral("/dev/ttyUSB1"));
  PortMap map(listing(kMachine), &ini);
  EXPECT_EQ(map.description(9), QStringLiteral("FT232R USB UART"));
  EXPECT_TRUE(map.entry(9).pinned);
  EXPECT_EQ(map.devicePath(0), QString());
  EXPECT_EQ(map.devicePath(17), QString());
}

TEST(PortMap, PinThroughALinkNamesTheSameDevice) {
  QTemporaryDir dir;
  const QString device = dir.filePath(QStringLiteral("ttyUSB0"));
  const QString link = dir.filePath(QStringLiteral("usb-FTDI_cable-if00-port0"));
  QFile(device).open(QIODevice::WriteOnly);
  ASSERT_TRUE(QFile::link(device, link));
  PrivateProfile ini(dir.filePath(QStringLiteral("kelvane.def")));
  ini.WriteString(PortMap::kSection, QStringLiteral("COM5"), link);
  PortMap map(listing({{device, QStringLiteral("cable"), QString(), true}, dev("/dev/ttyS0")}), &ini);
  EXPECT_EQ(paths(map), (QStringList{"/dev/ttyS0", "", "", "", link}));
  EXPECT_EQ(map.numberOf(device), 5);
  EXPECT_EQ(map.description(5), QStringLiteral("cable"));
}

TEST(PortMap, SixteenNumbersAtMost) {
  std::vector<SerialDevice> many;
  for (int i = 0; i < 20; ++i) many.push_back(dev(QStringLiteral("/dev/ttyS%1").arg(i).toLatin1().constData()));
  PortMap map(listing(many));
  EXPECT_EQ(map.devicePath(1), QStringLiteral("/dev/ttyS0"));
  EXPECT_EQ(map.devicePath(16), QStringLiteral("/dev/ttyS15"));
  EXPECT_EQ(map.numberOf(QStringLiteral("/dev/ttyS16")), 0);

  // A device path given by hand takes the last automatic number and keeps it.
  EXPECT_EQ(map.assign(QStringLiteral("/dev/pts/7")), 16);
  map.refresh();
  EXPECT_EQ(map.numberOf(QStringLiteral("/dev/pts/7")), 16);
  EXPECT_EQ(map.numberOf(QStringLiteral("/dev/ttyS15")), 0);
}

TEST(PortMap, AssignGivesTheLowestFreeNumberOnce) {
  PortMap map(listing({dev("/dev/ttyUSB0")}));
  EXPECT_EQ(map.assign(QStringLiteral("/dev/pts/3")), 2);
  EXPECT_EQ(map.assign(QStringLiteral("/dev/pts/3")), 2);
  EXPECT_EQ(map.assign(QStringLiteral("/dev/ttyUSB0")), 1);
  EXPECT_EQ(map.assign(QString()), 0);
}

TEST(PortMap, PathsCompareNumbersAsNumbers) {
  EXPECT_TRUE(PortMap::pathLess(QStringLiteral("/dev/ttyS2"), QStringLiteral("/dev/ttyS10")));
  EXPECT_FALSE(PortMap::pathLess(QStringLiteral("/dev/ttyS10"), QStringLiteral("/dev/ttyS2")));
  EXPECT_TRUE(PortMap::pathLess(QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyS0")));
  EXPECT_FALSE(PortMap::pathLess(QStringLiteral("/dev/ttyS1"), QStringLiteral("/dev/ttyS1")));
}

}  // namespace
}  // namespace zr
