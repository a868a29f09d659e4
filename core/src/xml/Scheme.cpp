#include <zor/Attr.h>
#include <zor/Child.h>
#include <zor/Logger.h>
#include <zor/Scheme.h>

namespace zor {

bool Scheme::fromNode(const XNode* n) {
    m_owner = n;
    m_children.clear();
    m_attrs.clear();
    if (n == nullptr) {
        logWarning("Scheme::from_node, n == nullptr");
        return false;
    }
    for (const XNode* c : n->children()) {
        if (const auto* child = dynamic_cast<const Child*>(c))
            m_children.push_back(child);
        else if (const auto* attr = dynamic_cast<const Attr*>(c))
            m_attrs.push_back(attr);
    }
    return true;
}

bool Scheme::isValid() const {
    if (m_owner == nullptr) {
        logWarning("Scheme::isValid, nOwner == nullptre");
        return false;
    }
    if (m_children.empty() && m_attrs.empty()) {
        logWarning("Scheme::isValid,  no <Child> and no <Attr> ?");
        return false;
    }
    return true;
}

void Scheme::defaultiesToNode(XNode* n) const {
    if (m_owner == nullptr) {
        logWarning("<<Scheme:nullptr>>");
        return;
    }
    if (n == nullptr) {
        logWarning("<<Scheme:$, n == nullptr>>", m_owner->getType());
        return;
    }
    for (const Attr* a : m_attrs) n->setString(a->getName(), a->getDefault());
}

QString Scheme::pathIconSmall() const {
    if (m_owner == nullptr) {
        logWarning("Scheme::pathIconSmall, <<Scheme:nullptr>>");
        return QString();
    }
    return m_owner->getString(QStringLiteral("icon"), QString());
}

QString Scheme::pathIconBig() const {
    return m_owner == nullptr ? QString() : m_owner->getString(QStringLiteral("iconBig"), QString());
}

void Scheme::show(unsigned int indent) const {
    if (m_owner == nullptr) {
        logDebugSpace(indent, "<<Scheme:nullptr>>");
        return;
    }
    logDebugSpace(indent, "<<Scheme:$>>", m_owner->getType());
    logDebugSpace(indent, "icon   :'$'", pathIconSmall());
    logDebugSpace(indent, "iconBig:'$'", pathIconBig());
    logDebugSpace(indent, "<Child> objects:$", m_children.size());
    for (const Child* c : m_children) logDebugSpace(indent + 4, "child:$", c->toString());
    logDebugSpace(indent, "<Attr> objects:$", m_attrs.size());
    for (const Attr* a : m_attrs) logDebugSpace(indent + 4, "attr:$", a->toString());
}

}  // namespace zor
