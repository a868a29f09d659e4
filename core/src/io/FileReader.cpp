#include <zor/FileReader.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/ThreadTools.h>

#include <QFileInfo>
#include <QMutexLocker>
#include <cerrno>

namespace zor {

FileReader::FileReader(const QString& name) {
    if (!name.isEmpty()) open(name);
}

FileReader::FileReader(const char* name) {
    if (name == nullptr) nullPointerHandling("libSrc/core/src/tools/io/FileReader", 20, QStringLiteral("pFileName == NULL"));
    if (*name != '\0') open(QString::fromLatin1(name));
}

FileReader::~FileReader() { close(); }

bool FileReader::open(const QString& name) {
    QMutexLocker lock(&mutex);
    if (fp != nullptr) {
        std::fclose(fp);
        fp = nullptr;
    }
    eof = false;
    fileName = name;
    const QFileInfo fi(name);
    fileLen = fi.exists() ? fi.size() : -1;
    fp = std::fopen(name.toLatin1().constData(), "rb");
    if (fp == nullptr) {
        const int e = errno;
        logDebug("FileReader::open, file problems with '$'", name);
        errno = e;
        return false;
    }
    return true;
}

bool FileReader::isOpen() const {
    QMutexLocker lock(&mutex);
    return fp != nullptr;
}

void FileReader::close() {
    QMutexLocker lock(&mutex);
    if (fp != nullptr) std::fclose(fp);
    fp = nullptr;
}

long long FileReader::tell() const {
    QMutexLocker lock(&mutex);
    return fp != nullptr ? static_cast<long long>(std::ftell(fp)) : -1;
}

std::size_t FileReader::readBytes(char* values, std::size_t n) {
    if (values == nullptr) nullPointerHandling("libSrc/core/src/tools/io/FileReader", 64, QStringLiteral("values == NULL"));
    QMutexLocker lock(&mutex);
    if (fp == nullptr) {
        logDebug("::readTheArray, fp == NULL");
        xSleep(5000);
        return 0;
    }
    if (n == 0) {
        logDebug("::readTheArray, within file '$', try to read 0 bytes", fileName);
        xSleep(5000);
        return 0;
    }
    errno = 0;
    const std::size_t r = std::fread(values, 1, n, fp);
    if (r > 0) return r;
    if (errno == 0) {
        logDebug("::readTheArray, posMemory:$", static_cast<long long>(std::ftell(fp)));
        xSleep(5000);
    }
    if (std::feof(fp)) logDebug("::readTheArray, within file '$' EOF, close file now!", fileName);
    else logDebug("::readTheArray, r:$, within file '$', errno:$, try to close file", static_cast<unsigned long long>(r), fileName, errno);
    xSleep(5000);
    std::fclose(fp);
    fp = nullptr;
    return r;
}

}  // namespace zor
