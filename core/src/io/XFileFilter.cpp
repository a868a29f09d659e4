#include <zor/XFileFilter.h>

#include <zor/Logger.h>
#include <zor/Tokenizer.h>

#include <QDateTime>

namespace zor {

namespace {

QString joined(const std::vector<QString>& list) {
    QString s;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i != 0) s += QStringLiteral(", ");
        s += list[i];
    }
    return s;
}

}  // namespace

QString XFileFilter::area_to_String(unsigned int area) {
    switch (area) {
    case NO_AREA: return QStringLiteral("NO_AREA");
    case BEFORE: return QStringLiteral("BEFORE");
    case EQUAL: return QStringLiteral("EQUAL");
    case BETWEEN: return QStringLiteral("BETWEEN");
    case AFTER: return QStringLiteral("AFTER");
    case MARK: return QStringLiteral("MARK");
    default: return QStringLiteral("UNKNOWN");
    }
}

QString XFileFilter::area_to_String_operator(unsigned int area) {
    switch (area) {
    case NO_AREA: return QStringLiteral("NO_AREA");
    case BEFORE: return QStringLiteral("<");
    case EQUAL: return QStringLiteral("=");
    case BETWEEN: return QStringLiteral("<.>");
    case AFTER: return QStringLiteral(">");
    case MARK: return QStringLiteral("<.>");
    default: return QStringLiteral("UNKNOWN");
    }
}

void XFileFilter::setPattern(const QString& textIn, bool negative) {
    const QString text = textIn.trimmed();
    if (text.isEmpty()) return;
    Tokenizer toks(text, QStringLiteral(" ,;"));
    std::vector<QString>& dest = negative ? notPatterns : patterns;
    while (toks.hasMoreToken()) {
        const QString piece = toks.nextToken().trimmed();
        if (!piece.isEmpty()) dest.push_back(piece);
    }
}

QString XFileFilter::pattern(bool negative) const { return joined(negative ? notPatterns : patterns); }

bool XFileFilter::wildcardMatch(const QString& pathIn, const QString& patternIn) {
    if (pathIn.isEmpty() || patternIn.isEmpty()) return false;
    const QString path = pathIn.toLower();
    const QString pat = patternIn.toLower();
    int pos = 0;
    int start = 0;
    bool first = true;
    bool lastIsLiteral = false;
    const int n = pat.size();
    // Walks the literal pieces between the stars without building them.
    while (start <= n) {
        int star = pat.indexOf(QLatin1Char('*'), start);
        if (star < 0) star = n;
        const int len = star - start;
        if (len > 0) {
            const QStringRef piece = pat.midRef(start, len);
            if (first && start == 0) {
                if (!path.startsWith(piece)) return false;  // the position stays at 0
            } else {
                const int at = path.indexOf(piece, pos);
                if (at < 0) return false;
                pos = at + len;
            }
            lastIsLiteral = true;
        } else {
            lastIsLiteral = false;
        }
        if (star < n) lastIsLiteral = false;
        first = false;
        start = star + 1;
    }
    // A pattern that ends in a literal must reach the end of the path, unless that literal is all
    // there is (a prefix test).
    if (lastIsLiteral && pat.contains(QLatin1Char('*'))) return pos == path.size();
    return true;
}

bool XFileFilter::isTextFile(const QFileInfo& fi) const {
    const QString suffix = fi.suffix().toLower();
    return !suffix.isEmpty() && textExtensions.contains(suffix);
}

bool XFileFilter::match(const QFileInfo& fi) const {
    if (sizeArea != NO_AREA) {
        const unsigned long long s = static_cast<unsigned long long>(fi.size());
        switch (sizeArea) {
        case BEFORE:
            if (!(s < size1)) return false;
            break;
        case EQUAL:
            if (s != size1) return false;
            break;
        case BETWEEN:
            if (!(size1 <= s && s <= size2)) return false;
            break;
        case AFTER:
            if (!(s > size1)) return false;
            break;
        default: break;
        }
    }
    if (timeArea != NO_AREA) {
        const long long t = fi.lastModified().toMSecsSinceEpoch();
        switch (timeArea) {
        case BEFORE:
            if (!(t <= time1)) return false;
            break;
        case EQUAL:
            if (t != time1) return false;
            break;
        case BETWEEN:
            if (!(time1 <= t && t <= time2)) return false;
            break;
        case AFTER:
            if (!(t >= time1)) {
                logDebug("negative");
                return false;
            }
            break;
        default: break;
        }
    }
    if (!textExtensions.isEmpty() && !isTextFile(fi)) return false;
    if (patterns.empty() && notPatterns.empty()) return true;
    const QString path = fi.absoluteFilePath();
    if (!patterns.empty()) {
        bool any = false;
        for (const QString& p : patterns) {
            if (wildcardMatch(path, p)) {
                any = true;
                break;
            }
        }
        if (!any) return false;
    }
    for (const QString& p : notPatterns) {
        if (wildcardMatch(path, p)) return false;
    }
    return true;
}

QString XFileFilter::toString() const {
    QString s = QStringLiteral("{") + joined(patterns) + QStringLiteral("} ~{") + joined(notPatterns) + QStringLiteral("}");
    s += QStringLiteral(" SIZE:{") + area_to_String_operator(sizeArea);
    if (sizeArea == BETWEEN) s += QStringLiteral(" >= ") + QString::number(size1) + QStringLiteral(" & <=") + QString::number(size2);
    else if (sizeArea != NO_AREA) s += QLatin1Char(' ') + QString::number(size1);
    s += QStringLiteral("} TIME:{") + area_to_String_operator(timeArea);
    if (timeArea == BETWEEN) s += QStringLiteral(" >= ") + QString::number(time1) + QStringLiteral("  <= ") + QString::number(time2);
    else if (timeArea != NO_AREA) s += QLatin1Char(' ') + QString::number(time1);
    s += QLatin1Char('}');
    return s;
}

}  // namespace zor
