#include <zor/XFile.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>

#include <QDir>
#include <cstring>

namespace zor {

namespace {
constexpr const char* kSource = "libSrc/core/src/tools/io/XFile";
}

XFile::XFile(const QString& name, MODE mode) : m_name(name), m_mode(mode) {
    if (mode != MODE_WRITE) return;
    fp = std::fopen(name.toUtf8().constData(), "w");
    if (fp == nullptr) logError("XFile::XFile, cannot open '$' for writing", name);
}

XFile::~XFile() { close(); }

void XFile::close() {
    if (fp != nullptr) std::fclose(fp);
    fp = nullptr;
}

bool XFile::writeBytes(const char* data, std::size_t n) {
    if (data == nullptr) nullPointerHandling(kSource, 30, QStringLiteral("pData == NULL"));
    if (fp == nullptr) nullPointerHandling(kSource, 31, QStringLiteral("fp == NULL"));
    return n == 0 || std::fwrite(data, 1, n, fp) == n;
}

bool XFile::write(const QString& s, bool newLine) {
    QByteArray bytes = s.toUtf8();
    if (newLine) bytes.append('\n');
    return writeBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool XFile::write_cstring(const char* text) {
    if (text == nullptr) nullPointerHandling(kSource, 42, QStringLiteral("pData == NULL"));
    return writeBytes(text, std::strlen(text));
}

bool XFile::write_random_line(int len) {
    QByteArray line;
    line.reserve(len > 0 ? len + 1 : 1);
    for (int i = 0; i < len; ++i) {
        m_random = m_random * 1103515245u + 12345u;  // a fixed sequence: test files are reproducible
        line.append(static_cast<char>(' ' + (m_random >> 16) % 95));
    }
    line.append('\n');
    return writeBytes(line.constData(), static_cast<std::size_t>(line.size()));
}

QString XFile::createTmpFileName(const QString& name) { return QDir::tempPath() + QLatin1Char('/') + name; }

}  // namespace zor
