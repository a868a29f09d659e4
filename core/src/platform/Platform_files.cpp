#include "platform/Platform.h"

#include <QFile>
#include <cstdint>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zor {
namespace platform {

std::size_t freadUnlocked(void* p, std::size_t n, std::FILE* fp) { return fread_unlocked(p, 1, n, fp); }

std::size_t fwriteUnlocked(const void* p, std::size_t n, std::FILE* fp) { return fwrite_unlocked(p, 1, n, fp); }

long long fileSizeByName(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
}

void adviseSequential(const void* p, std::size_t len) {
    if (p == nullptr || len == 0) return;
    static const std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(p) & ~(page - 1);
    const std::size_t span = len + (reinterpret_cast<std::uintptr_t>(p) - start);
    ::madvise(reinterpret_cast<void*>(start), span, MADV_SEQUENTIAL);  // advice only: a failure changes nothing
}

}  // namespace platform
}  // namespace zor
