#pragma once
/// \zclass{XFile,io} A small text-file writer (UTF-8 lines). Only MODE_WRITE opens the file; the other modes
/// leave it closed. Writing without an open file, or a null text, is a fatal check. The destructor
/// closes the file. No locks.
#include <zor/zor_export.h>

#include <QString>
#include <cstdio>

namespace zor {

class ZOR_EXPORT XFile {
public:
    enum MODE { MODE_NONE = 0, MODE_READ = 1, MODE_WRITE = 2 };

    XFile(const QString& name, MODE mode);
    XFile(const XFile&) = delete;
    XFile& operator=(const XFile&) = delete;
    ~XFile();

    bool write(const QString& s, bool newLine);  ///< true when every byte was written
    bool write_cstring(const char* text);
    /// A test line: len printable ASCII characters from a fixed-seed sequence, then a line feed.
    bool write_random_line(int len);
    void close();
    explicit operator bool() const { return fp != nullptr; }
    const QString& fileName() const { return m_name; }
    MODE mode() const { return m_mode; }

    static QString createTmpFileName(const QString& name);  ///< temporary directory + "/" + name

private:
    bool writeBytes(const char* data, std::size_t n);

    std::FILE* fp = nullptr;
    QString m_name;
    MODE m_mode;
    unsigned int m_random = 12345;
};

}  // namespace zor
