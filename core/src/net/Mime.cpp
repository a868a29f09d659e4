#include <zor/Mime.h>

namespace zor {

Mime::Mime() : m_default(QStringLiteral("application/octet-stream")) {
    static const char* const table[][2] = {
        {"htm", "text/html"},   {"html", "text/html"},       {"css", "text/html"},        {"txt", "text/html"},
        {"ico", "image/x-icon"}, {"gif", "image/gif"},       {"png", "image/png"},        {"jpg", "image/jpeg"},
        {"jpeg", "image/jpeg"}, {"zip", "application/zip"}, {"gz", "application/x-gzip"},
    };
    for (const auto& row : table) m_types.emplace(QLatin1String(row[0]), QLatin1String(row[1]));
}

QString Mime::normalise(const QString& extension) {
    QString e = extension.toLower();
    if (e.startsWith(QLatin1Char('.'))) e.remove(0, 1);
    return e;
}

QString Mime::typeFor(const QString& extension) const {
    const auto it = m_types.find(normalise(extension));
    return it == m_types.end() || it->second.isEmpty() ? m_default : it->second;
}

bool Mime::knows(const QString& extension) const {
    const auto it = m_types.find(normalise(extension));
    return it != m_types.end() && !it->second.isEmpty();
}

QString Mime::mimeToExtension(const QString& contentType) const {
    for (const auto& kv : m_types)
        if (kv.second == contentType) return kv.first;
    return QString();
}

}  // namespace zor
