#include <zor/PathTools.h>

#include <zor/Logger.h>

#include <QDateTime>

namespace zor {

namespace {
constexpr int kMaxPathChars = 2047;
}

QString getDirPath(const QString& path) {
    const QString p = QString::fromLatin1(path.left(kMaxPathChars).toLatin1());
    if (p.size() < 2) return QString();
    for (int i = p.size() - 1; i > 0; --i) {
        const QChar c = p.at(i);
        if (c == QLatin1Char('/') || c == QLatin1Char('\\')) return p.left(i);
    }
    return p;
}

bool is_drive_path(const QString& path) {
    if (path.size() != 2 && path.size() != 3) return false;
    const QChar letter = path.at(0).toUpper();
    if (letter < QLatin1Char('A') || letter > QLatin1Char('Z') || path.at(1) != QLatin1Char(':')) return false;
    return path.size() == 2 || path.at(2) == QLatin1Char('/') || path.at(2) == QLatin1Char('\\');
}

bool is_drive(const QFileInfo& fi) { return is_drive_path(fi.absoluteFilePath()) || is_drive_path(fi.filePath()); }

unsigned long long get_timestamp_micro_sec(const QFileInfo& fi) {
    if (!fi.exists()) {
        logWarning("get_timestamp_micro_sec, no file '$'", fi.filePath());
        return 0;
    }
    const long long ms = fi.lastModified().toMSecsSinceEpoch();
    return ms < 0 ? 0 : static_cast<unsigned long long>(ms);
}

QString get_timestamp_string(const QFileInfo& fi, const QString& format) {
    if (!fi.exists()) {
        logWarning("get_timestamp_string, no file '$'", fi.filePath());
        return QString();
    }
    return fi.lastModified().toString(format);
}

}  // namespace zor
