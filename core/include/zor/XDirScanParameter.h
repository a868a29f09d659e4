#pragma once
/// \zclass{XDirScanParameter,io} What XNodeDir::scanDir reads (extensions, maxDepth, dirsOnly, the node
/// factory) and what it reports back (dirs, files). A plain value; the creator is not owned and
/// must outlive the scan (null: XNodeDir::creatorDirFile).
#include <zor/zor_export.h>

#include <QSet>
#include <QString>

namespace zor {

class XDirFileCreator;

struct ZOR_EXPORT XDirScanParameter {
    explicit XDirScanParameter(XDirFileCreator* creator = nullptr);

    QSet<QString> extensions;  ///< lower case without the dot; when set, only these files are taken
    unsigned int dirs = 0;     ///< result: directories, the root included
    unsigned int files = 0;    ///< result
    int maxDepth = 1000;       ///< levels read: 1 reads the root's own entries only
    bool dirsOnly = false;
    XDirFileCreator* creator;
};

}  // namespace zor
