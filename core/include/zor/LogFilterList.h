#pragma once
/// \zclass{LogFilterList,log} Matches a message when every filter of the list matches it (an empty list matches
/// everything). The list's own negated flag is not applied. No lock: set the list up before the sink
/// that uses it runs. A null filter or message is a programming error and ends the program.
#include <zor/LogFilter.h>
#include <zor/zor_export.h>

#include <memory>
#include <vector>

namespace zor {

class ZOR_EXPORT LogFilterList : public LogFilter {
public:
    LogFilterList() : LogFilter(false) {}
    bool matchLogMessage(const LogMessage* msg) const override;

    void addFilter(std::shared_ptr<LogFilter> filter);
    void removeFilter(std::shared_ptr<LogFilter> filter);  ///< every entry holding that filter
    std::size_t size() const { return filters.size(); }
    void show(unsigned int space) const;  ///< logs the list at DEBUG

private:
    std::vector<std::shared_ptr<LogFilter>> filters;  // in insertion order
};

}  // namespace zor
