#include <zor/XByteArray.h>

#include <zor/ClockFunctions.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/MD5.h>
#include <zor/ZorErrorCodes.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace zor {

namespace {

constexpr const char* kSource = "libSrc/core/src/tools/xmem/XByteArray";
constexpr std::size_t kMaxArray = static_cast<std::size_t>(INT_MAX) - 4096;
constexpr int kDigestLen = 16;
// deflate cannot expand data by more than about 1032:1; a stated length beyond this bound is a
// damaged (or hostile) block, refused before anything is allocated for it.
constexpr unsigned long long kMaxInflateRatio = 1040;

std::size_t textLength(const QByteArray& a) {
    const void* z = a.isEmpty() ? nullptr : std::memchr(a.constData(), 0, static_cast<std::size_t>(a.size()));
    return z ? static_cast<std::size_t>(static_cast<const char*>(z) - a.constData()) : static_cast<std::size_t>(a.size());
}

}  // namespace

XByteArray::XByteArray(const QByteArray& other) : QByteArray(other) {}
XByteArray::XByteArray(QByteArray&& other) noexcept : QByteArray(std::move(other)) {}
XByteArray::XByteArray(const XByteArray& other) : AbstractMemory(other), QByteArray(other) {}
XByteArray::XByteArray(XByteArray&& other) noexcept : AbstractMemory(other), QByteArray(std::move(other)) {}
XByteArray::XByteArray(int size, char c) : QByteArray(size, c) {}
XByteArray::XByteArray(const char* data, int size) : QByteArray(data, size) {}
XByteArray::~XByteArray() = default;

XByteArray& XByteArray::operator=(const XByteArray& other) {
    AbstractMemory::operator=(other);
    QByteArray::operator=(other);
    return *this;
}

XByteArray& XByteArray::operator=(XByteArray&& other) noexcept {
    AbstractMemory::operator=(other);
    QByteArray::operator=(std::move(other));
    return *this;
}

XByteArray& XByteArray::operator=(const QByteArray& other) {
    QByteArray::operator=(other);
    return *this;
}

XByteArray& XByteArray::operator=(QByteArray&& other) noexcept {
    QByteArray::operator=(std::move(other));
    return *this;
}

XByteArray XByteArray::fromMem(const char* p, std::size_t sz) {
    XByteArray a;
    a.setMemory(p, sz);
    return a;
}

bool XByteArray::setMemory(const void* p, std::size_t sz) {
    if (p == nullptr) nullPointerHandling(kSource, 70, QStringLiteral("pMem == NULL"));
    if (sz > kMaxArray) {
        logError("XByteArray::setMemory, sz:$ is too big for an array", static_cast<unsigned long long>(sz));
        return false;
    }
    QByteArray::operator=(QByteArray(static_cast<const char*>(p), static_cast<int>(sz)));
    return true;
}

bool XByteArray::operator==(const QByteArray& other) const {
    if (constData() == nullptr) nullPointerHandling(kSource, 81, QStringLiteral("pMem == NULL"));
    if (other.constData() == nullptr) nullPointerHandling(kSource, 82, QStringLiteral("pMem2 == NULL"));
    return size() == other.size() && std::memcmp(constData(), other.constData(), static_cast<std::size_t>(size())) == 0;
}

XByteArray& XByteArray::operator+=(const QString& s) {
    append(s.toUtf8());
    return *this;
}

XByteArray& XByteArray::appendStdString(const std::string& s) {
    append(s.data(), static_cast<int>(s.size()));
    return *this;
}

void XByteArray::writeUInt8(std::uint8_t v) { append(static_cast<char>(v)); }

void XByteArray::writeUInt16(std::uint16_t v) {
    const char b[2] = {static_cast<char>(v >> 8), static_cast<char>(v)};
    append(b, 2);
}

void XByteArray::writeUInt32(std::uint32_t v) {
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
                       static_cast<char>(v)};
    append(b, 4);
}

std::uint16_t XByteArray::readUInt16() const {
    if (size() < 2) {
        logError("XByteArray::readUInt16, size:$ < 2", size());
        return 0;
    }
    const unsigned char* b = reinterpret_cast<const unsigned char*>(constData());
    return static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}

std::uint32_t XByteArray::readUInt32() const {
    if (size() < 4) {
        logError("XByteArray::readUInt32, size:$ < 4", size());
        return 0;
    }
    const unsigned char* b = reinterpret_cast<const unsigned char*>(constData());
    return (static_cast<std::uint32_t>(b[0]) << 24) | (static_cast<std::uint32_t>(b[1]) << 16) |
           (static_cast<std::uint32_t>(b[2]) << 8) | b[3];
}

