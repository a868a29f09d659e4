#include <zor/FullTest.h>

namespace zor {

FullTest::~FullTest() = default;
int FullTest::parseArguments(Kernel&) { return 0; }
int FullTest::prepareTest(Kernel&) { return 0; }
int FullTest::runTest(Kernel&) { return 0; }
int FullTest::shutDown(Kernel&) { return 0; }

}  // namespace zor
