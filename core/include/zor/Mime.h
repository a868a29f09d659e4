#pragma once
/// \zclass{Mime,net} The small extension-to-content-type table used when serving files (lower-case extension
/// without the dot -> "text/html", "image/png", ...), with "application/octet-stream" as the
/// default. It knows fewer extensions than XMimeType and maps css and txt to "text/html".
///
/// A plain value; reading from several threads at once is safe, changing it is not.
#include <zor/zor_export.h>

#include <QString>
#include <map>

namespace zor {

class ZOR_EXPORT Mime {
public:
    Mime();

    /// Map access: a missing extension is inserted with an empty type.
    QString& operator[](const QString& extension) { return m_types[extension]; }
    /// The type for an extension (any case, one leading dot dropped), or the default; never inserts.
    QString typeFor(const QString& extension) const;
    bool knows(const QString& extension) const;
    /// The first extension, in key order, whose type is contentType; empty when none.
    QString mimeToExtension(const QString& contentType) const;
    const QString& defaultType() const { return m_default; }
    const std::map<QString, QString>& types() const { return m_types; }

private:
    static QString normalise(const QString& extension);

    std::map<QString, QString> m_types;
    QString m_default;
};

}  // namespace zor
