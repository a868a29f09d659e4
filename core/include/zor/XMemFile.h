#pragma once
/// \zclass{XMemFile,io} An XMem that carries the MIME type of the file it was loaded from (taken from the
/// file's extension, with the file name as its URL). Setting new contents or clearing drops the
/// type. Like XMem it owns its bytes and belongs to one thread at a time.
#include <zor/XMem.h>
#include <zor/XMimeType.h>
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QString>

namespace zor {

class ZOR_EXPORT XMemFile : public XMem {
public:
    using XMem::XMem;
    XMemFile() = default;
    XMemFile(const XMemFile& other) = default;
    XMemFile(XMemFile&& other) noexcept;
    XMemFile& operator=(const XMemFile& other) = default;
    XMemFile& operator=(XMemFile&& other) noexcept;
    ~XMemFile() override;

    using XMem::set_raw_data;
    using XMem::setString;
    bool setString(const char* text) override;
    bool set_raw_data(const void* pMem, std::size_t sz) override;
    void clear() override;

    /// As XMem::loadFromFile; with szPart 0 the MIME type comes first from the lower-cased extension
    /// and the URL is the name. A file that cannot be opened logs "XFileMem::loadFromFile, cannot
    /// open file '$' for reading" and sets code 100.
    bool loadFromFile(const QString& name, std::size_t szPart = 0) override;

    /// The whole file decoded from UTF-8; an empty string (and an error line) when it cannot be read.
    static QString fromFile(const QString& name);
    static QString fromFile(const QFileInfo& fi);

    QString asString() const;  ///< the bytes decoded from UTF-8
    const XMimeType& getMimeType() const { return m_mime; }
    void setMimeType(const XMimeType& type) { m_mime = type; }
    bool hasMimeType() const { return m_mime.hasType(); }

private:
    XMimeType m_mime;
};

}  // namespace zor
