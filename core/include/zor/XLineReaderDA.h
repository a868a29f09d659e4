#pragma once
/// \zclass{XLineReaderDA,io} Direct access to the lines of a mapped file (or of any memory block). The index
/// (one XLineInfo per line, or per piece of a line longer than maxLineLength) is built once; then
/// any line is served by index or by byte position, decoded from the mapping on request. The file
/// is never copied.
///
/// Over-long lines are cut, with wrapping, after the last word delimiter (XDelimiter::pDelimASCII)
/// or CJK punctuation mark before maxLineLength bytes, else before the last UTF-8 lead byte, so no
/// piece splits a character. Without wrapping they are cut every maxLineLength bytes. Binary
/// content (control bytes in the first 1024) is shown with '.' for every byte outside 32..127.
///
/// A mapped file that another process shortens would fault on pages past its new end. The reader
/// never reads past the length taken at mapping time, the index build re-reads the file's size
/// every 64 MiB and stops at a smaller one, and every access that decodes a line (lineAt,
/// cStringAt, midString, paragraphAt) checks the file's current size first and refuses records
/// past it. A truncation in the instant between that check and the copy can still fault: readers
/// who take getMemory() directly must check fileStillCovers() themselves.
///
/// Thread-safety: once the index is built, the const members may be called from several threads
/// (longest, isFile and isBinary are atomic). cStringAt and seekHome use the line reader's one
/// buffer and cursor and belong to one thread; opening, closing and re-indexing are not concurrent
/// with anything. Owns its mapping, reader and index; a memory block given to it stays the caller's.
#include <zor/XFileMapper.h>
#include <zor/XLineInfo.h>
#include <zor/XLineReader.h>
#include <zor/XUTF8_Detector.h>
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QString>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace zor {

class AbstractMemory;

class ZOR_EXPORT XLineReaderDA {
public:
    XLineReaderDA();
    XLineReaderDA(const AbstractMemory& mem, std::size_t maxLineLength, bool createIndex);
    virtual ~XLineReaderDA();
    XLineReaderDA(const XLineReaderDA&) = delete;
    XLineReaderDA& operator=(const XLineReaderDA&) = delete;

    bool openFile(const QString& name, std::size_t maxLineLength, bool createIndex);
    bool openFile(const QFileInfo& fi, std::size_t maxLineLength, bool createIndex);
    bool setMemory(const AbstractMemory& mem, std::size_t maxLineLength, bool createIndex = true);
    void closeFile();
    bool isOpen() const;

    /// A new index over the whole memory (from its start; the own index is not touched).
    std::vector<XLineInfo> createLineInfos(bool wrap);
    std::size_t create_internal_line_infos();  ///< rebuilds the own index with wrapping
    bool re_load(std::size_t maxLineLength);

    virtual QString lineAt(std::size_t index) const;
    virtual QString lineAt(const XLineInfo& li) const;
    virtual QString lineAtRamPos(std::uint64_t pos) const;
    virtual XLineInfo lineInfoAtRamPos(std::uint64_t pos) const;
    /// The entry's paragraph: the neighbouring entries up to the nearest empty lines, joined with
    /// line feeds (pieces of one file line without).
    virtual QString paragraphAt(std::size_t index) const;
    virtual QString midString(std::size_t start, std::size_t end) const;
    virtual std::size_t countLines() const { return arLines.size(); }
    virtual std::uint64_t countAllBytes() const;  ///< sum of lenTotal over the index
    virtual std::uint64_t longestLine() const;
    /// "not open (XLineReaderDA)" for a file no longer mapped, "file ???" without a file name (over
    /// a memory block), else "lines:$" or, withStats, "lines:$, bytesTotal:$, bytesInLines:$,
    /// longestLine:$".
    virtual QString toString(bool withStats) const;

    /// The record's bytes, zero-terminated, in the line reader's buffer (grown to fit); "" on error.
    const char* cStringAt(const XLineInfo& li);

    XLineInfo lineInfoAt(std::size_t index) const;  ///< an empty record when out of range
    const std::vector<XLineInfo>& lineInfos() const { return arLines; }
    /// The first index entry of file line `line`; -1 when there is none.
    long long file_to_screen(std::size_t line) const;
    /// The number of paragraphs: runs of entries that are not empty lines.
    std::size_t countParagraphs() const;

    const AbstractMemory* getMemory() const { return lineReader.getMemory(); }
    const char* memBegin() const { return lineReader.memBegin(); }
    std::size_t getMemorySize() const { return lineReader.length(); }
    bool isWrappedUTF8Extended() const { return wrappedUTF8Extended; }
    bool isBinaryContent() const { return isBinary.load(); }
    bool isFileBased() const { return isFile.load(); }
    std::size_t getMaxLineLength() const { return maxLineLen; }
    QString fileName() const { return sFileName; }
    /// Names a memory block given to setMemory (the file its bytes came from) for messages; a
    /// reader opened from a file keeps the file's name.
    void setSourceName(const QString& name) {
        if (!isFile.load()) sFileName = name;
    }
    void seekHome() { lineReader.seekHome(); }
    XUTF8_Detector detect_UTF8(std::size_t maxBytes) const;
    /// True when the bytes [0, end) still lie inside the file (always for a memory block).
    bool fileStillCovers(std::uint64_t end) const;

    /// The break sequences for wrapping: fifteen CJK punctuation marks, three UTF-8 bytes each.
    static const unsigned char breakSequences[15][3];
    /// Called by createLineInfos with (bytes done, bytes total) about every 64 MiB; may be null.
    using Progress = void (*)(std::uint64_t done, std::uint64_t total, void* user);
    void setProgress(Progress cb, void* user) {
        progress = cb;
        progressUser = user;
    }

private:
    // Refuses (with the log line) when already open; otherwise resets the index for a new source.
    bool begin(bool fromFile, const QString& name);
    bool attach(const AbstractMemory& mem, std::size_t maxLineLength, bool createIndex);
    std::size_t wrapPiece(const char* base, std::size_t pos);
    std::size_t fastLines(const char* base, std::size_t pos, std::size_t stop, std::vector<XLineInfo>& out, bool wrap);
    void reserveFor(std::vector<XLineInfo>& out, const char* base, std::size_t len) const;
    void checkBinary(std::size_t len);
    bool recordInside(const XLineInfo& li, const char* who, const char* whoB) const;
    QString decode(const char* p, std::size_t n) const;

    QString sFileName;
    XFileMapper fileMapper;
    XLineReader lineReader;
    std::vector<XLineInfo> arLines;
    std::size_t maxLineLen = 0;  // the line reader's buffer is grown only when cStringAt needs it
    mutable std::atomic<std::uint64_t> longest{0};
    std::atomic<bool> isFile{false};
    std::atomic<bool> isBinary{false};
    std::uint32_t counterFileLines = 0;
    std::int32_t counterPieces = 0;
    bool wrappedUTF8Extended = false;
    Progress progress = nullptr;
    void* progressUser = nullptr;
};

}  // namespace zor
