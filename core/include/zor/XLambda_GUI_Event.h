#pragma once
/// \zclass{XLambda_GUI_Event,thread} The kernel event (type 9100) that runs a function on the main thread, at
/// once or, with msWait, through a single-shot timer. Owns the function.
#include <zor/KernelEvents.h>
#include <zor/zor_export.h>

#include <functional>

namespace zor {

class ZOR_EXPORT XLambda_GUI_Event : public KernelEvents {
public:
    explicit XLambda_GUI_Event(std::function<void()> f, unsigned long long msWait = 0);
    ~XLambda_GUI_Event() override;
    void runMethod() override;

private:
    std::function<void()> m_functionGUI;
    unsigned long long m_msWait;
};

}  // namespace zor
