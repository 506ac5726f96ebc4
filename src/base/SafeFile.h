#pragma once
// Reading and writing whole files safely: bounded reads and writes that never
// leave a half-written file behind.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace zr {

// Reads a file, at most `maxBytes` bytes of it (all of it when negative), so
// a huge file or a device such as /dev/zero cannot eat the memory; raises the
// file failures (53 not found, 70 no access, 57 I/O).
std::vector<uint8_t> readFileBytes(const QString& path, qint64 maxBytes = -1);

// Every file the programs write goes through this one helper. The content
// goes to a temporary file beside the target, is flushed and checked for
// errors, and only then renamed over the old file, so a failure (a full
// disk, a vanished folder) leaves the old file whole and no temporary file
// behind. Where the folder refuses new files but the file itself may be
// written, the file is rewritten in place instead (its old content is put
// back when that fails). With `keepTailFrom` >= 0 the bytes of the existing
// file from that offset on are kept after the new content.
// Failures raise a RunError whose code and detail name the cause
// (61 "disk full", 70 "permission denied", ...); the detail reads
// "PATH: CAUSE".
void writeFileAtomically(const QString& path, const std::vector<uint8_t>& bytes);
void writeFileAtomically(const QString& path, const QByteArray& bytes, qint64 keepTailFrom = -1);

}  // namespace zr
