#pragma once
/// \zclass{FullTest,program} A test written as an object with phases. TestContext::exec runs parseArguments, then
/// prepareTest, then runTest, each only while the ones before gave 0; shutDown runs whenever
/// prepareTest ran, and its result counts when everything before it gave 0. A non-zero result is
/// one of the library's exit codes.
///
/// Owned by the TestContext it is registered with; run on the thread that runs the test.
#include <zor/zor_export.h>

namespace zor {

class Kernel;

class ZOR_EXPORT FullTest {
public:
    virtual ~FullTest();
    virtual int parseArguments(Kernel& kernel);  ///< 0
    virtual int prepareTest(Kernel& kernel);     ///< 0
    virtual int runTest(Kernel& kernel);         ///< 0
    virtual int shutDown(Kernel& kernel);        ///< 0
};

}  // namespace zor
