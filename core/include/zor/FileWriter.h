#pragma once
/// \zclass{FileWriter,io} A binary file written sequentially through the C runtime's buffered streams
/// (truncated on open, the name passed in Latin-1; a name outside it is refused), in the encodings
/// FileReader reads; a string is written as its Latin-1 bytes without a terminator. When nothing of
/// a write can be written the file is closed. Writing to a writer that is not open, or from a null
/// pointer, is a fatal check. Small writes gather in a 64 KiB buffer of the writer (under the same
/// mutex) before they reach the stream, so a failing disk shows when the buffer is handed on or at
/// close. Every use of the stream holds the mutex of XAbstractFile; the destructor closes the file.
///
/// Whole memory blocks into files: XMem::saveToFile, saveMem and XByteArray::saveToFile are defined
/// in this layer over one writing path of this class, with the name in the file system's encoding
/// (as QFile passes it, and as the blocks' loadFromFile reads it back). A refused request leaves an
/// existing file untouched. The memory headers give the failure lines and codes.
#include <zor/AbstractWriter.h>
#include <zor/XAbstractFile.h>
#include <zor/XByteArray.h>
#include <zor/XMem.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <memory>

namespace zor {

class ZOR_EXPORT FileWriter : public XAbstractFile, public AbstractWriter {
public:
    FileWriter() = default;
    ~FileWriter() override;

    bool open(const QString& name) override;  ///< false (with an error line) when it cannot be created
    using XAbstractFile::isOpen;
    void close() override { flushAndClose(); }
    bool flushAndClose();  ///< false when the buffered bytes could not be written
    long long tell() override;

    std::size_t write(const char* values, std::size_t n) override;
    std::size_t write(const QByteArray& bytes);
    bool writeChar(char v);
    bool writeShort(short v);
    bool writeInt(int v);
    bool writeUINT(unsigned int v) override;
    bool writeLONG(long long v) override;
    bool writeULONG(unsigned long long v);
    bool writeFloat(float v);
    bool writeDouble(double v);
    bool writeBool(bool v) override;
    bool writeString(const QString& s) override;
    bool writeLineAscii(const QString& s);  ///< Latin-1 bytes and a line feed

    /// The same as the blocks' own members (mem.saveToFile(name, szPart) and so on).
    static bool saveToFile(XMem& mem, const QString& name, std::size_t szPart = 0);
    static bool saveMem(XMem& mem, const QString& name);
    static bool saveToFile(XByteArray& array, const QString& name, std::size_t szPart = 0);

private:
    friend class XByteArray;
    friend class XMem;

    static constexpr std::size_t kBufferSize = 64 * 1024;
    // A file that cannot be created sets its errno when openFailureKeepsErrno, else code 100; a
    // short or failed write sets errno (code 100 when the system gave none) and gives false.
    static bool writeWholeFile(AbstractMemory& block, const char* who, const QString& name, const char* data,
                               std::size_t size, std::size_t szPart, bool openFailureKeepsErrno);
    bool openLocked(const QByteArray& nativeName);  // no log line; errno tells why it failed
    template <typename T>
    bool writeValue(T v);
    bool flushBufferLocked();  // false (and the file closed) when the stream refused the bytes
    void closeAfterFailedWriteLocked();

    std::unique_ptr<char[]> m_buf;  // allocated by the first open
    std::size_t m_used = 0;
};

}  // namespace zor
