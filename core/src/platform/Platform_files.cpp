#include "platform/Platform.h"

#include <QFile>
#include <cstdint>
#include <sys/mman.h>
#include <sys/stat.h>

namespace zor {
namespace platform {

std::size_t freadUnlocked(void* p, std::size_t n, std::FILE* fp) { return fread_unlocked(p, 1, n, fp); }

std::size_t fwriteUnlocked(const void* p, std::size_t n, std::FILE* fp) { return fwrite_unlocked(p, 1, n, fp); }

long long fileSizeByName(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return -1;
    return static_cast<long long>(st.st_size);
}

void adviseHugePages(void* p, std::size_t len) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t huge = std::uintptr_t(2) << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(p) + huge - 1) & ~(huge - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(p) + len) & ~(huge - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)p;
    (void)len;
#endif
}

}  // namespace platform
}  // namespace zor
