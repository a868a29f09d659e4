#include "platform/Platform.h"

namespace zor {
namespace platform {

std::size_t freadUnlocked(void* p, std::size_t n, std::FILE* fp) { return fread_unlocked(p, 1, n, fp); }

std::size_t fwriteUnlocked(const void* p, std::size_t n, std::FILE* fp) { return fwrite_unlocked(p, 1, n, fp); }

}  // namespace platform
}  // namespace zor
