#pragma once
/// \zfile{log} The level helpers: logDebug("Class::method, $ items", n) and friends. When the logger
/// is not running, or the level does not pass the mask, a call costs one load and a test.
///
/// Otherwise the calling thread does not build the text: it copies the format pointer and the
/// arguments in binary form into its own bounded buffer (detail::logReserve / logPublish), and the
/// logger thread renders them later with the same '$' code (xformat's putArg), so the text is the
/// one xformat would have built at the call:
///   - numbers, bool, char and QChar are copied as they are;
///   - texts are copied byte for byte (const char*, QString, QByteArray, QLatin1String, QStringView,
///     QStringRef): a caller may change or free them right after the call. Only texts in read-only
///     memory that never changes (string literals, QStringLiteral data) are kept by address;
///   - any other type is rendered at once (its stream operator may read state that changes later).
/// A message too large for the buffer, and one logged on the logger thread itself, is formatted at
/// once instead (detail::logImmediate); either way it is numbered and delivered in order.
#include <zor/FatalChecks.h>
#include <zor/LogLevel.h>
#include <zor/LogMessageString.h>
#include <zor/ZorLibraries.h>
#include <zor/xformat.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QChar>
#include <QLatin1String>
#include <QString>
#include <QStringRef>
#include <QStringView>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <tuple>
#include <type_traits>
#include <utility>

namespace zor {

class Logger;

namespace detail {

// The mask the level helpers test: the logger's level mask while its thread delivers, else 0.
struct LogGate {
    std::atomic<unsigned int> mask{0};
};
ZOR_EXPORT extern LogGate g_logGate;

class LogRing;
using LogRenderFn = void (*)(FormatBuffer* b, const char* format, char* args);

// A reserved record in the calling thread's buffer: the arguments go to args. Null args: the
// message is to be formatted at once (logImmediate).
struct LogSlot {
    char* args;
    LogRing* ring;
};

// Reserves a record for argBytes of arguments (waits for room while the buffer is full).
ZOR_EXPORT LogSlot logReserve(std::size_t argBytes, const char* format, unsigned int level, unsigned int space);
// Numbers the reserved record and hands it to the logger thread.
ZOR_EXPORT void logPublish(LogSlot slot, LogRenderFn render);
// Queues a message whose text is already built.
ZOR_EXPORT void logImmediate(unsigned int level, unsigned int space, QString&& text);
// True for an address in read-only memory of a loaded program or library: its bytes never change.
ZOR_EXPORT bool logIsFixedText(const void* p);

constexpr std::size_t logAlign(std::size_t n) { return (n + 7) & ~static_cast<std::size_t>(7); }

// How a text argument is kept: by address (fixed data) or by a copy of its bytes.
enum : std::uint64_t { kLogTextNull = 0, kLogTextKept = 1, kLogTextCopied = 2 };

inline std::uint64_t logTextWord(std::uint64_t mode, std::size_t n) {
    return (static_cast<std::uint64_t>(n) << 2) | mode;
}

// One captured argument of type T. prepare() runs before the record is reserved and does all that
// may run other code or read the argument twice (a stream operator, strlen); the prepared value
// writes size() bytes (a multiple of 8). take() renders the bytes into b (when b is given) and
// releases what they hold. Every rendering ends in putArg or the FormatBuffer call putArg makes
// for that type, so both paths give the same text.
template <typename T, typename Enable = void>
struct LogArg {
    // Rendered at once: a stream operator may read anything, also state that changes after the call.
    struct Prep {
        QString text;
        std::size_t size() const { return sizeof(QString); }
        char* write(char* p) {
            new (p) QString(std::move(text));
            return p + sizeof(QString);
        }
    };
    static Prep prepare(const T& v) { return Prep{streamedText(v)}; }
    static char* take(FormatBuffer* b, char* p) {
        QString* s = std::launder(reinterpret_cast<QString*>(p));
        if (b != nullptr) b->putString(*s);
        s->~QString();
        return p + sizeof(QString);
    }
};

template <typename T>
constexpr bool kLogByValue = std::is_same_v<T, bool> || std::is_same_v<T, char> || std::is_same_v<T, QChar> ||
                             std::is_integral_v<T> || std::is_floating_point_v<T> ||
                             (std::is_enum_v<T> && std::is_convertible_v<T, long long>);

template <typename T>
struct LogArg<T, std::enable_if_t<kLogByValue<T>>> {
    static constexpr std::size_t kSize = logAlign(sizeof(T));
    struct Prep {
        T value;
        static constexpr std::size_t size() { return kSize; }
        char* write(char* p) const {
            std::memcpy(p, &value, sizeof(T));
            return p + kSize;
        }
    };
    static Prep prepare(const T& v) { return Prep{v}; }
    static char* take(FormatBuffer* b, char* p) {
        if (b != nullptr) {
            T v{};
            std::memcpy(&v, p, sizeof(T));
            putArg(*b, v);
        }
        return p + kSize;
    }
};

// Latin-1 bytes: a word (length and mode), then the address or the bytes.
struct LogLatin1 {
    const char* s;
    std::size_t n;
    bool kept;  // null, or fixed and kept by address

