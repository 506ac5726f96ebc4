// The one-line explanation of a serial device that will not open: the cause,
// the device's mode, owner and group, and advice that fits this user.
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "link/PortDiagnosis.h"

namespace zr {
namespace {

constexpr unsigned kDialout = 20;
constexpr unsigned kUser = 1000;

DeviceFacts device(unsigned permissions, unsigned gid = kDialout) {
  DeviceFacts d;
  d.exists = true;
  d.mode = S_IFCHR | permissions;
  d.uid = 0;
  d.gid = gid;
  d.owner = QStringLiteral("root");
  d.group = gid == kDialout ? QStringLiteral("dialout") : QStringLiteral("tty");
  return d;
}

UserFacts user(std::vector<unsigned> session, std::vector<unsigned> account) {
  UserFacts u;
  u.uid = kUser;
  u.sessionGroups = std::move(session);
  u.accountGroups = std::move(account);
  return u;
}

TEST(PortDiagnosis, PermissionAdviceFitsTheUserAndTheMode) {
  const QString path = QStringLiteral("/dev/ttyUSB0");
  struct Case {
    const char* what;
    DeviceFacts device;
    UserFacts user;
    QString expected;
  };
  const Case cases[] = {
      {"not in the group", device(0660), user({1000}, {1000}),
       "cannot open /dev/ttyUSB0: permission denied (0660 crw-rw---- root:dialout); add yourself to the group "
       "dialout (sudo usermod -aG dialout $USER) and log in again"},
      {"in the group, but not this session", device(0660), user({1000}, {1000, kDialout}),
       "cannot open /dev/ttyUSB0: permission denied (0660 crw-rw---- root:dialout); you are in the group dialout "
       "but this login session is not; log out and back in"},
      {"the group may only read", device(0640), user({1000}, {1000}),
       "cannot open /dev/ttyUSB0: permission denied (0640 crw-r----- root:dialout); only root may use it; ask an "
       "administrator to give you access (a udev rule)"},
      {"no group access at all", device(0600), user({1000}, {1000, kDialout}),
       "cannot open /dev/ttyUSB0: permission denied (0600 crw------- root:dialout); only root may use it; ask an "
       "administrator to give you access (a udev rule)"},
      {"the mode allows it: something holds the device", device(0660), user({1000, kDialout}, {1000, kDialout}),
       "cannot open /dev/ttyUSB0: the device is busy or locked (0660 crw-rw---- root:dialout); another program "
       "may hold it (ModemManager, brltty, a terminal program)"},
      {"open to everyone", device(0666, 5), user({1000}, {1000}),
       "cannot open /dev/ttyUSB0: the device is busy or locked (0666 crw-rw-rw- root:tty); another program may "
       "hold it (ModemManager, brltty, a terminal program)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(describeOpenFailure(path, OpenFailure::PermissionDenied, QStringLiteral("Permission denied"), c.device,
                                  c.user),
              c.expected);
  }
}

TEST(PortDiagnosis, OtherCauses) {
  const UserFacts u = user({1000}, {1000});
  EXPECT_EQ(describeOpenFailure(QStringLiteral("/dev/ttyUSB3"), OpenFailure::NotFound, {}, DeviceFacts{}, u),
            QStringLiteral("cannot open /dev/ttyUSB3: no such device; is the cable plugged in?"));
  // A device that vanished between the failure and the look at it.
  EXPECT_EQ(describeOpenFailure(QStringLiteral("/dev/ttyUSB3"), OpenFailure::PermissionDenied, {}, DeviceFacts{}, u),
            QStringLiteral("cannot open /dev/ttyUSB3: no such device; is the cable plugged in?"));
  EXPECT_EQ(describeOpenFailure(QStringLiteral("/dev/ttyS0"), OpenFailure::Other, QStringLiteral("Input/output error"),
                                device(0660), u),
            QStringLiteral("cannot open /dev/ttyS0: Input/output error"));
  EXPECT_TRUE(describeOpenFailure(QStringLiteral("/dev/ttyS0"), OpenFailure::Busy, {}, device(0660), u)
                  .startsWith(QStringLiteral("cannot open /dev/ttyS0: the device is busy")));
}

TEST(PortDiagnosis, RealFilesAndTheCurrentUser) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("node"));
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
  const DeviceFacts d = deviceFacts(path);
  EXPECT_TRUE(d.exists);
  EXPECT_EQ(d.mode & 07777, 0640u);
  EXPECT_FALSE(d.owner.isEmpty());
  EXPECT_FALSE(d.group.isEmpty());
  EXPECT_TRUE(describeMode(d).startsWith(QStringLiteral("0640 -rw-r----- ")));
  // Our own file: we may read and write it.
  EXPECT_TRUE(accessProblem(path).isEmpty()) << accessProblem(path).toStdString();
  EXPECT_EQ(accessProblem(dir.filePath(QStringLiteral("gone"))),
            QStringLiteral("cannot open %1: no such device; is the cable plugged in?").arg(dir.filePath("gone")));
  const UserFacts me = currentUser();
  EXPECT_FALSE(me.sessionGroups.empty());
}

}  // namespace
}  // namespace zr
