#pragma once
/// \zclass{XAdditionalLibInfos,global} Extra lines that other libraries contribute to the logger's start-up header. The
/// vector keeps its messages; the logger copies them into its header when it is built.
#include <zor/zor_export.h>

#include <QString>
#include <vector>

namespace zor {

class LogMessageString;

class ZOR_EXPORT XAdditionalLibInfos {
public:
    static std::vector<LogMessageString*> arLogMessages;

    static bool addLibInfo(QString text, bool flag = true);
    static std::vector<LogMessageString*>& libLogInfos();
};

}  // namespace zor
