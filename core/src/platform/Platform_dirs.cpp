#include "platform/Platform.h"

#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace zor {
namespace platform {

namespace {

// One stat relative to the directory: the kernel resolves one name, not the whole path.
void classify(int fd, const char* name, DirEntry& entry) {
    struct stat st;
    if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        entry.kind = DirEntry::VANISHED;
        entry.err = errno;
        return;
    }
    if (S_ISLNK(st.st_mode)) {
        if (fstatat(fd, name, &st, 0) != 0) {
            entry.kind = DirEntry::BROKEN_LINK;
            return;
        }
        entry.size = static_cast<long long>(st.st_size);
        entry.kind = S_ISDIR(st.st_mode) ? DirEntry::LINK_TO_DIR : S_ISREG(st.st_mode) ? DirEntry::LINK_TO_FILE : DirEntry::OTHER;
        return;
    }
    entry.size = static_cast<long long>(st.st_size);
    entry.kind = S_ISDIR(st.st_mode) ? DirEntry::DIR : S_ISREG(st.st_mode) ? DirEntry::FILE : DirEntry::OTHER;
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
    int readErr = 0;
    for (;;) {
        errno = 0;
        const dirent* e = readdir(d);
        if (e == nullptr) {
            readErr = errno;
            break;
        }
        const char* n = e->d_name;
        if (n[0] == '.') {
            if (n[1] == 0 || (n[1] == '.' && n[2] == 0)) continue;
            if (!withHidden) continue;
        }
        // Sockets, pipes and devices need no stat: they are never taken.
        if (e->d_type != DT_UNKNOWN && e->d_type != DT_REG && e->d_type != DT_DIR && e->d_type != DT_LNK) continue;
        DirEntry entry;
        classify(fd, n, entry);
        if (entry.kind == DirEntry::OTHER) continue;
        entry.name = QFile::decodeName(n);
        out.push_back(std::move(entry));
    }
    closedir(d);
    if (readErr != 0) {
        if (err != nullptr) *err = readErr;
        return false;
    }
    return true;
}

}  // namespace platform
}  // namespace zor
