#pragma once
// XMemFile: a block of memory that came from (or goes to) a file, with the error state of the
// last operation. This is the part the logger's attachments need: the bytes and their error word.
#include <zor/XError.h>
#include <zor/zor_export.h>

#include <QByteArray>

namespace zor {

class ZOR_EXPORT XMemFile {
public:
    XMemFile();
    explicit XMemFile(const QByteArray& data);
    XMemFile(const XMemFile& other);
    XMemFile(XMemFile&& other) noexcept;
    XMemFile& operator=(const XMemFile& other);
    XMemFile& operator=(XMemFile&& other) noexcept;
    virtual ~XMemFile();

    void setData(const QByteArray& data);
    const QByteArray& data() const { return m_data; }
    long long size() const { return m_data.size(); }
    bool isEmpty() const { return m_data.isEmpty(); }
    virtual void clear();

    void copyFrom(const XMemFile& other);  // bytes and error state
    void takeFrom(XMemFile& other);        // other is left empty

    XError& error() { return m_error; }
    const XError& error() const { return m_error; }

private:
    QByteArray m_data;
    XError m_error;
};

}  // namespace zor
