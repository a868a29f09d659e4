#include <zor/RegTestConfig.h>

#include <zor/CommandLine.h>
#include <zor/xformat.h>

namespace zor {

bool RegTestConfig::fromString(const QString& text) {
    CommandLine cmd;
    if (!cmd.fromString(text)) return false;
    unsigned int level = logLevel;
    if (cmd.hasKey(QStringLiteral("logLevel"))) {
        bool ok = false;
        level = cmd.getString(QStringLiteral("logLevel")).trimmed().toUInt(&ok);
        if (!ok) return false;
    }
    resetLogLineNumber = cmd.isBool(QStringLiteral("resetLogLineNumber"), resetLogLineNumber);
    logLevel = level;
    return true;
}

QString RegTestConfig::toString() const {
    return xformat("resetLogLineNumber:$, logLevel:$", resetLogLineNumber, logLevel);
}

}  // namespace zor
