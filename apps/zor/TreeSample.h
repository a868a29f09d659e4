#pragma once
// The zor program's sample tree (`zor tree --sample`, `zor test`, the tour) and the base of the
// xtree tests' tree, which compile TreeSample.cpp too: a value of every registered simple type,
// arrays, nested trees, an array of trees and a link. Its bytes are what `zor tree --sample`
// writes, so any change here changes that file.
#include <zor/XTree.h>

namespace zorapp {

zor::XTree sampleTree();

}  // namespace zorapp
