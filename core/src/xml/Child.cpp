#include <zor/Child.h>
#include <zor/xformat.h>

namespace zor {

namespace {

unsigned int count(const XNode& n, const QString& key) {
    const QString v = n.getString(key, QString());
    if (v == QLatin1String("*") || v == QLatin1String("n")) return Child::UNLIMITED;
    bool ok = false;
    const unsigned int c = v.toUInt(&ok, 10);
    return ok ? c : 0;
}

}  // namespace

unsigned int Child::countMin() const { return count(*this, QStringLiteral("countMin")); }
unsigned int Child::countMax() const { return count(*this, QStringLiteral("countMax")); }

QString Child::toString() const {
    return xformat("theType '$', countMin:$, countMax:$", getTheType(), countMin(), countMax());
}

}  // namespace zor
