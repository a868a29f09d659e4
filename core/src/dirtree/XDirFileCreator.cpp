#include <zor/XDirFileCreator.h>

#include <zor/XNodeDir.h>
#include <zor/XNodeFile.h>

#include <new>

namespace zor {

XDirFileCreator::~XDirFileCreator() = default;

XNodeDir* XDirFileCreator::createNodeDir(const QString& name) const {
    auto* node = new (std::nothrow) XNodeDir();
    if (node == nullptr) return nullptr;
    node->setType(QStringLiteral("XNodeDir"));
    if (!name.isEmpty()) node->setName(name);
    return node;
}

XNodeFile* XDirFileCreator::createNodeFile(const QString& name) const {
    auto* node = new (std::nothrow) XNodeFile();
    if (node == nullptr) return nullptr;
    node->setType(QStringLiteral("XNodeFile"));
    if (!name.isEmpty()) node->setName(name);
    return node;
}

XNode* XDirFileCreator::create(const QString& type) const {
    if (type == QLatin1String("XNodeDir")) return createNodeDir(QString());
    if (type == QLatin1String("XNodeFile")) return createNodeFile(QString());
    return XmlNodeCreator::create(type);
}

}  // namespace zor
