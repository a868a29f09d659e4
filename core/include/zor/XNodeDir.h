#pragma once
/// \zclass{XNodeDir,io} A directory of a scanned tree. scanDir reads a directory hierarchy into XNodeDir and
/// XNodeFile nodes, each with the attribute "path" (absolute) and files with "size"; entries come
/// sorted by name (case-insensitively), directories first.
/// \code
///   XDirScanParameter p;  p.maxDepth = 2;
///   XNodeDir* root = XNodeDir::scanDir("/data", p);   // the caller owns root
///   QString found = root->mapToFile("notes.txt");     // the path of the first such file, or ""
/// \endcode
/// The walk keeps its pending directories on a heap stack: any depth is safe. A symbolic link to a
/// directory becomes a directory node that is not read (it stays unread, like a directory beyond
/// maxDepth), so link loops cannot make the walk loop. A directory that cannot be read is logged
/// once and stays empty. Read directories are marked (isDirRead); scanDirSpecial reads one unread
/// directory later, one level deep (its old children are replaced).
///
/// Not synchronised: one thread at a time per tree.
#include <zor/AbstractFile.h>
#include <zor/SearchFilter.h>
#include <zor/XDirFileCreator.h>
#include <zor/XDirScanParameter.h>
#include <zor/zor_export.h>

#include <QList>
#include <QSet>
#include <QString>

namespace zor {

class ZOR_EXPORT XNodeDir : public AbstractFile {
public:
    static XDirFileCreator creatorDirFile;  ///< the default factory

    XNodeDir();
    ~XNodeDir() override;

    static XNodeDir* scanDir(const QString& path, XDirScanParameter& param);
    /// depth: levels to read (1000 when null); the counts are written through the non-null pointers.
    static XNodeDir* scanDir(const QString& path, unsigned long* dirs, unsigned long* files, int* depth, bool withFiles,
                             const QSet<QString>& extensions);
    static void scanDirSpecial(XNodeDir* dir);

    void search(SearchFilter& filter);  ///< depth-first, a directory before its contents
    /// The path of the first file or directory named like name's last part; "" (with a warning)
    /// for an absolute name or one with a drive letter, "" when nothing is found.
    QString mapToFile(const QString& name);
    void fillVector(QList<AbstractFile*>& out);  ///< every node below this one, depth-first
    void show(unsigned int indent) const;        ///< one debug line per node, indented by depth
    /// "[ name]" unread, "[-name]:children" expanded, "[+name]:children" collapsed.
    QString toString() const override;
    QString realTypeAsString() const override { return QStringLiteral("XNodeDir"); }
};

}  // namespace zor
