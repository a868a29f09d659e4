#pragma once
/// \zclass{ZorResource,program} Finds the library's source folder ("zor") and its data folder ("zor/data") by
/// walking up from the program's folder, and reads text files below them. A folder that cannot be
/// found gives an empty path and one error line.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class ZOR_EXPORT ZorResource {
public:
    static QString getZorSourcePath();
    static QString getZorSourceDataPath();
    static QString buildZorPath(const QString& rel);
    static QString buildZorDataPath(const QString& rel);
    static QString load(const QString& rel);
    static QString loadZorData(const QString& rel);
};

}  // namespace zor
