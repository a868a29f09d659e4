#pragma once
/// \zclass{LogFilter,log} Decides by the text of a LogMessage whether it matches. The logger itself filters only
/// by level; sinks that want text filters hold LogFilters. Filters are not changed while in use.
#include <zor/zor_export.h>

#include <QString>

namespace zor {

class LogMessage;

class ZOR_EXPORT LogFilter {
public:
    explicit LogFilter(bool negated = false) : negated(negated) {}
    virtual ~LogFilter();
    virtual bool matchLogMessage(const LogMessage* msg) const = 0;
    virtual QString toString() const;  ///< "LogFilter"

    bool isNegated() const { return negated; }
    void setNegated(bool on) { negated = on; }

protected:
    bool negated;
};

}  // namespace zor
