#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XObject.h>
#include <zor/XStringStream.h>
#include <zor/XTree.h>

#include <vector>

namespace zor {

const QString XObject::str_XObject = QStringLiteral("XObject");
std::atomic<bool> XObject::s_debug{false};

XObject::~XObject() = default;

QString XObject::toString(const XTypeSupporter&) const { return str_XObject; }
XTree* XObject::getTree(const QString&) { return nullptr; }
XObject* XObject::objectByKey(const QString&) { return nullptr; }
QString XObject::keyOf(const XObject*) const { return QString(); }

QString XObject::path() const {
    std::vector<QString> keys;
    const XObject* child = this;
    for (const XObject* p = m_parent; p != nullptr; child = p, p = p->m_parent) keys.push_back(p->keyOf(child));
    QString s;
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) s += QLatin1Char('/') + *it;
    return s;
}

void XObject::show(const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
                   std::int64_t index) const {
    QString text;
    XStringStream ss(text);
    toStream(ss, ts, indent, name, arrow, index);
    ss.flush();
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    logInfo("$", text);
}

void XObject::toStream(XStringStream& ss, const XTypeSupporter& ts, unsigned int indent, const QString& name, bool,
                       std::int64_t) const {
    ss.print(indent, name.isEmpty() ? toString(ts) : name + QLatin1Char(' ') + toString(ts));
    ss << '\n';
}

void XObject::setParent(XObject* p) {
    if (p == nullptr) nullPointerHandling("libSrc/core/include/zor/XTree", 120, QStringLiteral("parent == NULL"));
    m_parent = p;
}

XObject* XObject::rootObject() {
    XObject* o = this;
    while (o->m_parent != nullptr) o = o->m_parent;
    return o;
}

const XObject* XObject::rootObject() const {
    const XObject* o = this;
    while (o->m_parent != nullptr) o = o->m_parent;
    return o;
}

unsigned int XObject::level() const {
    unsigned int n = 0;
    for (const XObject* p = m_parent; p != nullptr; p = p->m_parent) ++n;
    return n;
}

bool XObject::hasSameRoot(XObject* other) {
    if (other == nullptr) nullPointerHandling("libSrc/core/src/tools/xtree/XObject", 95, QStringLiteral("pOther == NULL"));
    if (other == this) {
        if (is_debug()) logDebug("XObject::hasSameRoot, SAME object");
        return true;
    }
    return rootObject() == other->rootObject();
}

void XObject::_swapObject(XObject&& other) {
    const unsigned int f = flags.value();
    flags = other.flags.value();
    other.flags = f;
    std::swap(m_parent, other.m_parent);
}

}  // namespace zor
