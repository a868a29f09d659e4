#pragma once
/// \zclass{SearchFilter,io} A visitor for XNodeDir::search. match() is offered every node of the tree in
/// depth-first order and appends what it accepts to results; with stopAtFirst the search ends at
/// the first result. The base class accepts nothing.
///
/// results points into the searched tree (not owned): valid while the tree is. One thread at a time.
#include <zor/zor_export.h>

#include <vector>

namespace zor {

class AbstractFile;

class ZOR_EXPORT SearchFilter {
public:
    SearchFilter() = default;
    virtual ~SearchFilter();
    virtual bool match(AbstractFile* file);
    bool hasResult() const { return !results.empty(); }
    void show(unsigned int indent) const;  ///< "NO RESULT", or "results:$" and one line per result

    std::vector<AbstractFile*> results;
    bool stopAtFirst = false;
};

}  // namespace zor
