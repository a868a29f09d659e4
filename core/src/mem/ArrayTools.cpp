#include <zor/ArrayTools.h>

#include <zor/ClockFunctions.h>
#include <zor/Logger.h>
#include <zor/MD5.h>

#include <climits>
#include <cstring>
#include <random>

namespace zor {

namespace {

// The largest array Qt 5 can hold, with room to spare for its header.
constexpr std::size_t kMaxArray = static_cast<std::size_t>(INT_MAX) - 4096;

const char kHex[] = "0123456789ABCDEF";

// The indices a rendering shows: all n, or the first nBegin and the last nEnd with a cut between.
struct Shown {
    std::size_t n = 0;
    bool cut = false;
    std::size_t headEnd = 0;    // [0, headEnd) shown
    std::size_t tailBegin = 0;  // [tailBegin, n) shown
    Shown(std::size_t len, std::size_t nBegin, std::size_t nEnd) : n(len) {
        cut = nBegin < n && n - nBegin > nEnd;  // n > nBegin + nEnd without overflow
        headEnd = cut ? nBegin : n;
        tailBegin = cut ? n - nEnd : n;
    }
    // Calls f(index, isLastShown) for every shown byte and cutMark() once at the cut.
    template <typename F, typename C>
    void each(F f, C cutMark) const {
        const std::size_t last = cut ? (tailBegin < n ? n - 1 : (headEnd > 0 ? headEnd - 1 : n)) : (n > 0 ? n - 1 : 0);
        for (std::size_t i = 0; i < headEnd; ++i) f(i, i == last);
        if (cut) {
            cutMark();
            for (std::size_t i = tailBegin; i < n; ++i) f(i, i == last);
        }
    }
};

std::mt19937& generator() {
    static std::mt19937 gen;
    return gen;
}

}  // namespace

// ---- framing

std::size_t ArrayTools::stuffData(const unsigned char* src, std::size_t len, unsigned char* dst) {
    unsigned char* out = dst;
    const unsigned char* end = src + len;
    for (;;) {
        const std::size_t avail = static_cast<std::size_t>(end - src);
        const std::size_t limit = avail < 254 ? avail : 254;
        const void* zero = limit > 0 ? std::memchr(src, 0, limit) : nullptr;
        const std::size_t run = zero ? static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - src) : limit;
        *out = static_cast<unsigned char>(run + 1);
        if (run > 0) std::memcpy(out + 1, src, run);
        out += run + 1;
        src += run;
        if (zero != nullptr) {
            ++src;  // the zero is implied by the code byte; another block always follows
            continue;
        }
        if (run == 254) {
            // A full block implies no zero; at the end of the data an empty last block closes it.
            if (src == end) {
                *out++ = 0x01;
                break;
            }
            continue;
        }
        break;
    }
    return static_cast<std::size_t>(out - dst);
}

std::size_t ArrayTools::unStuffData(const unsigned char* src, std::size_t len, unsigned char* dst) {
    const unsigned char* end = src + len;
    unsigned char* out = dst;
    while (src < end) {
        const unsigned int code = *src++;
        if (code == 0) break;
        const std::size_t n = code - 1;
        const std::size_t avail = static_cast<std::size_t>(end - src);
        if (n > avail) {  // a block cut short: keep what is there
            if (avail > 0) std::memcpy(out, src, avail);
            out += avail;
            break;
        }
        if (n > 0) std::memcpy(out, src, n);
        out += n;
        src += n;
        // Every block but a full one implies a zero, unless it is the last one.
        if (code != 0xFF && src < end && *src != 0) *out++ = 0;
    }
    return static_cast<std::size_t>(out - dst);
}

int ArrayTools::stuffToQByteArray(const QByteArray& src, QByteArray& dst) {
    const std::size_t n = static_cast<std::size_t>(src.size());
    if (stuffedSize(n) > kMaxArray) {
        logError("ArrayTools::stuffToQByteArray, $ bytes are too many", static_cast<unsigned long long>(n));
        dst.clear();
        return 0;
    }
    dst.resize(static_cast<int>(stuffedSize(n)));
    const std::size_t k = stuffData(reinterpret_cast<const unsigned char*>(src.constData()), n,
                                    reinterpret_cast<unsigned char*>(dst.data()));
    dst.resize(static_cast<int>(k));
    return dst.size();
}

