#include <zor/XNode_Parse_Control.h>

#include <zor/ClockFunctions.h>
#include <zor/MainThread.h>
#include <zor/TextHelpers.h>
#include <zor/xformat.h>

namespace zor {

XNode_Parse_Control::XNode_Parse_Control() { listener.enable(true); }

void XNode_Parse_Control::reset() {
    cancel.store(false);
    percent.store(0);
    timeStart.store(0);
    timeCurrent.store(0);
    nRoot = nullptr;
}

unsigned long long XNode_Parse_Control::time_consumption() const {
    const unsigned long long start = timeStart.load();
    const unsigned long long current = timeCurrent.load();
    return current > start ? current - start : 0;
}

QString XNode_Parse_Control::toString() const {
    const QString bytes = formatBytes(static_cast<double>(bytesProceed.load()));
    const QString seconds = formatMicrosecond_as_Sec(time_consumption());
    if (cancel.load())
        return xformat("XNode parsing Cancelled! Bytes proceed:$, at: $ %, time consumption:$", bytes, percent.load(),
                       seconds);
    if (percent.load() != 100)
        return xformat("XNode still parsing...  Bytes proceed:$, at $ % ,time consumption:$", bytes, percent.load(),
                       seconds);
    return xformat("XNode parsing DONE! bytes:$, time consumption $ sec", bytes, seconds);
}

void XNode_Parse_Control::notifyListeners() {
    // Nothing to hand over while nobody listens; the enabled test is repeated at delivery.
    if (!listener.isEnabled() || listener.isEmpty()) return;
    qt::run_in_Gui_Thread([this] { listener.call(*this); });
}

}  // namespace zor
