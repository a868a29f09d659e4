// The schema of generic types: finding it under a tree's root, and its lookups and checks.
#include <zor/Attr.h>
#include <zor/Child.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/XGenericTypes.h>

#include <QStringList>

namespace zor {

namespace {
const QString kTypes = QStringLiteral("XGenericTypes");
}

XGenericTypes* XNode::getXGenericTypes() {
    XNode* r = root();
    if (r->isType(kTypes)) {
        if (auto* t = dynamic_cast<XGenericTypes*>(r)) return t;
        logWarning("XNode::getXGenericTypes, we found <XGenericTypes> but its not the right C++ type.");
        logWarning("Did you forget to add a proper 'XmlNodeCreator' instance ?");
        return nullptr;
    }
    XNode* n = r->query(kTypes);
    if (n == nullptr) {
        logWarning("XNode::getXGenericTypes, we do not have <XGenericTypes> tag under root node !");
        return nullptr;
    }
    if (auto* t = dynamic_cast<XGenericTypes*>(n)) return t;
    logWarning("XNode::getXGenericTypes, *we found /<XGenericTypes> but its not the right C++ type.");
    logWarning("Did you forget to add a proper 'XmlNodeCreator' instance ?");
    return nullptr;
}

std::vector<QString> XGenericTypes::getAllTypes() const {
    std::vector<QString> out;
    out.reserve(children().size());
    for (const XNode* c : children()) out.push_back(c->getType());
    return out;
}

bool XGenericTypes::hasChildType(const QString& type) const {
    for (const XNode* c : children())
        if (c->isType(type)) return true;
    return false;
}

Scheme XGenericTypes::getScheme(const QString& type) const {
    Scheme s;
    // A type name with '/' or '@' would be read as a path: look the description up by type only.
    for (const XNode* c : children()) {
        if (c->isType(type)) {
            s.fromNode(c);
            break;
        }
    }
    return s;
}

XNode* XGenericTypes::getTheRootNode() { return hasChildren() ? children().front() : nullptr; }

bool XGenericTypes::checkTypeRelation(const QString& parentType, const QString& childType) const {
    for (const XNode* d : children()) {
        if (!d->isType(parentType)) continue;
        for (const XNode* c : d->children()) {
            const auto* child = dynamic_cast<const Child*>(c);
            if (child != nullptr && child->getTheType() == childType) return true;
        }
        return false;
    }
    return false;
}

bool XGenericTypes::checkDescription() const {
    const std::vector<QString> all = getAllTypes();
    for (const XNode* d : children()) {
        for (const XNode* c : d->children()) {
            const auto* child = dynamic_cast<const Child*>(c);
            if (child == nullptr) continue;
            const QString t = child->getTheType();
            if (std::find(all.begin(), all.end(), t) == all.end()) {
                logWarning(
                    "XGenericTypes::checkDescription, Child type <$> not found within "
                    "<XGenericTypes>...</XGenericTypes>",
                    t);
                return false;
            }
        }
    }
    return true;
}

bool XGenericTypes::checkTypes(const QSet<QString>& known) const {
    return checkTypes(std::function<bool(const QString&)>([&known](const QString& t) { return known.contains(t); }));
}

bool XGenericTypes::checkTypes(const std::function<bool(const QString&)>& known) const {
    if (!known)
        nullPointerHandling("libSrc/core/src/tools/xml/XGenericTypes", __LINE__, QStringLiteral("callBack == NULL"));
    for (const XNode* d : children()) {
        for (const XNode* c : d->children()) {
            const auto* attr = dynamic_cast<const Attr*>(c);
            if (attr == nullptr) continue;
            const QString t = attr->getString(QStringLiteral("type"), QStringLiteral("string"));
            if (!known(t)) {
                logWarning("XGenericTypes::checkTypes, unknown type '$'", t);
                return false;
            }
        }
    }
    return true;
}

QString XGenericTypes::toString() const {
    QStringList types;
    for (const QString& t : getAllTypes()) types << t;
    return QStringLiteral("XGenericTypes [") + QString::number(types.size()) + QStringLiteral("]{") +
           types.join(QLatin1Char(',')) + QLatin1Char('}');
}

}  // namespace zor
