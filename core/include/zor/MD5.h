#pragma once
/// \zclass{MD5,hash} The RFC 1321 message digest, written for this library. Memory blocks, null devices, byte
/// arrays, compressed blocks and frames are all checked with it.
///
/// An object is open after construction: update() adds bytes, finalize() pads and closes it. Only a
/// finalised object compares equal or renders as hexadecimal; an open one renders as
/// "MD5-NOT-FINALIZED". Objects are plain values (copyable) used by one thread at a time.
///
/// Null buffers are programming errors and end the program (fatal check).
#include <zor/zor_export.h>

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

namespace zor {

class ZOR_EXPORT MD5 {
public:
    static constexpr unsigned int BLOCK_SIZE = 64;

    MD5();                                            ///< initial state, open
    MD5(const void* data, unsigned int len);          ///< digest of the data, finalised
    MD5(const unsigned char* data, unsigned int len); ///< digest of the data, finalised
    explicit MD5(const unsigned char* digest16);      ///< holds the given 16-byte digest, finalised
    explicit MD5(const QString& text);                ///< digest of the UTF-8 bytes, finalised

    void update(const unsigned char* data, unsigned int len);
    void update(const char* data, unsigned int len);
    void update(char c);
    /// Any length: the interface above takes 32-bit lengths, memory blocks may be larger.
    void updateLarge(const void* data, std::size_t len);
    void updateString(const char* text);   ///< the bytes up to the terminating zero
    void updateString(const QString& text);  ///< the UTF-8 bytes
    /// Adds a file's bytes, read in binary mode in blocks of 65,536 bytes; false when it cannot be
    /// opened or read.
    bool updateFile(const char* path);
    static bool addMD5FromFile(const char* path, MD5& md5);

    MD5& finalize();  ///< pads and closes; a second call changes nothing
    bool isFinalized() const { return m_finalized; }

    const unsigned char* getDigest() const { return m_digest; }  ///< 16 bytes, zero until finalised
    void setInvalid();  ///< finalised with an all-zero digest
    bool isZero() const;  ///< all 16 digest bytes are zero

    /// Equal when this object is finalised and both digests are the same.
    bool operator==(const MD5& other) const;
    bool operator!=(const MD5& other) const { return !(*this == other); }

    /// Two hex digits per byte ("%02X" when upper, else "%02x"), one space between bytes when
    /// spaced; "MD5-NOT-FINALIZED" while open.
    QString hexdigest(bool upper = true, bool spaced = false) const;
    QString toString() const;                    ///< 32 upper-case digits or "MD5-NOT-FINALIZED"
    QByteArray hexDigest(bool upper = true) const;  ///< the same as bytes

    static QString md5FromBuffer(const unsigned char* buffer, unsigned int len);  ///< 32 upper-case digits
    static QString md5FromString(const QString& text);                             ///< of the UTF-8 bytes
    static QString md5FromFile(const char* path);  ///< "MD5-NOT-FINALIZED" when the file cannot be read
    static MD5 md5_from_Buffer(const void* buffer, unsigned int len);
    static QByteArray md5_16(const QByteArray& data);  ///< the raw 16 digest bytes
    /// The frame digest text of the data: "%02X " for digest bytes 0 to 9, then "%02X" of byte 15
    /// (32 characters). Lower-case digits when upper is false.
    static QString md5FromQByteArray(const QByteArray& data, bool upper = true);
    static QByteArray frameDigestText(const void* data, std::size_t len);  ///< the same as Latin-1 bytes
    static QString bytes16AsHex(const char* digest16);  ///< 32 lower-case digits

private:
    void transform(const unsigned char* blocks, std::size_t count);

    bool m_finalized = false;
    unsigned char m_buffer[BLOCK_SIZE];
    std::uint32_t m_count[2];  // number of bits added, low word first
    std::uint32_t m_state[4];
    unsigned char m_digest[16];
};

}  // namespace zor
