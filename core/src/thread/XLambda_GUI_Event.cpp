#include <zor/XLambda_GUI_Event.h>

#include <zor/Logger.h>

#include <QCoreApplication>
#include <QTimer>

namespace zor {

XLambda_GUI_Event::XLambda_GUI_Event(std::function<void()> f, unsigned long long msWait)
    : KernelEvents(EV_TYPE_LAMBDA), m_functionGUI(std::move(f)), m_msWait(msWait) {
    if (isDebug()) logDebug("XLamdaGUIEvent::XLambda_GUI_Event, msWait:$", m_msWait);
}

XLambda_GUI_Event::~XLambda_GUI_Event() = default;

void XLambda_GUI_Event::runMethod() {
    if (!m_functionGUI) {
        logError("XLamdaGUIEvent::runMethod functionGUI == null");
        return;
    }
    if (isDebug()) logDebug("XLamdaGUIEvent::runMethod, msWait:$", m_msWait);
    if (m_msWait > 0 && QCoreApplication::instance() != nullptr) {
        std::function<void()> f = m_functionGUI;
        QTimer::singleShot(static_cast<int>(m_msWait), QCoreApplication::instance(), [f] { f(); });
    } else {
        m_functionGUI();
    }
    if (isDebug()) logDebug("XLamdaGUIEvent::~runMethod");
}

}  // namespace zor