    std::size_t size() const { return kept ? 16 : 8 + logAlign(n); }
    char* write(char* p) const {
        const std::uint64_t word = logTextWord(s == nullptr ? kLogTextNull : kept ? kLogTextKept : kLogTextCopied, n);
        std::memcpy(p, &word, 8);
        if (kept) {
            std::memcpy(p + 8, &s, sizeof s);
            return p + 16;
        }
        std::memcpy(p + 8, s, n);
        return p + 8 + logAlign(n);
    }
    // Reads a captured text back: its mode, bytes (null for a null pointer) and length.
    static char* read(char* p, std::uint64_t& mode, const char*& s, std::size_t& n) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        n = static_cast<std::size_t>(word >> 2);
        mode = word & 3;
        if (mode == kLogTextCopied) {
            s = p + 8;
            return p + 8 + logAlign(n);
        }
        std::memcpy(&s, p + 8, sizeof s);
        return p + 16;
    }
};

// C strings. A fixed one is kept by address and measured on the logger thread.
template <typename T>
constexpr bool kLogCString = std::is_same_v<T, const char*> || std::is_same_v<T, char*> ||
                             std::is_same_v<T, std::nullptr_t> || IsCharArray<T>::value;

template <typename T>
struct LogArg<T, std::enable_if_t<kLogCString<T>>> {
    using Prep = LogLatin1;
    static Prep prepare(const T& v) {
        const char* s = nullptr;
        if constexpr (!std::is_same_v<T, std::nullptr_t>) s = v;
        if (s == nullptr || logIsFixedText(s)) return Prep{s, 0, true};
        return Prep{s, std::strlen(s), false};
    }
    static char* take(FormatBuffer* b, char* p) {
        std::uint64_t mode;
        const char* s;
        std::size_t n;
        p = LogLatin1::read(p, mode, s, n);
        if (b != nullptr) {
            if (mode == kLogTextCopied)
                b->putLatin1(s, n);
            else
                b->putCString(s);  // null, or kept by address and measured here
        }
        return p;
    }
};

template <>
struct LogArg<QLatin1String> {
    using Prep = LogLatin1;
    static Prep prepare(const QLatin1String& v) {
        // A null data pointer (length 0) renders nothing, as the empty literal does.
        const char* s = v.data() != nullptr ? v.data() : "";
        return Prep{s, static_cast<std::size_t>(v.size()), logIsFixedText(s)};
    }
    static char* take(FormatBuffer* b, char* p) {
        std::uint64_t mode;
        const char* s;
        std::size_t n;
        p = LogLatin1::read(p, mode, s, n);
        if (b != nullptr) b->putLatin1(s, n);
        return p;
    }
};

template <typename S>
inline bool logFixedData(const S& v) {
    return const_cast<S&>(v).data_ptr()->ref.isStatic();
}

// UTF-16 units or UTF-8 bytes: a word (count and mode), then the copied data or, for fixed data
// (QStringLiteral, QByteArrayLiteral), the string object itself (no reference count is touched).
template <typename S, typename Unit>
struct LogShared {
    const S* fixed;  // fixed data, else null
    const Unit* data;
    std::size_t n;

    std::size_t size() const { return fixed != nullptr ? 8 + sizeof(S) : 8 + logAlign(sizeof(Unit) * n); }
    char* write(char* p) const {
        const std::uint64_t word = logTextWord(fixed != nullptr ? kLogTextKept : kLogTextCopied, n);
        std::memcpy(p, &word, 8);
        if (fixed != nullptr) {
            new (p + 8) S(*fixed);
            return p + 8 + sizeof(S);
        }
        if (n != 0) std::memcpy(p + 8, data, sizeof(Unit) * n);
        return p + 8 + logAlign(sizeof(Unit) * n);
    }
    // Renders the captured text (putKept for the string object, putCopied for copied units) and
    // releases it.
    template <typename PutKept, typename PutCopied>
    static char* take(FormatBuffer* b, char* p, PutKept putKept, PutCopied putCopied) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        const std::size_t n = static_cast<std::size_t>(word >> 2);
        if ((word & 3) == kLogTextKept) {
            S* s = std::launder(reinterpret_cast<S*>(p + 8));
            if (b != nullptr) putKept(*b, *s);
            s->~S();
            return p + 8 + sizeof(S);
        }
        if (b != nullptr) putCopied(*b, reinterpret_cast<const Unit*>(p + 8), n);
        return p + 8 + logAlign(sizeof(Unit) * n);
    }
};

