#pragma once
/// \zclass{StartTestParameter,program} What a test program was started with, as the kernel hands it out
/// (Kernel::getStartTestParameter): the program, the test asked for (the command), the log level
/// text of "--logLevel", whether test mode is on (the environment variable ZORTESTING exists) and
/// the arguments. A plain value.
#include <zor/zor_export.h>

#include <QString>
#include <QStringList>

namespace zor {

struct ZOR_EXPORT StartTestParameter {
    QString program;
    QString testName;
    QString logLevel;
    bool testMode = false;
    QStringList arguments;  ///< argv[1] ... as given

    bool hasTest() const { return !testName.isEmpty(); }
    /// Logs the fields at DEBUG, indented by space.
    void show(int space) const;
};

}  // namespace zor
