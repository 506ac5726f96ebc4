#include "link/PortDiagnosis.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>

namespace zr {

namespace {

bool contains(const std::vector<unsigned>& list, unsigned value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

QString symbolicMode(unsigned mode) {
  QString s;
  switch (mode & S_IFMT) {
    case S_IFCHR: s += u'c'; break;
    case S_IFBLK: s += u'b'; break;
    case S_IFDIR: s += u'd'; break;
    case S_IFLNK: s += u'l'; break;
    case S_IFIFO: s += u'p'; break;
    case S_IFSOCK: s += u's'; break;
    default: s += u'-'; break;
  }
  const char* letters = "rwxrwxrwx";
  for (int bit = 0; bit < 9; ++bit) s += (mode & (0400u >> bit)) ? QChar::fromLatin1(letters[bit]) : u'-';
  return s;
}

// Read and write bits of the class (owner, group, others) the kernel applies.
bool classAllows(unsigned mode, unsigned readBit, unsigned writeBit) {
  return (mode & readBit) && (mode & writeBit);
}

}  // namespace

DeviceFacts deviceFacts(const QString& path) {
  DeviceFacts d;
  struct stat st{};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0) return d;
  d.exists = true;
  d.mode = st.st_mode;
  d.uid = st.st_uid;
  d.gid = st.st_gid;
  const struct passwd* pw = ::getpwuid(st.st_uid);
  d.owner = pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(st.st_uid);
  const struct group* gr = ::getgrgid(st.st_gid);
  d.group = gr ? QString::fromLocal8Bit(gr->gr_name) : QString::number(st.st_gid);
  return d;
}

UserFacts currentUser() {
  UserFacts u;
  u.uid = ::geteuid();
  u.sessionGroups.push_back(::getegid());
  const int n = ::getgroups(0, nullptr);
  if (n > 0) {
    std::vector<gid_t> groups(static_cast<size_t>(n));
    const int got = ::getgroups(n, groups.data());
    for (int i = 0; i < got && i < n; ++i) u.sessionGroups.push_back(groups[static_cast<size_t>(i)]);
  }
  if (const struct passwd* pw = ::getpwuid(u.uid)) {
    const QByteArray name(pw->pw_name);
    const gid_t primary = pw->pw_gid;
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    if (::getgrouplist(name.constData(), primary, groups.data(), &count) < 0 && count > 0) {
      groups.resize(static_cast<size_t>(count));
      if (::getgrouplist(name.constData(), primary, groups.data(), &count) < 0) count = 0;
    }
    for (int i = 0; i < count && i < static_cast<int>(groups.size()); ++i)
      u.accountGroups.push_back(groups[static_cast<size_t>(i)]);
  }
  return u;
}

QString describeMode(const DeviceFacts& device) {
  return QStringLiteral("%1 %2 %3:%4")
      .arg(device.mode & 07777, 4, 8, QLatin1Char('0'))
      .arg(symbolicMode(device.mode), device.owner, device.group);
}

bool modeAllows(const DeviceFacts& device, const UserFacts& user) {
  if (user.uid == 0) return true;
  if (user.uid == device.uid) return classAllows(device.mode, S_IRUSR, S_IWUSR);
  if (contains(user.sessionGroups, device.gid)) return classAllows(device.mode, S_IRGRP, S_IWGRP);
  return classAllows(device.mode, S_IROTH, S_IWOTH);
}

QString permissionAdvice(const DeviceFacts& device, const UserFacts& user) {
  if (modeAllows(device, user))
    return QStringLiteral("another program may hold it (ModemManager, brltty, a terminal program)");
  const bool groupMayUse = classAllows(device.mode, S_IRGRP, S_IWGRP);
  if (groupMayUse && !device.group.isEmpty()) {
    if (contains(user.accountGroups, device.gid))
      return QStringLiteral("you are in the group %1 but this login session is not; log out and back in")
          .arg(device.group);
    return QStringLiteral("add yourself to the group %1 (sudo usermod -aG %1 $USER) and log in again")
        .arg(device.group);
  }
  // No group would help: only the owner (or an administrator) can grant access.
  return QStringLiteral("only %1 may use it; ask an administrator to give you access (a udev rule)")
      .arg(device.owner.isEmpty() ? QStringLiteral("its owner") : device.owner);
}

QString describeOpenFailure(const QString& path, OpenFailure failure, const QString& systemText,
                            const DeviceFacts& device, const UserFacts& user) {
  const QString head = QStringLiteral("cannot open %1: ").arg(path);
  if (failure == OpenFailure::NotFound || !device.exists)
    return head + QStringLiteral("no such device; is the cable plugged in?");
  if (failure == OpenFailure::PermissionDenied) {
    if (modeAllows(device, user))
      return head + QStringLiteral("the device is busy or locked (%1); %2")
                        .arg(describeMode(device), permissionAdvice(device, user));
    return head + QStringLiteral("permission denied (%1); %2").arg(describeMode(device), permissionAdvice(device, user));
  }
  if (failure == OpenFailure::Busy)
    return head + QStringLiteral("the device is busy; another program may hold it (ModemManager, brltty, a terminal "
                                 "program)");
  QString text = systemText.trimmed();
  if (text.isEmpty()) text = QStringLiteral("the serial layer gave no reason");
  return head + text;
}

QString accessProblem(const QString& path) {
  const DeviceFacts device = deviceFacts(path);
  if (!device.exists) return describeOpenFailure(path, OpenFailure::NotFound, {}, device, currentUser());
  if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) == 0) return {};
  return describeOpenFailure(path, OpenFailure::PermissionDenied, {}, device, currentUser());
}

}  // namespace zr
