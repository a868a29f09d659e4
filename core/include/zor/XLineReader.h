#pragma once
/// \zclass{XLineReader,io} Walks a block of memory line by line without copying the block: each nextLine()
/// copies one line into the reader's own buffer (maxLineLength bytes, terminator included) and
/// returns it zero-terminated. A line feed ends a line, a carriage return directly before it is
/// dropped; a line longer than the buffer comes in several calls of maxLineLength - 1 bytes.
///
/// The end of the block is taken once, in setMemory(): the reader never looks past the length the
/// block had then, even if the block (a mapped file) reports a smaller length later.
///
/// Owns its line buffer; the memory is the caller's and must outlive the reader. One thread at a
/// time (nextLine uses the one buffer).
#include <zor/XUTF8_Detector.h>
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <cstddef>

namespace zor {

class AbstractMemory;

class ZOR_EXPORT XLineReader {
public:
    enum Flags : unsigned { SKIP_COMMENTS = 1u, SKIP_EMPTY = 2u };

    XLineReader();
    XLineReader(const AbstractMemory& mem, std::size_t maxLineLength);
    virtual ~XLineReader();
    XLineReader(const XLineReader&) = delete;
    XLineReader& operator=(const XLineReader&) = delete;

    /// A null mem is a fatal check; a block without bytes reads as empty. maxLineLength below 2 is
    /// raised to 2 (with an error line). Starts at the block's beginning.
    void setMemory(const AbstractMemory* mem, std::size_t maxLineLength);

    /// The next line (zero-terminated, in the reader's buffer, valid until the next call), or null
    /// at the end.
    const char* nextLine();

    bool setMaxLineLength(std::size_t sz);
    std::size_t getMaxLineLength() const { return maxLineLength; }
    void seekHome();
    /// Forgets the memory (the buffer stays): nothing is read until the next setMemory.
    void clear();

    /// Bytes [start, end) decoded as UTF-8; end is cut to length(). Empty (with a warning) when
    /// end <= start.
    QString midString(std::size_t start, std::size_t end) const;
    /// The detector over the first min(maxBytes, length()) bytes.
    XUTF8_Detector detect_UTF8(std::size_t maxBytes) const;

    std::size_t length() const { return static_cast<std::size_t>(pEnd - pMemBegin); }
    const AbstractMemory* getMemory() const { return memory; }
    const char* memBegin() const { return pMemBegin; }
    std::size_t posMemory() const { return static_cast<std::size_t>(pCurrent - pMemBegin); }
    bool isValid() const { return memory != nullptr && length() > 1; }
    bool isValidPos(std::size_t pos) const { return pos < length(); }

    /// Every line of a file, decoded as UTF-8, read with nextLine's rules; flags SKIP_EMPTY (2)
    /// drops empty lines, SKIP_COMMENTS (1) lines that begin with '#'. An empty list when the file
    /// cannot be mapped.
    static QStringList all_lines_from_file(const QString& name, unsigned flags, std::size_t maxLineLength);
    static QStringList all_lines_from_file(const QFileInfo& fi, unsigned flags, std::size_t maxLineLength);

protected:
    friend class XLineReaderDA;  ///< copies records into the line buffer (cStringAt)

    char* pLine = nullptr;
    const char* pMemBegin = nullptr;
    const char* pCurrent = nullptr;
    const char* pEnd = nullptr;
    const AbstractMemory* memory = nullptr;
    std::size_t maxLineLength = 0;
};

}  // namespace zor
