#pragma once
// XMimeType: a content type of the form type/subtype with the URL it was taken from. It lives with
// the files (not with the network code, which builds its header parsing on top of it) because
// XMemFile carries one and a folder may not include one above it. Here it knows the extension table
// and the text form; content-type parameters belong to the HTTP side. A plain value.
#include <zor/zor_export.h>

#include <QFileInfo>
#include <QString>

namespace zor {

class ZOR_EXPORT XMimeType {
public:
    XMimeType() = default;
    XMimeType(const QString& type, const QString& subType);

    bool operator==(const XMimeType& o) const { return m_type == o.m_type && m_subType == o.m_subType; }
    bool operator!=(const XMimeType& o) const { return !(*this == o); }

    // The type for a file name by its suffix; an empty name or one without a dot gives an empty value.
    static XMimeType fromFile(const QString& path);
    static XMimeType fromFile(const QFileInfo& fi);
    // Case-insensitive, one leading dot dropped; unknown extensions give application/octet-stream.
    static XMimeType fromFileExtension(const QString& ext);

    // type/subtype, then " {url}" when there is a URL; empty without a type.
    QString toString() const;
    void show(unsigned int indent) const;

    bool hasType() const { return !m_type.isEmpty(); }
    bool isType(const QString& type) const { return m_type == type; }
    bool hasURL() const { return !m_url.isEmpty(); }
    bool isDefault() const;  // application/octet-stream
    bool isSubType_octet_stream() const { return m_subType == QLatin1String("octet-stream"); }
    bool isQtImage() const;
    bool isZorMime() const;
    void setZorMime();

    const QString& type() const { return m_type; }
    const QString& subType() const { return m_subType; }
    const QString& url() const { return m_url; }
    void setURL(const QString& url) { m_url = url; }
    void clear();
    QString getFileExtension() const;  // the first extension of the table that gives this type

private:
    QString m_type;
    QString m_subType;
    QString m_url;
};

}  // namespace zor
