// zor dirs: scans a directory tree and selects files by wildcard patterns and size.
//
//   zor dirs --dir src --pattern "*.cpp,*.h" --not "*/build/*" --bigger 100 --list true
//
// Prints the scan's counts and how many files the filter selected; with --list the selected
// paths follow, sorted. A missing directory ends with the exit code for a missing file, a size
// that is no number with the one for bad arguments.
#include "Commands.h"

#include <zor/core.h>

#include <QStringList>
#include <cstdio>

namespace zorapp {

using namespace zor;

namespace {

bool readSize(const CommandLine& cmd, const char* key, unsigned long long& out) {
    const QString text = cmd.getString(QLatin1String(key));
    if (text.isEmpty()) return false;
    bool ok = false;
    out = text.toULongLong(&ok);
    if (!ok) logError("dirs, --$ '$' is no size in bytes", key, text);
    return ok;
}

}  // namespace

int runDirs(const CommandLine& cmd) {
    if (!startLogger(cmd)) return EXIT_ZOR_CONFIGURATION;
    QString dir;
    if (!requireKey(cmd, "dir", dir)) return finish(EXIT_ZOR_ARGUMENT);
    if (!dirExists(dir)) {
        logError("dirs, no such directory '$'", dir);
        return finish(EXIT_ZOR_FILE_NOT_FOUND);
    }
    XFileFilter filter;
    filter.setPattern(cmd.getString(QStringLiteral("pattern")), false);
    filter.setPattern(cmd.getString(QStringLiteral("not")), true);
    const bool hasBigger = cmd.hasKey(QStringLiteral("bigger")), hasSmaller = cmd.hasKey(QStringLiteral("smaller"));
    if (hasBigger && hasSmaller) {
        unsigned long long lo = 0, hi = 0;
        if (!readSize(cmd, "bigger", lo) || !readSize(cmd, "smaller", hi)) return finish(EXIT_ZOR_ARGUMENT);
        filter.sizeArea = XFileFilter::BETWEEN;  // inclusive bounds
        filter.size1 = lo;
        filter.size2 = hi;
    } else if (hasBigger) {
        if (!readSize(cmd, "bigger", filter.size1)) return finish(EXIT_ZOR_ARGUMENT);
        filter.sizeArea = XFileFilter::AFTER;
    } else if (hasSmaller) {
        if (!readSize(cmd, "smaller", filter.size1)) return finish(EXIT_ZOR_ARGUMENT);
        filter.sizeArea = XFileFilter::BEFORE;
    }

    XDirInfo info;
    info.setHiddenFiles(cmd.getBool(QStringLiteral("hidden"), false));
    info.scan_dir(dir);
    info.setupTextFiles();
    const XFindStats stats = info.setup_filtered_files(filter, false);
    QStringList lines;
    lines << xformat("'$': $", dir, info.toString());
    lines << xformat("selected $ of $ files, filter $", format1000(static_cast<long long>(stats.files.load())),
                     format1000(static_cast<long long>(stats.filesTotal.load())), filter.toString());
    if (cmd.getBool(QStringLiteral("list"), false)) {
        QStringList paths;
        for (const QFileInfo* fi : info.get_view_filtered_files()) paths << fi->filePath();
        paths.sort();
        lines += paths;
    }
    return finish(EXIT_ZOR_OK, lines.join(QLatin1Char('\n')));
}

}  // namespace zorapp
