#pragma once
/// \zclass{SearchFileName,io} Finds nodes by name. A node's path must end with name (contains: hold it
/// anywhere); ignoreCase compares both in upper case. Plain value, one thread at a time.
#include <zor/SearchFilter.h>
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT SearchFileName : public SearchFilter {
public:
    SearchFileName() = default;
    explicit SearchFileName(const QString& n, bool ignore = false, bool inside = false)
        : name(n), ignoreCase(ignore), contains(inside) {}
    bool match(AbstractFile* file) override;

    QString name;
    bool ignoreCase = false;
    bool contains = false;
};

}  // namespace zor
