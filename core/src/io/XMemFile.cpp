#include <zor/XMemFile.h>

#include <zor/LogAttachment.h>

namespace zor {

XMemFile::XMemFile() = default;
XMemFile::XMemFile(const QByteArray& data) : m_data(data) {}
XMemFile::XMemFile(const XMemFile& other) = default;
XMemFile::XMemFile(XMemFile&& other) noexcept : m_data(std::move(other.m_data)), m_error(other.m_error) {
    other.m_data.clear();
    other.m_error.clearError();
}
XMemFile& XMemFile::operator=(const XMemFile& other) = default;
XMemFile& XMemFile::operator=(XMemFile&& other) noexcept {
    if (this != &other) {
        m_data = std::move(other.m_data);
        m_error = other.m_error;
        other.m_data.clear();
        other.m_error.clearError();
    }
    return *this;
}
XMemFile::~XMemFile() = default;

void XMemFile::setData(const QByteArray& data) { m_data = data; }

void XMemFile::clear() {
    m_data.clear();
    m_error.clearError();
}

void XMemFile::copyFrom(const XMemFile& other) { *this = other; }

void XMemFile::takeFrom(XMemFile& other) { *this = std::move(other); }

LogAttachment::~LogAttachment() = default;

}  // namespace zor
