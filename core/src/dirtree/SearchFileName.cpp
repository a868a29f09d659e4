#include <zor/SearchFileName.h>

#include <zor/AbstractFile.h>

namespace zor {

bool SearchFileName::match(AbstractFile* file) {
    if (file == nullptr) return false;
    QString p = file->path(QString());
    QString n = name;
    if (ignoreCase) {
        p = p.toUpper();
        n = n.toUpper();
    }
    const bool hit = contains ? p.contains(n) : p.endsWith(n);
    if (hit) results.push_back(file);
    return hit;
}

}  // namespace zor
