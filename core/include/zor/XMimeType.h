#pragma once
/// \zclass{XMimeType,io} A content type of the form type/subtype with its ';'-separated parameters and the URL
/// it was taken from. It lives with the files (not with the network code, which builds its header
/// parsing on top of it) because XMemFile carries one and a folder may not include one above it.
/// \code
///   XMimeType::fromString("text/html; charset=utf-8")  -> type "text", subtype "html", 1 parameter
///   XMimeType::fromFile("a.PNG").toString()            -> "image/png"
/// \endcode
/// A plain value (copyable, movable), used by one thread at a time. XMimeTypeMap::get() hands out
/// one process-wide instance; XMimeType::defaultType() is application/octet-stream, built when the
/// library is loaded.
#include <zor/XRecord.h>
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QString>

namespace zor {

class ZOR_EXPORT XMimeType {
public:
    XMimeType() = default;
    XMimeType(const QString& type, const QString& subType);
    XMimeType(const XMimeType&) = default;
    XMimeType(XMimeType&&) = default;
    XMimeType& operator=(const XMimeType&) = default;
    XMimeType& operator=(XMimeType&&) = default;

    bool operator==(const XMimeType& o) const { return m_type == o.m_type && m_subType == o.m_subType; }
    bool operator!=(const XMimeType& o) const { return !(*this == o); }

    /// "type/subtype[;key=value...]": the subtype is trimmed, the parameters after the first ';' are
    /// read as record entries. An empty text or one without a token gives an empty value (logged).
    static XMimeType fromString(const QString& s);
    /// The type for a file name by its suffix; an empty name or one without a dot gives an empty value.
    static XMimeType fromFile(const QString& path);
    static XMimeType fromFile(const QFileInfo& fi);
    /// Case-insensitive, one leading dot dropped; unknown extensions give application/octet-stream.
    static XMimeType fromFileExtension(const QString& ext);

    /// application/octet-stream, built at start-up.
    static const XMimeType& defaultType();

    /// type/subtype, then ';' and the parameters as key="value" joined by ';', then " {url}" when
    /// there is a URL; empty without a type.
    QString toString() const;
    void show(unsigned int indent) const;

    bool hasType() const { return !m_type.isEmpty(); }
    bool isType(const QString& type) const { return m_type == type; }
    bool hasParameter() const { return m_parameter.hasAttributes(); }
    bool hasURL() const { return !m_url.isEmpty(); }
    bool isDefault() const;  ///< application/octet-stream
    bool isSubType_octet_stream() const { return m_subType == QLatin1String("octet-stream"); }
    bool isQtImage() const;
    bool isZorMime() const;
    void setZorMime();

    const QString& type() const { return m_type; }
    const QString& subType() const { return m_subType; }
    const XRecord& parameter() const { return m_parameter; }
    XRecord& parameter() { return m_parameter; }
    const QString& url() const { return m_url; }
    void setURL(const QString& url) { m_url = url; }
    void clear();
    QString getFileExtension() const;  ///< the first extension of the table that gives this type

private:
    QString m_type;
    QString m_subType;
    XRecord m_parameter;
    QString m_url;
};

/// The process-wide XMimeType, created on first use (thread-safe); what it holds is the caller's to
/// guard when several threads change it. \ingroup io
class ZOR_EXPORT XMimeTypeMap {
public:
    static XMimeType& get();
};

}  // namespace zor
