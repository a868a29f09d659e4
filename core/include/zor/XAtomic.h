#pragma once
/// \zfile{thread} XAtomic<T>: the library's name for an atomic value (a plain std::atomic).
#include <atomic>

namespace zor {
template <typename T>
using XAtomic = std::atomic<T>;
}  // namespace zor
