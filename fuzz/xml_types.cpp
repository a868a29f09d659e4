// The schema on arbitrary documents: loaded with the schema's node factory (includes off), then
// found, checked, and every described type's scheme applied to a scratch node.
#include <zor/Attr.h>
#include <zor/Child.h>
#include <zor/Scheme.h>
#include <zor/XGenericTypeCreator.h>
#include <zor/XGenericTypes.h>
#include <zor/XNode_Parse_Control.h>
#include <zor/ZorSaxParser.h>

#include <QSet>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
    zor::XGenericTypeCreator creator;
    zor::ZorSaxParser parser(&creator);
    parser.setIncludes(false);
    parser.setString(text);
    zor::XNode_Parse_Control ctl;
    ctl.listener.enable(false);
    (void)parser.parse(ctl);
    std::unique_ptr<zor::XNode> root(parser.takeRoot());
    if (!root) return 0;
    zor::XGenericTypes* types = root->getXGenericTypes();
    if (types == nullptr) return 0;
    (void)types->checkDescription();
    const bool bySet = types->checkTypes(QSet<QString>({QStringLiteral("string"), QStringLiteral("int")}));
    const bool byTest =
        types->checkTypes([](const QString& t) { return t == QLatin1String("string") || t == QLatin1String("int"); });
    if (bySet != byTest) std::abort();
    (void)types->toString();
    zor::XNode scratch;
    for (const QString& type : types->getAllTypes()) {
        const zor::Scheme s = types->getScheme(type);
        if (s.owner() == nullptr || s.owner()->getType() != type) std::abort();
        (void)s.isValid();
        s.defaultiesToNode(&scratch);
        (void)s.pathIconSmall();
        for (const zor::Child* c : s.childs()) {
            (void)c->countMin();
            (void)c->countMax();
            (void)types->checkTypeRelation(type, c->getTheType());
        }
        for (const zor::Attr* a : s.attrs()) (void)a->isUserDefined();
    }
    (void)types->getTheRootNode();
    return 0;
}
