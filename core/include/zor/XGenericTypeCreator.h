#pragma once
/// \zclass{XGenericTypeCreator,xml} The node factory for files that carry a schema: "XGenericTypes", "Attr" and
/// "Child" elements become the schema classes, every other element a plain XNode. Derive from it to
/// add node classes of your own and keep the schema working.
///
/// Stateless; one instance may serve any number of threads.
#include <zor/XmlNodeCreator.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT XGenericTypeCreator : public XmlNodeCreator {
public:
    XNode* create(const QString& type) const override;
    QString toString() const override { return QStringLiteral("XGenericTypeCreator"); }
};

}  // namespace zor
