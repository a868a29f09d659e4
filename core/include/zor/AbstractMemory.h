#pragma once
/// \zclass{AbstractMemory,mem} One view of every block of raw bytes in the library (owned blocks, byte arrays,
/// mapped files, wrapped memory): a pointer, a length, and the operations that work on any block:
/// filling, character access, the MD5 digest, comparison by digest, text renderings and copies.
///
/// Every block carries an XError (the state of its last failing operation). Failures are logged and
/// reported by the result; null pointers handed in where bytes are required are reported, not
/// followed. Not thread-safe: a block belongs to one thread at a time. The debug switch is atomic.
#include <zor/MD5.h>
#include <zor/XAtomic.h>
#include <zor/XError.h>
#include <zor/zor_export.h>

#include <QString>
#include <cstddef>
#include <string>

class QBuffer;

namespace zor {

class XByteArray;

class ZOR_EXPORT AbstractMemory : public XError {
public:
    AbstractMemory() = default;
    AbstractMemory(const AbstractMemory&) = default;
    AbstractMemory& operator=(const AbstractMemory&) = default;
    ~AbstractMemory() override;

    virtual const char* mem() const = 0;
    virtual char* mem() = 0;
    virtual std::size_t length() const = 0;
    virtual XByteArray createByteArray() = 0;

    /// Copies sz bytes to the front of the block; the block never grows here: false when
    /// sz > length() or pMem is null.
    virtual bool setMem(const void* pMem, std::size_t sz);
    /// setMem of the characters of s, with its terminating zero when withTerminator is set.
    virtual bool setString(const char* s, bool withTerminator);
    virtual bool setQString(const QString& s);  ///< Latin-1 bytes with terminator
    virtual void fill(char c);
    virtual void fillPattern(const QString& pattern);  ///< Latin-1 characters, cyclically
    /// The byte at pos as a signed char widened to int; -1 without memory, 0 when empty or out of
    /// range (each with an error line).
    virtual int charAt(unsigned int pos) const;
    /// The finalised digest of all length() bytes; an open (default) MD5 without memory or when empty.
    virtual MD5 createMD5() const;
    virtual void show(unsigned int space) const;  ///< logs toString(5, 5, false, true, false) at DEBUG
    /// The rendering of ArrayTools::qByteArrayToString; a short text in place of it when the error
    /// state is set, without memory, or when empty.
    virtual QString toString(std::size_t nBegin, std::size_t nEnd, bool asc, bool hex, bool md5) const;
    virtual std::string toStdString(std::size_t nBegin, std::size_t nEnd, bool asc, bool hex, bool md5) const;
    /// A copy of the bytes from the global operator new (not the array form): the caller owns it and
    /// releases it with the global operator delete. Null without memory, when empty or out of memory.
    virtual const char* memCopy() const;
    virtual char* memCopy();
    virtual bool writeToQBuffer(QBuffer& buffer) const;  ///< the buffer's data becomes a copy

    bool isValid() const { return mem() != nullptr; }
    operator const char*() const { return mem(); }
    bool hasSameContents(const AbstractMemory& other) const;  ///< equal MD5 digests
    QString toString_MD5() const;
    QString toString_Hex_MD5(std::size_t nBegin, std::size_t nEnd) const;
    QString toString_ASC_Hex_MD5(std::size_t nBegin, std::size_t nEnd) const;

    static void setDebug(bool on);
    static bool isDebug();

private:
    static XAtomic<bool> atomicFlagDebug;
};

}  // namespace zor