int ArrayTools::unStuffQData(const QByteArray& src, QByteArray& dst) {
    dst.resize(src.size());
    const std::size_t k = unStuffData(reinterpret_cast<const unsigned char*>(src.constData()),
                                      static_cast<std::size_t>(src.size()), reinterpret_cast<unsigned char*>(dst.data()));
    dst.resize(static_cast<int>(k));
    return dst.size();
}

QByteArray ArrayTools::frameQByteArray(const QByteArray& data) {
    const std::size_t n = static_cast<std::size_t>(data.size());
    if (stuffedSize(n) + 2 > kMaxArray) {
        logError("ArrayTools::frameQByteArray, $ bytes are too many for a frame", static_cast<unsigned long long>(n));
        return QByteArray();
    }
    QByteArray out(static_cast<int>(stuffedSize(n) + 2), Qt::Uninitialized);
    unsigned char* o = reinterpret_cast<unsigned char*>(out.data());
    o[0] = 0;
    const std::size_t k = stuffData(reinterpret_cast<const unsigned char*>(data.constData()), n, o + 1);
    o[k + 1] = 0;
    out.resize(static_cast<int>(k + 2));
    return out;
}

QByteArray ArrayTools::unFrameQByteArray(const QByteArray& framed) {
    if (framed.isEmpty()) {
        logWarning("ArrayTools::unFrameQByteArray, arSrcFramed.size() == 0");
        return QByteArray();
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(framed.constData());
    std::size_t n = static_cast<std::size_t>(framed.size());
    while (n > 0 && p[0] == 0) {
        ++p;
        --n;
    }
    while (n > 0 && p[n - 1] == 0) --n;
    QByteArray out(static_cast<int>(n), Qt::Uninitialized);
    unsigned char* o = reinterpret_cast<unsigned char*>(out.data());
    std::size_t k = 0;
    if (n > 0 && std::memchr(p, 0, n) != nullptr) {
        // Stray zero bytes inside the body: they are dropped before decoding.
        QByteArray clean;
        clean.reserve(static_cast<int>(n));
        for (std::size_t i = 0; i < n; ++i)
            if (p[i] != 0) clean.append(static_cast<char>(p[i]));
        k = unStuffData(reinterpret_cast<const unsigned char*>(clean.constData()), static_cast<std::size_t>(clean.size()), o);
    } else {
        k = unStuffData(p, n, o);
    }
    out.resize(static_cast<int>(k));
    return out;
}

QByteArray ArrayTools::frameQByteArray_MD5(const QByteArray& data) {
    QByteArray payload;
    payload.reserve(data.size() + 32);
    payload.append(data);
    payload.append(MD5::frameDigestText(data.constData(), static_cast<std::size_t>(data.size())));
    return frameQByteArray(payload);
}

bool ArrayTools::unFrameQByteArray_MD5(const QByteArray& framed, QByteArray& out) {
    const QByteArray payload = unFrameQByteArray(framed);
    if (payload.size() < 33) {
        logWarning("ArrayTools::unFrameQByteArray_MD5, payload too short, size:$", payload.size());
        return false;
    }
    const std::size_t dataLen = static_cast<std::size_t>(payload.size()) - 32;
    const QByteArray text = MD5::frameDigestText(payload.constData(), dataLen);
    if (std::memcmp(text.constData(), payload.constData() + dataLen, 32) != 0) {
        logError("ArrayTools::unFrameQByteArray_MD5, CHECKSUM problems");
        return false;
    }
    out.append(payload.constData(), static_cast<int>(dataLen));
    return true;
}

// ---- checksum byte, removal, counts

void ArrayTools::addChecksumByte(QByteArray& ar) {
    unsigned int sum = 0;
    for (char c : ar) sum += static_cast<unsigned char>(c);
    ar.append(static_cast<char>((256u - (sum & 0xFFu)) & 0xFFu));
}

QByteArray ArrayTools::arRemove(QByteArray& ar, int pos, int len) {
    if (len == 0) {
        logError("ArrayTools::arRemove, len == 0");
        return QByteArray();
    }
    if (len < 0) {
        logError("ArrayTools::arRemove, len:$ < 0", len);
        return QByteArray();
    }
    if (pos < 0 || pos >= ar.size()) {
        logError("ArrayTools::arRemove, posMemory:$, ar.size():$", pos, ar.size());
        return QByteArray();
    }
    if (static_cast<long long>(pos) + len > ar.size()) {
        logWarning("ArrayTools::arRemove, posMemory:$, len:$, ar.size():$, cut to the end", pos, len, ar.size());
        len = ar.size() - pos;
    }
    QByteArray removed = ar.mid(pos, len);
    ar.remove(pos, len);
    return removed;
}

bool ArrayTools::canRemove(const QByteArray& ar, int pos, int len) {
    if (len == 0) {
        logError("ArrayTools::arRemove, len == 0");
        return false;
    }
    if (len < 0 || pos < 0) return false;
    return pos < ar.size() && static_cast<long long>(pos) + len <= ar.size();
}

QByteArray ArrayTools::arRemoveAll(QByteArray& ar) {
    QByteArray all;
    all.swap(ar);
    return all;
}

int ArrayTools::countCharsOf(const QByteArray& ar, char c) { return ar.count(c); }

QByteArray ArrayTools::createQByteArrayABC(int n) {
    if (n <= 0) return QByteArray();
    QByteArray out(n, Qt::Uninitialized);
    for (int i = 0; i < n; ++i) out[i] = static_cast<char>('A' + i % 26);
    return out;
}

void ArrayTools::randomfillQByteArray(QByteArray& ar, int n, unsigned int min, unsigned int max) {
    if (n <= 0) return;
    if (min > max) std::swap(min, max);
    const unsigned long long range = static_cast<unsigned long long>(max) - min + 1;
    std::mt19937& gen = generator();
    ar.reserve(ar.size() + n);
    for (int i = 0; i < n; ++i) {
        const unsigned long long r = static_cast<unsigned long long>(gen() >> 1);
        ar.append(static_cast<char>(static_cast<unsigned char>(min + r % range)));
    }
}

QByteArray ArrayTools::randQByteArray(int n, unsigned int min, unsigned int max) {
    QByteArray out;
    randomfillQByteArray(out, n, min, max);
    return out;
}

// ---- renderings

QString ArrayTools::memToString(const char* p, std::size_t len, std::size_t nBegin, std::size_t nEnd, bool asc,
                                bool hex, bool md5, std::size_t maxLen, unsigned int groupSize,
                                const QString& groupSeparator) {
    if (p == nullptr) len = 0;
    const Shown shown(maxLen != 0 && maxLen < len ? maxLen : len, nBegin, nEnd);
    QString chars;
    QString hexView;
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    shown.each(
        [&](std::size_t i, bool last) {
            if (asc) chars.append(b[i] < 32 ? QLatin1Char('.') : QLatin1Char(static_cast<char>(b[i])));
            if (hex) {
                hexView.append(QLatin1Char(kHex[b[i] >> 4]));
                hexView.append(QLatin1Char(kHex[b[i] & 0xF]));
                if (!last) {
                    if (groupSize > 1 && (i + 1) % groupSize == 0) hexView.append(groupSeparator);
                    else hexView.append(QLatin1Char(' '));
                }
            }
        },
        [&] {
            chars.append(QLatin1String(" .. "));
            hexView.append(QLatin1String(" .. "));
        });
    QString out = QStringLiteral("[") + format1000(static_cast<long long>(shown.n)) + QStringLiteral("] = ");
    if (asc) out += QStringLiteral("{") + chars + QStringLiteral("} ");
    if (hex) out += QStringLiteral("HEX{") + hexView + QStringLiteral("} ");
    if (md5) {
        MD5 digest;
        if (len > 0) digest.updateLarge(p, len);
        out += QStringLiteral("MD5{") + digest.finalize().toString() + QStringLiteral("} ");
    }
    return out;
}

QString ArrayTools::qByteArrayToString(const QByteArray& ar, std::size_t nBegin, std::size_t nEnd, bool asc, bool hex,
                                       bool md5, std::size_t maxLen, unsigned int groupSize,
                                       const QString& groupSeparator) {
    return memToString(ar.constData(), static_cast<std::size_t>(ar.size()), nBegin, nEnd, asc, hex, md5, maxLen,
                       groupSize, groupSeparator);
}

QString ArrayTools::qByteArray_to_hex_string(const QByteArray& ar, std::size_t nBegin, std::size_t nEnd,
                                             std::size_t maxLen, unsigned int groupSize,
                                             const QString& groupSeparator) {
    std::size_t len = static_cast<std::size_t>(ar.size());
    const Shown shown(maxLen != 0 && maxLen < len ? maxLen : len, nBegin, nEnd);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(ar.constData());
    QString hexView;
    shown.each(
        [&](std::size_t i, bool last) {
            hexView.append(QLatin1Char(kHex[b[i] >> 4]));
            hexView.append(QLatin1Char(kHex[b[i] & 0xF]));
            if (!last) {
                if (groupSize > 1 && (i + 1) % groupSize == 0) hexView.append(groupSeparator);
                else hexView.append(QLatin1Char(' '));
            }
        },
        [&] { hexView.append(QLatin1String(" .. ")); });
    return hexView;
}

QString ArrayTools::showText(const char* p, std::size_t len, unsigned int flags, std::size_t nBegin, std::size_t nEnd) {
    if (p == nullptr) len = 0;
    const Shown shown(len, nBegin, nEnd);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(p);
    QString out = QStringLiteral("[") + format1000(static_cast<long long>(len)) + QStringLiteral("] = ");
    auto view = [&](const char* name, auto one, QLatin1Char sep) {
        QString v;
        shown.each(
            [&](std::size_t i, bool last) {
                one(v, b[i]);
                if (!last) v.append(sep);
            },
            [&] { v.append(QLatin1String(" .. ")); });
        out += QLatin1String(name) + QStringLiteral("{") + v + QStringLiteral("} ");
    };
    if (flags & SHOW_ASC)
        view("ASC", [](QString& v, unsigned char c) { v.append(c < 32 ? QLatin1Char('.') : QLatin1Char(static_cast<char>(c))); },
             QLatin1Char(' '));
    if (flags & SHOW_HEX)
        view("HEX",
             [](QString& v, unsigned char c) {
                 v.append(QLatin1Char(kHex[c >> 4]));
                 v.append(QLatin1Char(kHex[c & 0xF]));
             },
             QLatin1Char(' '));
    if (flags & SHOW_DEC)
        view("DEC",
             [](QString& v, unsigned char c) {
                 v.append(QLatin1Char(static_cast<char>('0' + c / 100)));
                 v.append(QLatin1Char(static_cast<char>('0' + c / 10 % 10)));
                 v.append(QLatin1Char(static_cast<char>('0' + c % 10)));
             },
             QLatin1Char(' '));
    if (flags & SHOW_BIN)
        view("BIN",
             [](QString& v, unsigned char c) {
                 for (int bit = 0; bit < 8; ++bit) v.append(QLatin1Char((c >> bit) & 1 ? '*' : '.'));
             },
             QLatin1Char('|'));
    if (flags & SHOW_MD5) {
        MD5 digest;
        if (len > 0) digest.updateLarge(p, len);
        out += QStringLiteral("MD5{") + digest.finalize().toString() + QStringLiteral("} ");
    }
    return out;
}

void ArrayTools::show(unsigned int level, unsigned int space, const QByteArray& ar, unsigned int flags,
                      std::size_t nBegin, std::size_t nEnd) {
    if (!Logger::acceptsLevel(level)) return;
    detail::logAt(level, space, "$", showText(ar.constData(), static_cast<std::size_t>(ar.size()), flags, nBegin, nEnd));
}

void ArrayTools::showQByteArray(unsigned int level, unsigned int space, const QByteArray& ar, std::size_t nBegin,
                                std::size_t nEnd) {
    if (!Logger::acceptsLevel(level)) return;
    detail::logAt(level, space, "$", qByteArrayToString(ar, nBegin, nEnd, true, true, false));
}

void ArrayTools::showArray(unsigned int level, unsigned int space, const void* p, std::size_t len, unsigned int flags,
                           std::size_t nBegin, std::size_t nEnd) {
    if (!Logger::acceptsLevel(level)) return;
    detail::logAt(level, space, "$", showText(static_cast<const char*>(p), len, flags, nBegin, nEnd));
}

void ArrayTools::show_array(unsigned int space, const void* p, std::size_t len) {
    showArray(DEBUG, space, p, len, SHOW_ASC | SHOW_HEX, 16, 16);
}

}  // namespace zor
