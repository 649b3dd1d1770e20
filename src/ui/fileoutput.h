#pragma once

#include <QByteArray>
#include <QString>

// Replacing a file so that, whatever fails, the old file stays as it was: the bytes go to a
// temporary file in the same folder, every write and the flush to the disk are checked, and
// only a complete copy is renamed over the old one. The new file keeps the old one's
// permissions and owner.
namespace FileOutput {

// Writes `bytes` to `path`. On failure returns false, leaves no temporary file behind and puts
// a reason a user can read into `error` (such as "No space left on device").
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error);

} // namespace FileOutput