void XByteArray::writePadBytes(int n) {
    if (n > 0) append(QByteArray(n, '\0'));
}

void XByteArray::writeQStringUTF8(const QString& s, bool newLine) {
    append(s.toUtf8());
    if (newLine) append('\n');
}

XByteArray XByteArray::fromStringLines(const QStringList& lines, bool crlf) {
    XByteArray out;
    for (const QString& line : lines) {
        out.append(line.toUtf8());
        if (crlf) out.append('\r');
        out.append('\n');
    }
    return out;
}

XByteArray XByteArray::from_QString_UTF8(const QString& s) { return XByteArray(s.toUtf8()); }

QString XByteArray::toQString() const { return QString::fromLatin1(constData(), static_cast<int>(textLength(*this))); }

std::string XByteArray::toStdString() const { return std::string(constData(), textLength(*this)); }

std::string XByteArray::substr(std::size_t pos, std::size_t len) const {
    const std::size_t n = static_cast<std::size_t>(size());
    if (pos >= n) return std::string();
    if (len > n - pos) len = n - pos;
    return std::string(constData() + pos, len);
}

std::size_t XByteArray::find(const QString& s) const { return toStdString().find(s.toUtf8().toStdString()); }

std::size_t XByteArray::rfind(const QString& s) const { return toStdString().rfind(s.toUtf8().toStdString()); }

std::size_t XByteArray::find_first_not_of(const QString& s) const {
    return toStdString().find_first_not_of(s.toUtf8().toStdString());
}

QList<XByteArray> XByteArray::splitX(const QString& delimiters) const {
    // The text (bytes up to the first zero, as Latin-1) and the delimiters are compared as UTF-8
    // bytes; every delimiter byte cuts, runs of them give no empty tokens.
    const QByteArray text = QString::fromLatin1(constData(), static_cast<int>(textLength(*this))).toUtf8();
    const QByteArray delims = delimiters.toUtf8();
    bool isDelim[256] = {};
    for (char c : delims) isDelim[static_cast<unsigned char>(c)] = true;
    QList<XByteArray> tokens;
    int start = -1;
    for (int i = 0; i <= text.size(); ++i) {
        const bool cut = i == text.size() || isDelim[static_cast<unsigned char>(text[i])];
        if (cut) {
            if (start >= 0) tokens.append(XByteArray(QString::fromUtf8(text.constData() + start, i - start).toUtf8()));
            start = -1;
        } else if (start < 0) {
            start = i;
        }
    }
    return tokens;
}

QString XByteArray::md5String() const { return MD5::md5FromQByteArray(*this, true); }

XByteArray XByteArray::compress(const QByteArray& src) {
    const QByteArray c = qCompress(src);
    XByteArray out;
    out.reserve(c.size() + kDigestLen);
    out.append(MD5::md5_16(c));
    out.append(c);
    return out;
}

XByteArray XByteArray::unCompress(const QByteArray& src) {
    if (src.size() < kDigestLen) {
        logError("XByteArray::unCompress, CHECKSUM-ERROR, return empty array!");
        return XByteArray();
    }
    const char* body = src.constData() + kDigestLen;
    const int bodyLen = src.size() - kDigestLen;
    const MD5 computed(body, static_cast<unsigned int>(bodyLen));
    if (std::memcmp(computed.getDigest(), src.constData(), kDigestLen) != 0) {
        logError("XByteArray::unCompress, CHECKSUM-ERROR, return empty array!");
        return XByteArray();
    }
    if (bodyLen < 4) {
        logError("XByteArray::unCompress, block of $ bytes holds no length, return empty array!", src.size());
        return XByteArray();
    }
    const unsigned char* b = reinterpret_cast<const unsigned char*>(body);
    const unsigned long long expected = (static_cast<unsigned long long>(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
    if (expected == 0 && bodyLen == 4) return XByteArray();  // the block of an empty array
    if (expected > static_cast<unsigned long long>(bodyLen - 4) * kMaxInflateRatio + 1024 || expected > kMaxArray) {
        logError("XByteArray::unCompress, length $ cannot come from $ compressed bytes, return empty array!", expected,
                 bodyLen - 4);
        return XByteArray();
    }
    XByteArray out(qUncompress(b, bodyLen));
    if (out.isEmpty() && expected != 0) {
        logError("XByteArray::unCompress, corrupted zlib stream, return empty array!");
        return XByteArray();
    }
    return out;
}

}  // namespace zor
