#include <zor/FileTools.h>

#include <zor/FileWriter.h>
#include <zor/Logger.h>
#include <zor/XFileMapper.h>
#include <zor/XTokenizer.h>

#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace zor {

bool fileExists(const QString& name) {
    if (name.isEmpty()) return false;
    const QFileInfo fi(name);
    return fi.exists() && fi.isFile();
}

bool fileExists(const char* name) { return name != nullptr && fileExists(QString::fromUtf8(name)); }

bool dirExists(const QString& name) { return !name.isEmpty() && QFileInfo(name).isDir(); }

long long getFileLength(const QString& name) {
    if (name.isEmpty()) return -1;
    const QFileInfo fi(name);
    return fi.exists() ? fi.size() : -1;
}

QString getFileExtension(const QString& name, bool lower) {
    if (name.length() < 2) return QString();
    const QString suffix = QFileInfo(name).suffix();
    return lower ? suffix.toLower() : suffix;
}

QString getFileExtension(const QFileInfo& fi, bool lower) { return getFileExtension(fi.fileName(), lower); }

QString getPureFilename(const QString& name) { return QFileInfo(name).fileName(); }

QString getRelPath(const QString& dir, const QString& path) { return QDir(dir).relativeFilePath(path); }

QString getTmpFilename(const QString& name) {
    if (name.isEmpty()) return QDir::toNativeSeparators(QDir::tempPath());
    return QDir::toNativeSeparators(QDir::tempPath() + QLatin1Char('/') + name);
}

QString readAsciiFile(const QString& name) {
    logDebug("zor::readAsciiFile, strFile:'$'", name);
    QFile f(name);
    if (QFileInfo(name).isDir() || !f.open(QIODevice::ReadOnly)) {
        logError("zor::readAsciiFile, '$' open problem", name);
        return QString();
    }
    return QString::fromUtf8(f.readAll());
}

QByteArray readAsciiFileByteArray(const QString& name) {
    logInfo("zor::readAsciiFileByteArray, strFile:'$'", name);
    QFile f(name);
    if (QFileInfo(name).isDir() || !f.open(QIODevice::ReadOnly)) {
        logError("zor::readAsciiFileByteArray, '$' open problem", name);
        return QByteArray();
    }
    return f.readAll();
}

bool writeByteArrayToFile(const QByteArray& array, const QString& name) {
    FileWriter writer;
    if (!writer.open(name)) {
        logWarning("zor::writeByteArrayToFile, cannot write to '$'", name);
        return false;
    }
    const std::size_t written = array.isEmpty() ? 0 : writer.write(array);
    const bool closed = writer.isOpen() ? writer.flushAndClose() : false;
    return written == static_cast<std::size_t>(array.size()) && closed;
}

bool deleteFile(const QString& name) {
    logDebug("Tools_Win64::deleteFile, '$'", name);
    if (std::remove(name.toUtf8().constData()) != 0) {
        const int e = errno;
        logError("file_tools::deleteFile not working for '$' ", name);
        logError("file_tools::deleteFile, $", platform::systemErrorText(e));
        return false;
    }
    return true;
}

bool deleteFile(const QFileInfo& fi) { return deleteFile(fi.absoluteFilePath()); }

bool mkDirPath(const QString& path, bool flagAll) {
    QString target = path;
    if (!flagAll) {
        const int cut = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
        if (cut <= 0) {
            logError("mkDirPath '$', flagAll:$, problems", path, flagAll);
            return false;
        }
        target = path.left(cut);
    }
    if (target.isEmpty() || !QDir().mkpath(target)) {
        logError("mkDirPath '$', flagAll:$, problems", path, flagAll);
        return false;
    }
    return true;
}

bool is_text_file(const QString& name) { return is_text_file(QFileInfo(name)); }

bool is_text_file(const QFileInfo& fi) {
    const QString path = fi.absoluteFilePath();
    if (!fi.exists()) {
        logDebug("file_tools::is_text_file, <<<$>>> does not exist", path);
        return false;
    }
    if (!fi.isFile()) {
        logDebug("file_tools::is_text_file, <<<$>>> ist not a file", path);
        return false;
    }
    if (fi.size() == 0) {
        logDebug("file_tools::is_text_file, <<<$>>> file length == 0", path);
        return false;
    }
    XFileMapper map(fi);
    const char* p = map.mapReadOnly() ? map.mem() : nullptr;
    if (p == nullptr) {
        logDebug("file_tools::is_text_file, <<<$>>> cannot open", path);
        return false;
    }
    const std::size_t n = std::min<std::size_t>(map.length(), 1024);
    const QByteArray head = QByteArray::fromRawData(p, static_cast<int>(n));
    if (n >= 9 && (head.startsWith("<!xml") || head.startsWith("<!DOCTYPE"))) return true;
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<signed char>(p[i]);
        if (c < 8 || c == 11 || c == 12 || (c >= 14 && c <= 31)) return false;
    }
    return true;
}

bool pattern_match_wild_card(const QString& textIn, QString pattern) {
    if (textIn.isEmpty() || pattern.isEmpty()) return false;
    const QString text = textIn.toLower();
    pattern = pattern.toLower();
    const XTokenizer toks(pattern, QStringLiteral("*"), true, false);
    const unsigned int n = toks.size();
    if (n == 0) return false;
    const QString star = QStringLiteral("*");
    int pos = 0;
    unsigned int i = 0;
    if (toks.stringAt(0) != star) {
        const QString first = toks.stringAt(0);
        if (!text.startsWith(first)) return false;
        pos = first.length();
        i = 1;
    }
    for (; i < n; ++i) {
        const QString tok = toks.stringAt(i);
        if (tok == star) continue;
        const int at = text.indexOf(tok, pos);
        if (at < 0) return false;
        pos = at + tok.length();
    }
    const QString last = toks.stringAt(n - 1);
    if (last != star && n > 1) return pos == text.length();
    return true;
}

bool pattern_match_wild_card(const QFileInfo& fi, QString pattern) {
    return pattern_match_wild_card(fi.absoluteFilePath(), std::move(pattern));
}

void fileInfo_to_env(const QFileInfo& fi) {
    platform::setEnvironment("G_PATH", fi.absoluteFilePath().toUtf8().constData());
    platform::setEnvironment("G_DIR", fi.absolutePath().toUtf8().constData());
    platform::setEnvironment("G_FILE", fi.fileName().toUtf8().constData());
    platform::setEnvironment("G_SUFFIX", fi.suffix().toUtf8().constData());
    platform::setEnvironment("G_BASE", fi.baseName().toUtf8().constData());
}

void fileInfo_env_show(unsigned int space) {
    logDebugSpace(space, "G_PATH:'$'", QString::fromUtf8(qgetenv("G_PATH")));
    logDebugSpace(space, "G_DIR:'$'", QString::fromUtf8(qgetenv("G_DIR")));
    logDebugSpace(space, "G_FILE:'$'", QString::fromUtf8(qgetenv("G_FILE")));
    logDebugSpace(space, "G_SUFFIX:'$'", QString::fromUtf8(qgetenv("G_SUFFIX")));
    logDebugSpace(space, "G_BASE:'$'", QString::fromUtf8(qgetenv("G_BASE")));
}

}  // namespace zor
