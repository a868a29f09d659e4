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

void* mapFileSequential(int fd, std::size_t len, bool populate) {
    if (fd < 0 || len == 0) return nullptr;
    const int flags = MAP_SHARED | (populate ? MAP_POPULATE : 0);
    void* p = ::mmap(nullptr, len, PROT_READ, flags, fd, 0);
    if (p == MAP_FAILED) return nullptr;
    // Advice only: a kernel that does not know one of them maps all the same.
    ::madvise(p, len, MADV_SEQUENTIAL);
#ifdef MADV_HUGEPAGE
    ::madvise(p, len, MADV_HUGEPAGE);
#endif
    if (!populate) ::madvise(p, len, MADV_WILLNEED);
    return p;
}

bool unmapFile(void* p, std::size_t len) { return p != nullptr && ::munmap(p, len) == 0; }

unsigned long long physicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long size = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && size > 0 ? static_cast<unsigned long long>(pages) * static_cast<unsigned long long>(size) : 0;
}

}  // namespace platform
}  // namespace zor
