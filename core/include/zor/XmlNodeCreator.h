#pragma once
/// \zclass{XmlNodeCreator,xml} The node factory of the XML loader. create(type) returns a new node whose type is
/// the name asked for; the default makes a plain XNode. A subclass maps the type names it knows to
/// XNode subclasses and falls back to a plain XNode for any other (see XGenericTypeCreator). Which
/// classes a loaded tree holds depends only on the creator handed to the loader or to createNode.
///
/// Ownership: the caller owns every node create returns. A creator has no state: one instance may
/// serve any number of threads at once.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class XNode;

class ZOR_EXPORT XmlNodeCreator {
public:
    XmlNodeCreator() = default;
    virtual ~XmlNodeCreator();
    virtual XNode* create(const QString& type) const;
    virtual void show(unsigned int indent) const;  ///< logs toString() at debug level
    virtual QString toString() const { return QStringLiteral("XmlNodeCreator"); }
};

}  // namespace zor
