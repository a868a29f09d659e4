#pragma once
// FileReader: a binary file read sequentially through the C runtime's buffered streams. The file's
// length is taken when it is opened. This is the part memory blocks need to load whole files.
// Operations on the stream are serialised by a mutex.
#include <zor/zor_export.h>

#include <QMutex>
#include <QString>
#include <cstddef>
#include <cstdio>

namespace zor {

class ZOR_EXPORT FileReader {
public:
    FileReader() = default;
    explicit FileReader(const QString& name);  // opens when the name is not empty
    explicit FileReader(const char* name);     // null is a fatal check
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool open(const QString& name);  // false (with a DEBUG line) when the file cannot be opened
    bool isOpen() const;
    void close();
    long long tell() const;  // -1 when not open

    // Reads up to n bytes; the count read. An empty request, a missing stream or a failed read is
    // logged; a failed read or the end of the file closes the stream.
    std::size_t readBytes(char* values, std::size_t n);
    long long getLenOfBlock() const { return fileLen; }
    bool isEOF() const { return eof; }
    const QString& getFileName() const { return fileName; }

private:
    std::FILE* fp = nullptr;
    QString fileName;
    mutable QMutex mutex;  // guards fp
    bool eof = false;
    long long fileLen = 0;
};

}  // namespace zor
