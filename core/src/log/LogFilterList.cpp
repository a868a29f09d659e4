#include <zor/LogFilterList.h>

#include <zor/FatalChecks.h>
#include <zor/Logger.h>

#include <algorithm>

namespace zor {

bool LogFilterList::matchLogMessage(const LogMessage* msg) const {
    if (msg == nullptr) nullPointerHandling("libSrc/core/src/tools/log/LogFilterList", 40, QStringLiteral("lm == NULL"));
    for (const auto& f : filters)
        if (!f->matchLogMessage(msg)) return false;
    return true;
}

void LogFilterList::addFilter(std::shared_ptr<LogFilter> filter) {
    if (!filter) nullPointerHandling("libSrc/core/src/tools/log/LogFilterList", 23, QStringLiteral("filter == NULL"));
    filters.push_back(std::move(filter));
}

void LogFilterList::removeFilter(std::shared_ptr<LogFilter> filter) {
    if (!filter) nullPointerHandling("libSrc/core/src/tools/log/LogFilterList", 29, QStringLiteral("filter == NULL"));
    filters.erase(std::remove(filters.begin(), filters.end(), filter), filters.end());
}

void LogFilterList::show(unsigned int space) const {
    logDebugSpace(space, "LogFilterList: $ filter", static_cast<unsigned long long>(filters.size()));
    for (std::size_t i = 0; i < filters.size(); ++i)
        logDebugSpace(space, "filter[$]: '$'", static_cast<unsigned long long>(i), filters[i]->toString());
}

}  // namespace zor
