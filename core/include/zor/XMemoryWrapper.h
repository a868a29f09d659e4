#pragma once
/// \zclass{XMemoryWrapper,mem} A QIODevice over a fixed block of memory that it does not own. Reads and writes
/// move a position from 0 to the block's size; reading at the end is an EOF (-1), a write that does
/// not fit is refused whole (-1): the block never grows and nothing is written past it. The device
/// is always unbuffered, so the position is the caller's.
///
/// The wrapped memory must outlive the wrapper; the destructor frees nothing. Renderings, digests
/// and byte-array copies cover the part read or written so far (the first pos() bytes).
/// One thread at a time; the debug switch is atomic.
#include <zor/AbstractMemory.h>
#include <zor/XAtomic.h>
#include <zor/XByteArray.h>
#include <zor/zor_export.h>

#include <QIODevice>
#include <QString>
#include <cstddef>

namespace zor {

class XMem;

class ZOR_EXPORT XMemoryWrapper : public QIODevice, public AbstractMemory {
public:
    XMemoryWrapper();  ///< wraps nothing, not open
    XMemoryWrapper(void* mem, std::size_t sz, QIODevice::OpenMode mode);  ///< null mem is a fatal check
    XMemoryWrapper(XByteArray& array, QIODevice::OpenMode mode);
    XMemoryWrapper(XMem& mem, QIODevice::OpenMode mode);  ///< a block without storage: not opened
    /// Take the wrapped block (the source must wrap one, fatal check) and leave the source empty;
    /// the new wrapper is not open.
    XMemoryWrapper(XMemoryWrapper&& other);
    XMemoryWrapper& operator=(XMemoryWrapper&& other);
    ~XMemoryWrapper() override;

    bool open(QIODevice::OpenMode mode) override;  ///< always with Unbuffered
    qint64 size() const override { return static_cast<qint64>(m_size); }
    std::size_t length() const override { return m_size; }
    qint64 pos() const override { return static_cast<qint64>(pCurrent - pMem); }
    bool seek(qint64 p) override;   ///< 0 .. size(); false when not open or outside
    bool reset() override;          ///< back to 0; false when not open
    bool atEnd() const override;
    qint64 bytesAvailable() const override;

    const char* mem() const override;  ///< null is a fatal check
    char* mem() override;
    void fill(char c) override;
    void fillPattern(const QString& pattern) override;
    XByteArray createByteArray() override;  ///< a copy of the first pos() bytes
    MD5 createMD5() const override;         ///< the digest of the first pos() bytes
    QString toString(std::size_t nBegin, std::size_t nEnd, bool asc, bool hex, bool md5) const override;

    QString readString();  ///< all remaining bytes, from UTF-8
    bool writeString(const QString& s);  ///< the UTF-8 bytes; false when they do not fit

    static void setDebug(bool on);
    static bool isDebug();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 n) override;
    std::size_t restSize() const { return m_size - static_cast<std::size_t>(pCurrent - pMem); }

private:
    void openWith(QIODevice::OpenMode mode);

    char* pMem = nullptr;      // start of the wrapped block, not owned
    char* pCurrent = nullptr;  // current position inside it
    std::size_t m_size = 0;

    static XAtomic<bool> atomicFlagDebug;
};

}  // namespace zor
