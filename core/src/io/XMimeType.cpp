#include <zor/XMimeType.h>

#include <zor/Logger.h>
#include <zor/Tokenizer.h>

#include <utility>

namespace zor {

namespace {

struct Entry {
    const char* ext;
    const char* type;
    const char* subType;
};

// In order: getFileExtension() gives the first extension of a type.
const Entry kTable[] = {
    {"jpg", "image", "jpeg"},          {"jpeg", "image", "jpeg"},     {"png", "image", "png"},
    {"gif", "image", "gif"},           {"ico", "image", "x-icon"},    {"svg", "image", "svg+xml"},
    {"bmp", "image", "bmp"},           {"mp4", "video", "mp4"},       {"mpeg", "video", "mpeg"},
    {"mgp", "video", "mpeg"},          {"mpe", "video", "mpeg"},      {"mov", "video", "quicktime"},
    {"qt", "video", "quicktime"},      {"avi", "video", "x-msvideo"}, {"mp3", "audio", "mpeg"},
    {"ogg", "audio", "ogg"},           {"wav", "audio", "wav"},       {"jam", "audio", "x-jam"},
    {"csv", "text", "comma-separated-values"}, {"css", "text", "css"}, {"htm", "text", "html"},
    {"html", "text", "html"},          {"shtml", "text", "html"},     {"js", "text", "javascript"},
    {"txt", "text", "plain"},          {"c", "text", "plain"},        {"h", "text", "plain"},
    {"cpp", "text", "plain"},          {"hpp", "text", "plain"},      {"c#", "text", "plain"},
    {"rtx", "text", "richtext"},       {"xml", "text", "xml"},        {"sgml", "text", "x-sgml"},
};

const XMimeType kDefaultType(QStringLiteral("application"), QStringLiteral("octet-stream"));

}  // namespace

const XMimeType& XMimeType::defaultType() { return kDefaultType; }

XMimeType& XMimeTypeMap::get() {
    static XMimeType instance;
    return instance;
}

XMimeType XMimeType::fromString(const QString& s) {
    if (s.isEmpty()) {
        logWarning("XMimeType::fromString, strMime.length == 0");
        return XMimeType();
    }
    const Tokenizer toks(s, QStringLiteral("/"));
    if (toks.size() == 0) {
        logWarning("XMimeType::fromString - no token ?");
        return XMimeType();
    }
    XMimeType mime;
    mime.m_type = toks[0];
    QString sub = toks[1].trimmed();
    const int semi = sub.indexOf(QLatin1Char(';'));
    if (semi >= 0) {
        mime.m_parameter.fromString(sub.mid(semi + 1), true, false);
        sub = sub.left(semi).trimmed();
    }
    mime.m_subType = sub;
    return mime;
}

XMimeType::XMimeType(const QString& type, const QString& subType) : m_type(type), m_subType(subType) {}

XMimeType XMimeType::fromFile(const QString& path) {
    if (path.isEmpty()) {
        logDebug("XMimeType::fromFile, strFile == ''");
        return XMimeType();
    }
    if (!path.contains(QLatin1Char('.'))) {
        logDebug("XMimeType::fromFile, strFile does not contain '.'");
        return XMimeType();
    }
    return fromFileExtension(QFileInfo(path).suffix());
}

XMimeType XMimeType::fromFile(const QFileInfo& fi) { return fromFile(fi.fileName()); }

XMimeType XMimeType::fromFileExtension(const QString& ext) {
    QString e = ext.toLower();
    if (e.startsWith(QLatin1Char('.'))) e.remove(0, 1);
    for (const Entry& entry : kTable)
        if (e == QLatin1String(entry.ext))
            return XMimeType(QLatin1String(entry.type), QLatin1String(entry.subType));
    return XMimeType(QStringLiteral("application"), QStringLiteral("octet-stream"));
}

QString XMimeType::toString() const {
    if (m_type.isEmpty()) return QString();
    QString s = m_type + QLatin1Char('/') + m_subType;
    if (m_parameter.hasAttributes()) {
        QStringList parts;
        for (const auto& kv : m_parameter.getAttributes())
            parts << kv.first + QLatin1String("=\"") + kv.second + QLatin1Char('"');
        s += QLatin1Char(';') + parts.join(QLatin1Char(';'));
    }
    if (!m_url.isEmpty()) s += QLatin1String(" {") + m_url + QLatin1Char('}');
    return s;
}

void XMimeType::show(unsigned int indent) const {
    logDebug("$XMimeType '$'", QString(static_cast<int>(indent), QLatin1Char(' ')), toString());
}

bool XMimeType::isDefault() const {
    return m_type == QLatin1String("application") && m_subType == QLatin1String("octet-stream");
}

bool XMimeType::isQtImage() const {
    return m_subType == QLatin1String("jpg") || m_subType == QLatin1String("jpeg") || m_subType == QLatin1String("png") ||
           m_subType == QLatin1String("gif") || m_subType == QLatin1String("bmp");
}

bool XMimeType::isZorMime() const { return m_type == QLatin1String("application") && m_subType == QLatin1String("x-zor"); }

void XMimeType::setZorMime() {
    m_type = QStringLiteral("application");
    m_subType = QStringLiteral("x-zor");
}

void XMimeType::clear() {
    m_type.clear();
    m_subType.clear();
    m_parameter.clear();
    m_url.clear();
}

QString XMimeType::getFileExtension() const {
    for (const Entry& entry : kTable)
        if (m_type == QLatin1String(entry.type) && m_subType == QLatin1String(entry.subType))
            return QLatin1String(entry.ext);
    return QString();
}

}  // namespace zor
