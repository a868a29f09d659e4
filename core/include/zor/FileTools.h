#pragma once
/// \zfile{io} The free file tools: existence and length, extensions and names, whole-file reading and writing,
/// the text-file test, directory creation, deletion, wildcard matching, temporary names and the
/// file-information environment variables (G_PATH, G_DIR, G_FILE, G_SUFFIX, G_BASE). No locks;
/// failures are results plus one log line.
#include <zor/zor_export.h>

#include <QByteArray>
#include <QFileInfo>
#include <QString>

namespace zor {

ZOR_EXPORT bool fileExists(const QString& name);  ///< a non-empty name of an existing regular file
ZOR_EXPORT bool fileExists(const char* name);
ZOR_EXPORT bool dirExists(const QString& name);
ZOR_EXPORT long long getFileLength(const QString& name);  ///< -1 when there is no such file
/// The suffix after the last dot of the file name; names shorter than 2 characters give "".
ZOR_EXPORT QString getFileExtension(const QString& name, bool lower);
ZOR_EXPORT QString getFileExtension(const QFileInfo& fi, bool lower);
ZOR_EXPORT QString getPureFilename(const QString& name);
ZOR_EXPORT QString getRelPath(const QString& dir, const QString& path);
ZOR_EXPORT QString getTmpFilename(const QString& name);  ///< native separators

ZOR_EXPORT QString readAsciiFile(const QString& name);             ///< UTF-8; "" on failure
ZOR_EXPORT QByteArray readAsciiFileByteArray(const QString& name);  ///< empty on failure
ZOR_EXPORT bool writeByteArrayToFile(const QByteArray& array, const QString& name);

ZOR_EXPORT bool deleteFile(const QString& name);
ZOR_EXPORT bool deleteFile(const QFileInfo& fi);
/// flagAll: path and every missing parent; otherwise the parents of the file path path.
ZOR_EXPORT bool mkDirPath(const QString& path, bool flagAll);

/// A non-empty regular file whose first 1,024 bytes hold only tabs, line ends, backspace and
/// printable ASCII, or that begins with "<!xml" or "<!DOCTYPE".
ZOR_EXPORT bool is_text_file(const QString& name);
ZOR_EXPORT bool is_text_file(const QFileInfo& fi);

/// Case-insensitive match with '*' for any run of characters; a pattern without a star matches as a
/// prefix. An empty text or pattern never matches.
ZOR_EXPORT bool pattern_match_wild_card(const QString& text, QString pattern);
ZOR_EXPORT bool pattern_match_wild_card(const QFileInfo& fi, QString pattern);  ///< the absolute path

ZOR_EXPORT void fileInfo_to_env(const QFileInfo& fi);
ZOR_EXPORT void fileInfo_env_show(unsigned int space);

}  // namespace zor
