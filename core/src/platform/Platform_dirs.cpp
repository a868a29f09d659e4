#include "platform/Platform.h"

#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace zor {
namespace platform {

namespace {

DirEntry::Kind kindFromMode(mode_t mode) {
    if (S_ISREG(mode)) return DirEntry::FILE;
    if (S_ISDIR(mode)) return DirEntry::DIR;
    if (S_ISLNK(mode)) return DirEntry::LINK;
    return DirEntry::OTHER;
}

}  // namespace

bool listDirectory(const QString& dir, bool withHidden, std::vector<DirEntry>& out, int* err) {
    const QByteArray encoded = QFile::encodeName(dir);
    DIR* d = opendir(encoded.constData());
    if (d == nullptr) {
        if (err != nullptr) *err = errno;
        return false;
    }
    const int fd = dirfd(d);
    for (;;) {
        errno = 0;
        const dirent* e = readdir(d);
        if (e == nullptr) break;
        const char* n = e->d_name;
        if (n[0] == '.') {
            if (n[1] == 0 || (n[1] == '.' && n[2] == 0)) continue;
            if (!withHidden) continue;
        }
        DirEntry entry;
        switch (e->d_type) {
        case DT_REG: entry.kind = DirEntry::FILE; break;
        case DT_DIR: entry.kind = DirEntry::DIR; break;
        case DT_LNK: entry.kind = DirEntry::LINK; break;
        case DT_UNKNOWN: {
            // Some file systems do not report the type in the listing.
            struct stat st;
            if (fstatat(fd, n, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // gone meanwhile
            entry.kind = kindFromMode(st.st_mode);
            break;
        }
        default: entry.kind = DirEntry::OTHER; break;
        }
        entry.name = QFile::decodeName(n);
        out.push_back(std::move(entry));
    }
    const int readErr = errno;
    closedir(d);
    if (readErr != 0) {
        if (err != nullptr) *err = readErr;
        return false;
    }
    return true;
}

}  // namespace platform
}  // namespace zor
