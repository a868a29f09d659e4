#pragma once
/// \zclass{XNodeFile,io} A file of a scanned directory tree, with the attributes "path" (absolute) and "size"
/// (bytes, decimal). Owned by its parent directory node.
#include <zor/AbstractFile.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT XNodeFile : public AbstractFile {
public:
    XNodeFile();
    ~XNodeFile() override;
    unsigned long long getSize() const;  ///< 0 when "size" is missing or no number
    QString toString() const override;   ///< "name, 1.234" (size with thousands separators)
    QString realTypeAsString() const override { return QStringLiteral("XNodeFile"); }
};

}  // namespace zor
