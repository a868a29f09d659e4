#pragma once
/// \zclass{XDirFileCreator,io} The factory of the directory scan's nodes. createNodeDir and createNodeFile
/// make an XNodeDir or an XNodeFile whose type is the class name ("XNodeDir", "XNodeFile") and,
/// for a non-empty name, its name. As an XmlNodeCreator it also rebuilds these classes from their
/// type names when a saved tree is loaded; other types become plain XNodes.
///
/// Stateless: one instance (XNodeDir::creatorDirFile) serves every thread. The caller owns what it
/// creates.
#include <zor/XmlNodeCreator.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class XNodeDir;
class XNodeFile;

class ZOR_EXPORT XDirFileCreator : public XmlNodeCreator {
public:
    XDirFileCreator() = default;
    ~XDirFileCreator() override;
    virtual XNodeDir* createNodeDir(const QString& name) const;
    virtual XNodeFile* createNodeFile(const QString& name) const;
    XNode* create(const QString& type) const override;
    QString toString() const override { return QStringLiteral("XDirFileCreator"); }
};

}  // namespace zor
