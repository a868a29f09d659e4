#pragma once
/// \zclass{XByteArray,mem} The library's byte string, a QByteArray that is also an AbstractMemory, so that
/// digests, renderings, comparisons and copies work on it like on any memory block. It adds
/// big-endian integer writing, UTF-8 text helpers, whole-file load and save, and the compressed
/// block:
/// \code
///   offset 0, 16 bytes: the MD5 digest of the bytes from offset 16 to the end
///   offset 16:          qCompress output (4-byte big-endian length, then a zlib stream)
/// \endcode
/// unCompress checks the digest before it inflates anything and refuses lengths that no zlib
/// stream of that size can produce; a damaged block gives an empty array and one error line.
///
/// The file members are defined in the file layer (io), over the same paths as XMem's (names
/// beginning with ':' are Qt resources). Failures give false and one log line; the error word gets
/// a library code or the system's errno:
/// \code a missing disk file: DEBUG "XMem::loadFromFile, file '$' does not exist", no code;
///   a file that cannot be opened: "XMem::loadFromFile, cannot open file '$' for reading" (for a
///       resource "XMem::loadFromFile, INTERNAL, cannot open file '$' for reading", code 100), the
///       system's errno;
///   an empty disk file: "XMem::loadFromFile, cannot open file '$' for reading, file is empty - 0
///       bytes", code 100 (an empty resource: false, no code);
///   a part longer than the file, or a file longer than an array holds: code 170;
///   saving: "XMem::saveToFile, cannot open file '$' for writing" (a missing directory), code 100;
///       fewer bytes written: "XByteArray::saveToFile, problems saving '$', ret:$, szToWrite:$",
///       the system's errno; a part longer than the array: code 140, the file left as it was.
/// \endcode
/// A value type: copying copies the bytes (implicitly shared, as QByteArray). One thread at a time.
#include <zor/AbstractMemory.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <string>

namespace zor {

class ZOR_EXPORT XByteArray : public AbstractMemory, public QByteArray {
public:
    XByteArray() = default;
    XByteArray(const QByteArray& other);  ///< NOLINT: implicit on purpose, arrays convert freely
    XByteArray(QByteArray&& other) noexcept;
    XByteArray(const XByteArray& other);
    XByteArray(XByteArray&& other) noexcept;
    XByteArray(int size, char c);
    XByteArray(const char* data, int size);
    ~XByteArray() override;

    XByteArray& operator=(const XByteArray& other);
    XByteArray& operator=(XByteArray&& other) noexcept;
    XByteArray& operator=(const QByteArray& other);
    XByteArray& operator=(QByteArray&& other) noexcept;

    static XByteArray fromMem(const char* p, std::size_t sz);
    /// The array becomes a copy of the sz bytes (null p is a fatal check); false when sz is too big
    /// for an array.
    bool setMemory(const void* p, std::size_t sz);

    const char* mem() const override { return constData(); }
    char* mem() override { return data(); }
    std::size_t length() const override { return static_cast<std::size_t>(size()); }
    XByteArray createByteArray() override { return *this; }
    void fill(char c) override { QByteArray::fill(c); }

    /// Equal sizes and equal bytes. Taking QByteArray serves both array types unambiguously.
    bool operator==(const QByteArray& other) const;
    bool operator!=(const QByteArray& other) const { return !(*this == other); }
    explicit operator bool() const { return size() > 0 && isOK(); }
    operator const char*() const { return constData(); }
    bool empty() const { return size() < 1; }

    void erase(int pos, int len) { remove(pos, len); }
    XByteArray& operator+=(const std::string& s) { return appendStdString(s); }
    XByteArray& operator+=(const QString& s);
    XByteArray& appendStdString(const std::string& s);

    void writeUInt8(std::uint8_t v);
    void writeUInt16(std::uint16_t v);  ///< most significant byte first
    void writeUInt32(std::uint32_t v);  ///< most significant byte first
    /// The first 2 / 4 bytes as a big-endian value, nothing consumed; 0 (with an error line) when
    /// the array is shorter.
    std::uint16_t readUInt16() const;
    std::uint32_t readUInt32() const;
    void writePadByte() { append('\0'); }
    void writePadBytes(int n);
    void writeQStringUTF8(const QString& s, bool newLine);

    static XByteArray fromStringLines(const QStringList& lines, bool crlf);
    static XByteArray from_QString_UTF8(const QString& s);

    /// Text views over the bytes up to the first 0x00.
    QString toQString() const;  ///< Latin-1
    using AbstractMemory::toStdString;
    std::string toStdString() const;
    std::string substr(std::size_t pos, std::size_t len) const;  ///< cut to the bytes that exist
    std::size_t find(const QString& s) const;     ///< std::string::npos when not found
    std::size_t rfind(const QString& s) const;
    std::size_t find_first_not_of(const QString& s) const;
    /// Split at any of the delimiter characters; runs of delimiters give no empty tokens.
    QList<XByteArray> splitX(const QString& delimiters) const;

    QString md5String() const;  ///< the frame digest text of the bytes

    /// The array (szPart 0) or its first szPart bytes; logs "XByteArray::saveToFile,  '$'  - bytes:$"
    /// at DEBUG first. An empty array writes an empty file.
    bool saveToFile(const QString& name, std::size_t szPart = 0);
    /// The file (szPart 0) or its first szPart bytes; true when bytes were read.
    bool loadFromFile(const QString& name, std::size_t szPart = 0);
    static XByteArray load(const QString& name);  ///< loadFromFile(name); empty on failure

    static XByteArray compress(const QByteArray& src);
    static XByteArray unCompress(const QByteArray& src);
};

}  // namespace zor
