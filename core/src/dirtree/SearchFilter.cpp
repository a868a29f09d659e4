#include <zor/SearchFilter.h>

#include <zor/AbstractFile.h>
#include <zor/Logger.h>

namespace zor {

SearchFilter::~SearchFilter() = default;

bool SearchFilter::match(AbstractFile*) { return false; }

void SearchFilter::show(unsigned int indent) const {
    if (results.empty()) {
        logDebugSpace(indent, "NO RESULT");
        return;
    }
    logDebugSpace(indent, "results:$", results.size());
    for (std::size_t i = 0; i < results.size(); ++i) logDebugSpace(indent + 4, "[$] $", i, results[i]->path(QString()));
}

}  // namespace zor
