#pragma once
/// \zclass{LogMessageQuit,log} Ends the logger thread once every message queued before it has been delivered.
#include <zor/LogMessage.h>
#include <zor/zor_export.h>

namespace zor {

class ZOR_EXPORT LogMessageQuit : public LogMessage {
public:
    LogMessageQuit();
    ~LogMessageQuit() override;
    LogMessage* createCopy() const override;
    bool isQuitMessage() const override { return true; }
    QString toString() override { return QStringLiteral("QUIT"); }
};

}  // namespace zor
