#pragma once
/// \zfile{util} Taking paths apart and reading a file's modification time:
/// \code getDirPath("/a/b/c.txt") == "/a/b"      getDirPath("c.txt") == "c.txt"   getDirPath("/x") == "/x"
///   is_drive_path("C:") and is_drive_path("d:\\") are true, is_drive_path("C:\\dir") is false \endcode
/// Free functions without state: thread-safe.
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QString>

namespace zor {

/// The text before the last '/' or '\' of path (Latin-1, at most its first 2047 characters); the
/// first character is never a cut point. Shorter than two characters: empty. No separator: the
/// path itself.
ZOR_EXPORT QString getDirPath(const QString& path);

/// A drive root: a letter A-Z in either case and ':', optionally followed by '/' or '\'.
ZOR_EXPORT bool is_drive_path(const QString& path);
/// fi's absolute path is a drive root. Qt here takes "C:" for a relative name and puts the current
/// directory in front of it, so the path as fi was given is checked as well.
ZOR_EXPORT bool is_drive(const QFileInfo& fi);

/// The last modification time in milliseconds (the name says micro, the value is milli) since
/// 1970-01-01 UTC; 0 and a log line when the file does not exist.
ZOR_EXPORT unsigned long long get_timestamp_micro_sec(const QFileInfo& fi);
/// The last modification time in Qt's date-time format; empty and a log line when the file does
/// not exist.
ZOR_EXPORT QString get_timestamp_string(const QFileInfo& fi, const QString& format);

}  // namespace zor
