#include <zor/FileWriter.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>

#include <QMutexLocker>
#include <cerrno>

namespace zor {

FileWriter::~FileWriter() { close(); }

bool FileWriter::open(const QString& name) {
    QMutexLocker lock(&mutex);
    if (fp != nullptr) std::fclose(fp);
    fileName = name;
    fp = std::fopen(name.toLatin1().constData(), "wb");
    if (fp == nullptr) {
        const int e = errno;
        logError("FileWriter::open, file problems - cannot open '$'", name);
        errno = e;
        return false;
    }
    return true;
}

bool FileWriter::isOpen() const {
    QMutexLocker lock(&mutex);
    return fp != nullptr;
}

void FileWriter::close() { flushAndClose(); }

bool FileWriter::flushAndClose() {
    QMutexLocker lock(&mutex);
    if (fp == nullptr) return false;
    const bool ok = std::fclose(fp) == 0;
    fp = nullptr;
    return ok;
}

long long FileWriter::tell() const {
    QMutexLocker lock(&mutex);
    if (fp == nullptr) nullPointerHandling("libSrc/core/src/tools/io/FileWriter", 43, QStringLiteral("fp == NULL"));
    return static_cast<long long>(std::ftell(fp));
}

std::size_t FileWriter::write(const char* values, std::size_t n) {
    if (values == nullptr) nullPointerHandling("libSrc/core/src/tools/io/FileWriter", 48, QStringLiteral("values == NULL"));
    QMutexLocker lock(&mutex);
    if (fp == nullptr) nullPointerHandling("libSrc/core/src/tools/io/FileWriter", 50, QStringLiteral("fp == NULL"));
    if (n == 0) return 0;
    const std::size_t w = std::fwrite(values, 1, n, fp);
    if (w == 0) {
        const int e = errno;
        logDebug("::writeBytes, errno:$", e);
        std::fclose(fp);
        fp = nullptr;
        errno = e;
    }
    return w;
}

std::size_t FileWriter::write(const QByteArray& bytes) {
    return write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace zor
