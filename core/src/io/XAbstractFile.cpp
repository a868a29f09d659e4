#include <zor/XAbstractFile.h>

#include <zor/FatalChecks.h>

#include <mutex>

namespace zor {

XAbstractFile::~XAbstractFile() {
    if (fp != nullptr) std::fclose(fp);
}

bool XAbstractFile::isOpen() const {
    std::lock_guard<std::mutex> lock(mutex);
    return fp != nullptr;
}

long long XAbstractFile::tell() {
    std::lock_guard<std::mutex> lock(mutex);
    if (fp == nullptr) nullPointerHandling("libSrc/core/src/tools/io/XAbstractFile", 22, QStringLiteral("fp == NULL"));
    return static_cast<long long>(std::ftell(fp));
}

void XAbstractFile::close() {
    std::lock_guard<std::mutex> lock(mutex);
    if (fp != nullptr) std::fclose(fp);
    fp = nullptr;
}

}  // namespace zor
