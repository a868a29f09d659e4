#pragma once
/// \zclass{ZorKernelEvent,program} The kernel event (type 9000) that moves a value to a function on the main
/// thread. The value is moved in on the posting thread and moved out into the function: it changes
/// threads without a copy of its data. Owns the value and the function.
#include <zor/KernelEvents.h>
#include <zor/Logger.h>

#include <functional>
#include <utility>

namespace zor {

template <typename T>
class ZorKernelEvent : public KernelEvents {
public:
    ZorKernelEvent(T&& value, std::function<void(T&&)> f)
        : KernelEvents(EV_TYPE_GENERIC), m_value(std::move(value)), m_fuData(std::move(f)) {}

    void runMethod() override {
        if (!m_fuData) {
            logError("ZorKernelEvent::runMethod, fuData == nullptr");
            return;
        }
        m_fuData(std::move(m_value));
        if (isDebug()) logDebug("ZorKernelEvent::~runMethod");
    }

private:
    T m_value;
    std::function<void(T&&)> m_fuData;
};

}  // namespace zor
