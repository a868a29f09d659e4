#include <zor/Attr.h>
#include <zor/Child.h>
#include <zor/XGenericTypeCreator.h>
#include <zor/XGenericTypes.h>

namespace zor {

XNode* XGenericTypeCreator::create(const QString& type) const {
    XNode* n;
    if (type == QLatin1String("Child"))
        n = new Child();
    else if (type == QLatin1String("Attr"))
        n = new Attr();
    else if (type == QLatin1String("XGenericTypes"))
        n = new XGenericTypes();
    else
        n = new XNode();
    n->setType(type);
    return n;
}

}  // namespace zor
