#include <zor/XNodeDir.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/SearchFileName.h>
#include <zor/XNodeFile.h>

#include <QDir>
#include <QFileInfo>
#include <utility>
#include <vector>

namespace zor {

namespace {

constexpr const char* kSource = "libSrc/core/src/tools/io/XNodeDir";

struct Counts {
    unsigned long dirs = 1;  // the root
    unsigned long files = 0;
};

// Reads the tree below root down to depth levels, on a heap stack. Each directory's entries are
// appended in listing order; the names are set after appending (names in one directory are unique
// already, and a named node would be checked against every sibling).
void walk(XNodeDir* root, const QString& rootPath, int depth, bool withFiles, const QSet<QString>& extensions,
          const XDirFileCreator& creator, Counts& counts) {
    struct Pending {
        XNodeDir* node;
        QString path;
        int depth;
    };
    std::vector<Pending> pending;
    pending.push_back({root, rootPath, depth});
    const QDir::Filters filters =
        withFiles ? (QDir::Dirs | QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot) : (QDir::Dirs | QDir::NoDotAndDotDot);
    while (!pending.empty()) {
        Pending cur = std::move(pending.back());
        pending.pop_back();
        if (cur.depth <= 0) continue;
        cur.node->setDirRead(true);
        const QDir dir(cur.path);
        if (!QFileInfo(cur.path).isReadable()) {
            logWarning("XDir::scanDir, cannot read directory '$'", cur.path);
            continue;
        }
        const QFileInfoList entries = dir.entryInfoList(filters, QDir::Name | QDir::IgnoreCase | QDir::DirsFirst);
        for (const QFileInfo& fi : entries) {
            if (fi.isDir()) {
                XNodeDir* child = creator.createNodeDir(QString());
                if (child == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("nDir == NULL"));
                cur.node->addNode(child, false);
                child->setName(fi.fileName());
                child->setPath(fi.absoluteFilePath());
                ++counts.dirs;
                if (!fi.isSymLink()) pending.push_back({child, fi.absoluteFilePath(), cur.depth - 1});
            } else {
                if (!extensions.isEmpty() && !extensions.contains(fi.suffix().toLower())) continue;
                XNodeFile* child = creator.createNodeFile(QString());
                if (child == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("nFile == NULL"));
                cur.node->addNode(child, false);
                child->setName(fi.fileName());
                child->setPath(fi.absoluteFilePath());
                child->setULong(QStringLiteral("size"), static_cast<unsigned long long>(fi.size()));
                ++counts.files;
            }
        }
    }
}

XNodeDir* scan(QString path, int depth, bool withFiles, const QSet<QString>& extensions, const XDirFileCreator& creator,
               Counts& counts) {
    if (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
    XNodeDir* root = creator.createNodeDir(QFileInfo(path).fileName());
    if (root == nullptr) nullPointerHandling(kSource, __LINE__, QStringLiteral("nDir == NULL"));
    root->setPath(path);
    walk(root, path, depth, withFiles, extensions, creator, counts);
    logDebug("XDir::scanDir, directories:$, files:$", counts.dirs, counts.files);
    return root;
}

}  // namespace

XDirFileCreator XNodeDir::creatorDirFile;

XNodeDir::XNodeDir() {
    setType(QStringLiteral("XNodeDir"));
    m_flags.set_flag(FLAG_DIR, true, false, true);
}

XNodeDir::~XNodeDir() = default;

XNodeDir* XNodeDir::scanDir(const QString& path, XDirScanParameter& param) {
    Counts counts;
    const XDirFileCreator& creator = param.creator != nullptr ? *param.creator : creatorDirFile;
    XNodeDir* root = scan(path, param.maxDepth, !param.dirsOnly, param.extensions, creator, counts);
    param.dirs = static_cast<unsigned int>(counts.dirs);
    param.files = static_cast<unsigned int>(counts.files);
    return root;
}

XNodeDir* XNodeDir::scanDir(const QString& path, unsigned long* dirs, unsigned long* files, int* depth, bool withFiles,
                            const QSet<QString>& extensions) {
    Counts counts;
    XNodeDir* root = scan(path, depth != nullptr ? *depth : 1000, withFiles, extensions, creatorDirFile, counts);
    if (dirs != nullptr) *dirs = counts.dirs;
    if (files != nullptr) *files = counts.files;
    return root;
}

void XNodeDir::scanDirSpecial(XNodeDir* dir) {
    if (dir == nullptr) {
        logWarning("XDir::scanDirSpecial, dir == nullptr");
        return;
    }
    XDirScanParameter param(&creatorDirFile);
    param.maxDepth = 1;
    const QString path = dir->path(QString());
    XNodeDir* tmp = scanDir(path, param);
    logDebug("XDir::scanDirSpecial, read '$', dirs:$, files:$, total:$", path, param.dirs, param.files, param.dirs + param.files);
    dir->deleteChildren();
    XNode::moveChildren(dir, tmp);
    dir->setDirRead(true);
    delete tmp;
}

void XNodeDir::search(SearchFilter& filter) {
    std::vector<std::pair<XNode*, std::size_t>> stack;
    stack.emplace_back(this, 0);
    while (!stack.empty()) {
        XNode* node = stack.back().first;
        const std::size_t i = stack.back().second;
        if (i >= node->children().size()) {
            stack.pop_back();
            continue;
        }
        ++stack.back().second;
        auto* f = dynamic_cast<AbstractFile*>(node->children()[i]);
        if (f == nullptr) continue;  // a foreign node in the tree: neither offered nor searched
        filter.match(f);
        if (filter.stopAtFirst && filter.hasResult()) return;
        if (f->isDir()) stack.emplace_back(f, 0);
    }
}

QString XNodeDir::mapToFile(const QString& name) {
    if (name.startsWith(QLatin1Char('/'))) {
        logWarning("XDir::mapToFile, absolute path not allowed, strFile '$'", name);
        return QString();
    }
    if (name.contains(QLatin1Char(':'))) {
        logWarning("XDir::mapToFile, strFile contains drive Letter:, strFile '$'", name);
        return QString();
    }
    SearchFileName byName(QFileInfo(name).fileName());
    byName.stopAtFirst = true;
    search(byName);
    return byName.hasResult() ? byName.results.front()->path(QString()) : QString();
}

void XNodeDir::fillVector(QList<AbstractFile*>& out) {
    struct All : SearchFilter {
        QList<AbstractFile*>* list;
        bool match(AbstractFile* f) override {
            list->append(f);
            return true;
        }
    } all;
    all.list = &out;
    search(all);
}

void XNodeDir::show(unsigned int indent) const {
    logDebugSpace(indent, "$", toString());
    std::vector<std::pair<const XNode*, unsigned int>> stack;
    for (auto it = children().rbegin(); it != children().rend(); ++it) stack.emplace_back(*it, indent + 4);
    while (!stack.empty()) {
        const auto [node, space] = stack.back();
        stack.pop_back();
        const auto* f = dynamic_cast<const AbstractFile*>(node);
        logDebugSpace(space, "$", f != nullptr ? f->toString() : node->getType());
        for (auto it = node->children().rbegin(); it != node->children().rend(); ++it) stack.emplace_back(*it, space + 4);
    }
}

QString XNodeDir::toString() const {
    if (!isDirRead()) return QStringLiteral("[ ") + getName() + QLatin1Char(']');
    return xformat(isCollapsed() ? "[+$]:$" : "[-$]:$", getName(), countChildren());
}

}  // namespace zor
