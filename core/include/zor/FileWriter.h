#pragma once
// FileWriter: a binary file written sequentially through the C runtime's buffered streams
// (truncated on open). This is the part memory blocks need to save whole files. Operations on the
// stream are serialised by a mutex; the destructor closes the file.
#include <zor/zor_export.h>

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <cstddef>
#include <cstdio>

namespace zor {

class ZOR_EXPORT FileWriter {
public:
    FileWriter() = default;
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool open(const QString& name);  // false (with an error line) when it cannot be created
    bool isOpen() const;
    void close();
    bool flushAndClose();  // false when the buffered bytes could not be written
    long long tell() const;

    // Writes n bytes and returns the count written; when nothing could be written the file is
    // closed. A null values pointer or a closed file is a fatal check.
    std::size_t write(const char* values, std::size_t n);
    std::size_t write(const QByteArray& bytes);
    const QString& getFileName() const { return fileName; }

private:
    std::FILE* fp = nullptr;
    QString fileName;
    mutable QMutex mutex;  // guards fp
};

}  // namespace zor
