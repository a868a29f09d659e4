#pragma once
/// \zfile{global} xformat, the library's one text-building rule. Each '$' of the format takes the next
/// argument; arguments left over when the format ends are ignored; once the arguments are used up the
/// rest of the format is copied verbatim (every further '$' stays). There is no escape for '$'.
///
/// Renderings are exactly those of a QTextStream with UTF-8 codec and fixed notation at the default
/// precision: bool as "true"/"false", const char* as Latin-1 ("nullptr" for a null pointer), char and
/// QChar as one character, integers in plain decimal, float and double with six decimals, QString as
/// it is, QByteArray decoded from UTF-8. Other types use their QTextStream operator<<.
///
/// The text is built without a stream (one allocation for the result); the rare inputs in which the
/// stream's UTF-8 round trip changes the text (lone surrogates, a leading byte-order mark) and the
/// doubles outside the exact fast range are handed to a real QTextStream, so every output is the
/// stream's. Thread-safe and re-entrant: each call uses its own buffer.
#include <zor/zor_export.h>

#include <QByteArray>
#include <QChar>
#include <QLatin1String>
#include <QString>
#include <QStringRef>
#include <QStringView>
#include <QTextStream>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace zor {
namespace detail {

// A growable UTF-16 buffer: short texts stay on the stack, the result costs one allocation.
class ZOR_EXPORT FormatBuffer {
public:
    FormatBuffer() noexcept : m_data(m_local) {}
    ~FormatBuffer() {
        if (m_data != m_local) std::free(m_data);
    }
    FormatBuffer(const FormatBuffer&) = delete;
    FormatBuffer& operator=(const FormatBuffer&) = delete;

    // Copies the format up to the next '$' and returns the position after it, or nullptr at its end.
    const char* putUntilDollar(const char* format);
    // Copies a zero-terminated text verbatim, '$' included.
    void putRest(const char* text);
    void putLatin1(const char* s, std::size_t n) {
        char16_t* d = tail(n);
        for (std::size_t i = 0; i < n; ++i) d[i] = static_cast<unsigned char>(s[i]);
        m_size += n;
    }
    void putCString(const char* s) {
        if (s == nullptr) putLatin1("nullptr", 7);
        else putLatin1(s, std::strlen(s));
    }
    void putChar(char16_t c) {
        if (c >= 0xD800 && c < 0xE000) m_special = true;
        *tail(1) = c;
        ++m_size;
    }
    void putUtf16(const QChar* s, std::size_t n);
    void putString(const QString& s) { putUtf16(s.constData(), static_cast<std::size_t>(s.size())); }
    void putUtf8(const QByteArray& a) { putString(QString::fromUtf8(a)); }
    void putBool(bool b) {
        if (b) putLatin1("true", 4);
        else putLatin1("false", 5);
    }
    void putInt(long long v);
    void putUInt(unsigned long long v);
    void putDouble(double v);

    QString take();

private:
    char16_t* tail(std::size_t n) {
        if (m_size + n > m_cap) grow(n);
        return m_data + m_size;
    }
    void grow(std::size_t n);

    static constexpr std::size_t kLocal = 240;
    char16_t* m_data;
    std::size_t m_size = 0;
    std::size_t m_cap = kLocal;
    bool m_special = false;  // a surrogate was written: the stream's UTF-8 round trip may alter it
    char16_t m_local[kLocal];
};

template <typename T>
struct IsCharArray : std::false_type {};
template <std::size_t N>
struct IsCharArray<char[N]> : std::true_type {};
template <std::size_t N>
struct IsCharArray<const char[N]> : std::true_type {};

// Any type without a rendering of its own: its QTextStream operator, with the library's settings.
template <typename T>
QString streamedText(const T& v) {
    QString tmp;
    {
        QTextStream ts(&tmp, QIODevice::WriteOnly);
        ts.setRealNumberNotation(QTextStream::FixedNotation);
        ts << v;
    }
    return tmp;
}
template <typename T>
void putStreamed(FormatBuffer& b, const T& v) {
    b.putString(streamedText(v));
}

template <typename T>
inline void putArg(FormatBuffer& b, const T& v) {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_same_v<U, bool>) {
        b.putBool(v);
    } else if constexpr (std::is_same_v<U, char>) {
        b.putChar(static_cast<unsigned char>(v));
    } else if constexpr (std::is_same_v<U, QChar>) {
        b.putChar(v.unicode());
    } else if constexpr (std::is_integral_v<U>) {
        // signed/unsigned char, char16_t and wchar_t promote to int in QTextStream: numbers
        if constexpr (std::is_signed_v<U> || sizeof(U) < sizeof(int)) b.putInt(static_cast<long long>(v));
        else b.putUInt(static_cast<unsigned long long>(v));
    } else if constexpr (std::is_enum_v<U> && std::is_convertible_v<U, long long>) {
        b.putInt(static_cast<long long>(v));
    } else if constexpr (std::is_floating_point_v<U>) {
        b.putDouble(static_cast<double>(v));
    } else if constexpr (std::is_same_v<U, const char*> || std::is_same_v<U, char*> ||
                         std::is_same_v<U, std::nullptr_t>) {
        b.putCString(v);
    } else if constexpr (IsCharArray<U>::value) {
        b.putCString(v);
    } else if constexpr (std::is_same_v<U, QString>) {
        b.putString(v);
    } else if constexpr (std::is_same_v<U, QLatin1String>) {
        b.putLatin1(v.data(), static_cast<std::size_t>(v.size()));
    } else if constexpr (std::is_same_v<U, QStringRef> || std::is_same_v<U, QStringView>) {
        b.putUtf16(v.data() ? reinterpret_cast<const QChar*>(v.data()) : nullptr, static_cast<std::size_t>(v.size()));
    } else if constexpr (std::is_same_v<U, QByteArray>) {
        b.putUtf8(v);
    } else {
        putStreamed(b, v);
    }
}

inline void formatArgs(FormatBuffer& b, const char* format) { b.putRest(format); }

template <typename A, typename... Rest>
inline void formatArgs(FormatBuffer& b, const char* format, const A& a, const Rest&... rest) {
    format = b.putUntilDollar(format);
    if (format == nullptr) return;  // the format ended: remaining arguments are ignored
    putArg(b, a);
    formatArgs(b, format, rest...);
}

}  // namespace detail

template <typename... Args>
QString xformat(const char* format, const Args&... args) {
    if (format == nullptr) return QString();
    detail::FormatBuffer b;
    detail::formatArgs(b, format, args...);
    return b.take();
}

}  // namespace zor
