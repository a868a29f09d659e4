// The tour's directory section: a small tree with a link loop, scanned flat with a filter and
// again as a node tree, then searched by name.
#include "Commands.h"

#include <zor/core.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

namespace zorapp {

using namespace zor;

void tourDirs() {
    logInfo("==== directories: a scan, a filter, a node tree");
    QTemporaryDir dir;
    if (!dir.isValid()) {
        logWarning("Tour::dirs, no temporary folder, section skipped");
        return;
    }
    QDir().mkpath(dir.filePath("src/net"));
    for (const char* name : {"src/main.cpp", "src/net/socket.cpp", "src/net/socket.h", "notes.txt"}) {
        QFile f(dir.filePath(name));
        if (f.open(QIODevice::WriteOnly)) f.write(QByteArray(64, 'x'));
    }
    QFile::link(dir.filePath("src"), dir.filePath("src/net/back"));  // a loop the scan does not follow

    XDirInfo info;
    info.scan_dir(dir.path());
    XFileFilter filter;
    filter.setPattern("*.cpp, *.h", false);
    filter.setPattern("*/main.cpp", true);
    const XFindStats stats = info.setup_filtered_files(filter, false);
    logInfo("Tour::dirs, $; filter $ selects $", info.toString(), filter.toString(), stats.toString());

    XDirScanParameter param;
    std::unique_ptr<XNodeDir> root(XNodeDir::scanDir(dir.filePath("src"), param));
    logInfo("Tour::dirs, node tree: $ dirs, $ files, root $, socket.h at '$'", param.dirs, param.files, root->toString(),
            QDir(dir.path()).relativeFilePath(root->mapToFile("socket.h")));
}

}  // namespace zorapp
