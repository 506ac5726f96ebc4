#pragma once
// Why a serial device cannot be opened, in one line a user can act on:
// "cannot open /dev/ttyUSB0: permission denied (0660 crw-rw---- root:dialout);
// add yourself to the group dialout (sudo usermod -aG dialout $USER) and log
// in again". The CLI prints it, the communication window shows it in its
// status line, the port list says it for each port.
//
// The rules work on plain facts (the device's mode, owner and group, the
// user's groups), so they are tested without real devices.
#include <QString>
#include <vector>

namespace zr {

// What stat() tells about a device node.
struct DeviceFacts {
  bool exists = false;
  unsigned mode = 0;  // st_mode: file type and permission bits
  unsigned uid = 0;
  unsigned gid = 0;
  QString owner;  // user name of uid ("root"), the number when it has none
  QString group;  // group name of gid ("dialout")
};

// Who is asking.
struct UserFacts {
  unsigned uid = 0;
  // Groups of this login session (the process's groups): what the kernel checks.
  std::vector<unsigned> sessionGroups;
  // Groups the account is in according to the group database: what the next
  // login session will have.
  std::vector<unsigned> accountGroups;
};

DeviceFacts deviceFacts(const QString& path);
UserFacts currentUser();

enum class OpenFailure { NotFound, PermissionDenied, Busy, Other };

// "0660 crw-rw---- root:dialout"
QString describeMode(const DeviceFacts& device);

// Whether the permission bits let this user read and write the device.
bool modeAllows(const DeviceFacts& device, const UserFacts& user);

// The advice for a device this user may not open: which group to join, or
// that the group is joined but this session predates it, or that another
// program holds the device.
QString permissionAdvice(const DeviceFacts& device, const UserFacts& user);

// One line: "cannot open PATH: CAUSE[; advice]". systemText is the serial
// layer's own words, used for failures we have no better words for.
QString describeOpenFailure(const QString& path, OpenFailure failure, const QString& systemText,
                            const DeviceFacts& device, const UserFacts& user);

// Empty when this user can open the device for reading and writing as far
// as the file system tells (it exists and access() allows it); otherwise the
// cause with its advice, as describeOpenFailure words it.
QString accessProblem(const QString& path);

}  // namespace zr
