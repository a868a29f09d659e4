#pragma once
/// \zclass{RegTestConfig,program} The settings line of a regression list:
/// \code RegTestConfig --resetLogLineNumber true --logLevel 2 \endcode
/// resetLogLineNumber: the log numbering starts at 0 for the run (default false); logLevel: the
/// log level of the run when the command line gives none (default 3; read as
/// ZorTestFramework::levelMask reads it). A plain value.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

struct ZOR_EXPORT RegTestConfig {
    bool resetLogLineNumber = false;
    unsigned int logLevel = 3;

    /// Reads the keys from a command-line text; false (and nothing changed) when the text does not
    /// parse or logLevel is not a whole number.
    bool fromString(const QString& text);
    QString toString() const;  ///< "resetLogLineNumber:<bool>, logLevel:<n>"
};

}  // namespace zor