template <>
struct LogArg<QString> {
    using Prep = LogShared<QString, QChar>;
    static Prep prepare(const QString& v) {
        return Prep{logFixedData(v) ? &v : nullptr, v.constData(), static_cast<std::size_t>(v.size())};
    }
    static char* take(FormatBuffer* b, char* p) {
        return Prep::take(
            b, p, [](FormatBuffer& f, const QString& s) { f.putString(s); },
            [](FormatBuffer& f, const QChar* u, std::size_t n) { f.putUtf16(u, n); });
    }
};

template <>
struct LogArg<QByteArray> {
    using Prep = LogShared<QByteArray, char>;
    static Prep prepare(const QByteArray& v) {
        return Prep{logFixedData(v) ? &v : nullptr, v.constData(), static_cast<std::size_t>(v.size())};
    }
    static char* take(FormatBuffer* b, char* p) {
        return Prep::take(
            b, p, [](FormatBuffer& f, const QByteArray& a) { f.putUtf8(a); },
            [](FormatBuffer& f, const char* c, std::size_t n) {
                f.putUtf8(QByteArray::fromRawData(c, static_cast<int>(n)));
            });
    }
};

// Views of UTF-16 text: always copied.
template <typename T>
struct LogArg<T, std::enable_if_t<std::is_same_v<T, QStringRef> || std::is_same_v<T, QStringView>>> {
    using Prep = LogShared<QString, QChar>;
    static Prep prepare(const T& v) {
        return Prep{nullptr, v.data() ? reinterpret_cast<const QChar*>(v.data()) : nullptr,
                    static_cast<std::size_t>(v.size())};
    }
    static char* take(FormatBuffer* b, char* p) { return LogArg<QString>::take(b, p); }
};

// Renders a captured record exactly as formatArgs renders the arguments themselves; with b null
// it only releases what the arguments hold.
template <typename A>
inline char* logRenderNext(FormatBuffer* b, const char*& format, bool& more, char* p) {
    if (more) {
        format = b->putUntilDollar(format);
        more = format != nullptr;  // the format ended: the remaining arguments are ignored
    }
    return LogArg<A>::take(more ? b : nullptr, p);
}

template <typename... Args>
void logRender(FormatBuffer* b, const char* format, char* p) {
    bool more = b != nullptr && format != nullptr;
    ((p = logRenderNext<Args>(b, format, more, p)), ...);
    (void)p;
    if (more) b->putRest(format);
}

template <typename... Preps>
inline std::size_t logArgBytes(const Preps&... preps) {
    return (static_cast<std::size_t>(0) + ... + preps.size());
}
template <typename... Preps>
inline void logWriteArgs(char* p, Preps&... preps) {
    ((p = preps.write(p)), ...);
    (void)p;
}

// Everything after the level test, out of line: one copy per list of argument types.
template <typename... Args>
#if defined(__GNUC__)
__attribute__((noinline))
#endif
void logCapture(unsigned int level, unsigned int space, const char* format, const Args&... args) {
    std::tuple<typename LogArg<Args>::Prep...> preps{LogArg<Args>::prepare(args)...};
    const LogSlot slot =
        logReserve(std::apply(logArgBytes<typename LogArg<Args>::Prep...>, preps), format, level, space);
    if (slot.args == nullptr) {
        logImmediate(level, space, xformat(format, args...));
        return;
    }
    std::apply([&slot](auto&... p) { logWriteArgs(slot.args, p...); }, preps);
    logPublish(slot, &logRender<Args...>);
}

template <typename... Args>
inline void logAt(unsigned int level, unsigned int space, const char* format, const Args&... args) {
    if ((g_logGate.mask.load(std::memory_order_relaxed) & (level | CORE_LIB_LEVEL_BITS)) != 0)
        logCapture(level, space, format, args...);
}

}  // namespace detail

template <typename... Args>
inline void logDebug(const char* format, const Args&... args) {
    detail::logAt(DEBUG, 0, format, args...);
}
template <typename... Args>
inline void logDebugSpace(unsigned int space, const char* format, const Args&... args) {
    detail::logAt(DEBUG, space, format, args...);
}
template <typename... Args>
inline void logInfo(const char* format, const Args&... args) {
    detail::logAt(INFO, 0, format, args...);
}
template <typename... Args>
inline void logWarning(const char* format, const Args&... args) {
    detail::logAt(WARNING, 0, format, args...);
}
template <typename... Args>
inline void logError(const char* format, const Args&... args) {
    detail::logAt(XERROR, 0, format, args...);
}
template <typename... Args>
inline void logTest(const char* format, const Args&... args) {
    detail::logAt(TEST, 0, format, args...);
}
template <typename... Args>
inline void logDestruct(const char* format, const Args&... args) {
    detail::logAt(DESTRUCT, 0, format, args...);
}

}  // namespace zor
