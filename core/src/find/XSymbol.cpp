#include <zor/XSymbol.h>

namespace zor {
namespace find {

QString XSymbol::toString() const {
    switch (type) {
        case AND: return QStringLiteral("&");
        case OR: return QStringLiteral("|");
        case NOT: return QStringLiteral("~");
        case BRACKET_OPEN: return QStringLiteral("(");
        case BRACKET_CLOSE: return QStringLiteral(")");
        case FIND: break;
        default: return QString();
    }
    QString s = text + QLatin1Char('{');
    if (wholeWord) s += QLatin1String("w,");
    if (ignoreCase) s += QLatin1String("i,");
    if (countMinimum > 0) s += QString::number(countMinimum);
    return s;
}

}  // namespace find
}  // namespace zor
