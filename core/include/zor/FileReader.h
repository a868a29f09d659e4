#pragma once
/// \zclass{FileReader,io} A binary file read sequentially through the C runtime's buffered streams, in native
/// byte order (char and bool 1 byte, short 2, int 4, LONG 8, float 4, double 8; a bool is true only
/// for the byte 1; a string is the bytes up to a zero byte, as Latin-1). The file's length is taken
/// when it is opened. File names are passed to the C runtime in Latin-1; a name outside Latin-1 is
/// refused (it would name another file).
///
/// A failed read (end of file, a read error, an empty request, a closed stream) logs at DEBUG, pauses
/// the calling thread (5 s by default, see setFailurePause) and gives 0; the end of the file and read
/// errors close the stream. The line readers set the eof flag instead. Every use of the stream holds
/// the mutex of XAbstractFile.
///
/// Whole files into memory blocks: XMem::loadFromFile, loadFromFileAsString, loadMem and
/// XByteArray::loadFromFile, load are defined in this layer over one reading path of this class
/// (the memory headers declare them and include no file header). Disk files are opened with the
/// name in the file system's encoding (as QFile passes it, so every name QFile opens works), names
/// beginning with ':' (Qt resources) through QFile; the path never pauses. The entries differ only
/// in their failure lines and codes, which the memory headers give. A file longer than the block
/// can hold is refused before anything is allocated.
#include <zor/AbstractReader.h>
#include <zor/XAbstractFile.h>
#include <zor/XByteArray.h>
#include <zor/XMem.h>
#include <zor/zor_export.h>

#include <QString>
#include <QStringList>
#include <cstddef>

namespace zor {

class ZOR_EXPORT FileReader : public XAbstractFile, public AbstractReader {
public:
    /// Flag bits of readAllAsciiLines.
    enum LINE_FLAGS : unsigned int { LINES_TRIM = 2, LINES_NO_EMPTY = 4, LINES_NO_COMMENT = 8 };

    FileReader() = default;
    explicit FileReader(const QString& name);  ///< opens when the name is not empty
    explicit FileReader(const char* name);     ///< null is a fatal check
    ~FileReader() override;

    bool open(const QString& name) override;  ///< false (with a DEBUG line) when it cannot be opened
    using XAbstractFile::isOpen;
    long long tell() override;
    long long getReadPos() { return tell(); }
    bool isEOF() const { return eof; }

    std::size_t readBytes(char* values, std::size_t n) override;  ///< null values is a fatal check
    bool seek(long long pos) override;
    char readChar();
    short readShort();
    int readInt();
    unsigned int readUINT() override;
    long long readLONG() override;
    unsigned long long readULONG();
    float readFloat();
    double readDouble();
    bool readBool() override;
    QString readString() override;
    long long readLastLONG();  ///< the last 8 bytes as a LONG; -1 when the file is shorter
    long long getLenOfBlock() const override { return fileLen; }

    /// One line of at most maxLen - 3 bytes without its line end, from UTF-8; a longer line comes in
    /// pieces. The end of the file sets eof and gives an empty string.
    QString readAsciiLine(int maxLen);
    /// Appends lines until eof; flags: LINES_TRIM, LINES_NO_EMPTY, LINES_NO_COMMENT ('#' lines).
    int readAllAsciiLines(QStringList& lines, int maxLen, unsigned int flags);

    /// The whole file, or an empty result when it is missing or longer than maxLen.
    static XByteArray readXByteArrayFromFile(const QString& name, long long maxLen);
    /// As above into a new[] buffer the caller releases with delete[]; len is its size (0 when null).
    static char* readBufferFromFile(const QString& name, long long& len, long long maxLen);

    /// The same as the blocks' own members (mem.loadFromFile(name, szPart) and so on).
    static bool loadFromFile(XMem& mem, const QString& name, std::size_t szPart = 0);
    static bool loadFromFileAsString(XMem& mem, const QString& name);
    static bool loadMem(XMem& mem, const QString& name);
    static bool loadFromFile(XByteArray& array, const QString& name, std::size_t szPart = 0);
    static XByteArray load(const QString& name);

    QString toString();

    /// How long failed reads pause the calling thread (milliseconds, default 5000).
    static void setFailurePause(unsigned int ms);
    static unsigned int failurePause();

private:
    friend class XByteArray;
    friend class XMem;
    friend class XMemFile;

    // How one entry of the whole-file path reports (the path itself is the same for all).
    struct WholeRead {
        const char* cannotOpen;          ///< XERROR line of a file that cannot be opened; code 100
        const char* cannotOpenResource;  ///< the same for a Qt resource (always code 100)
        bool missingIsDebug;             ///< a missing disk file: a DEBUG line, false, no code
        bool emptyIsError;               ///< an empty disk file: an XERROR line, code 100 (else no code)
        bool refuseLongPart;             ///< a part longer than the file: code 170 (else it is cut)
        bool addZero;                    ///< one zero byte after the bytes
        bool openFailureKeepsErrno;      ///< a disk file that cannot be opened: its errno, not code 100
    };
    // Defined for XMem and XByteArray.
    template <typename Block>
    static bool readWholeFile(Block& block, const QString& name, std::size_t szPart, const WholeRead& how);

    template <typename T>
    T readValue();
    // Opens name in the file system's encoding without a log line; errno tells why it failed.
    bool openNative(const QString& name);
    void restart(const QString& name);  // closes the stream and starts over on name; mutex held

    bool eof = false;
    long long fileLen = 0;
};

}  // namespace zor
