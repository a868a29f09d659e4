#pragma once
/// \zclass{XGenericTypes,xml} A schema of element types kept in the XML file itself, under the root (or as the
/// root). Each child describes one element type: its "Attr" children list the attributes an element
/// of that type has (name, value type, default, limits, labels), its "Child" children the element
/// types it may hold (with counts). Load such a file with XGenericTypeCreator so that these nodes are
/// of the schema classes; XNode::getXGenericTypes() then finds the schema of any node's tree.
/// \code
///   XGenericTypeCreator creator;
///   XNode* root = XNode::parseFile("app.xml", &creator, nullptr);
///   XGenericTypes* types = root->getXGenericTypes();
///   Scheme s = types->getScheme("Window");   s.defaultiesToNode(windowNode);
///   types->checkDescription();  types->checkTypes(QSet<QString>{"string", "int", "bool"});
/// \endcode
/// The library fixes no list of value types: the caller says which are known; an "Attr" without
/// "type" counts as "string". A node of the tree, owned by its parent; not thread-safe.
#include <zor/Scheme.h>
#include <zor/XNode.h>
#include <zor/zor_export.h>

#include <QSet>
#include <QString>
#include <functional>
#include <vector>

namespace zor {

class ZOR_EXPORT XGenericTypes : public XNode {
public:
    std::vector<QString> getAllTypes() const;
    bool hasChildType(const QString& type) const;
    Scheme getScheme(const QString& type) const;  ///< empty (invalid) when type is not described
    XNode* getTheRootNode();                      ///< the first description, or null
    /// The parent type's description has a "Child" of childType.
    bool checkTypeRelation(const QString& parentType, const QString& childType) const;
    /// Every "Child" names a described type; the first that does not is logged, false.
    bool checkDescription() const;
    /// Every "Attr" value type is known; the first unknown is logged, false. A null test ends the
    /// program (fatal check).
    bool checkTypes(const QSet<QString>& known) const;
    bool checkTypes(const std::function<bool(const QString&)>& known) const;
    QString toString() const override;  ///< "XGenericTypes [2]{Window,Button}"
    QString realTypeAsString() const override { return QStringLiteral("XGenericTypes"); }
};

}  // namespace zor
