#pragma once
/// \zclass{XNode_Parse_Control,xml} What a running XML load shares with the rest of the program: a cancel
/// request, the progress (characters consumed, percent, times) and, at the end, the finished tree.
/// \code
///   XNode_Parse_Control ctl;
///   ctl.listener.add([](XNode_Parse_Control& c) { showProgress(c.percent); });  // main thread
///   ... another thread may set ctl.cancel = true at any time ...
/// \endcode
/// Thread-safety: the progress fields are atomics, so any thread may read them, and any thread may
/// set `cancel`, while the load runs on its own thread. `bytesTotal` and `nRoot` are written by the
/// loading thread only; read them after the load has returned. Listeners run on the main (GUI)
/// thread, under the listener's lock, handed over as queued work: the control must outlive the
/// load and the notifications it posted. The control does not own `nRoot` (the tree belongs to
/// whoever called the loader).
#include <zor/XEventListener.h>
#include <zor/zor_export.h>

#include <QString>
#include <atomic>
#include <functional>

namespace zor {

class XNode;

struct ZOR_EXPORT XNode_Parse_Control {
    /// Characters between two progress reports of the scanner.
    static constexpr unsigned int BYTES_BETWEEN_TIME_CALLS = 500000;

    using Listener = std::function<void(XNode_Parse_Control&)>;

    std::atomic<bool> cancel{false};                  ///< set by anybody to stop the load
    std::atomic<unsigned int> percent{0};             ///< 0..100; 100 also after failure and cancellation
    std::atomic<unsigned long long> timeStart{0};     ///< microseconds (getMicroseconds) at the start
    std::atomic<unsigned long long> timeCurrent{0};   ///< microseconds at the last report and at the end
    std::atomic<unsigned long long> bytesProceed{0};  ///< characters consumed at the last report
    unsigned long long bytesTotal = 0;                ///< characters of the document
    XNode* nRoot = nullptr;                           ///< the finished tree (not owned)
    /// Read standard XML instead of the library's subset (see AbstractSaxHelper::setStandard), in
    /// the encoding the byte-order mark or the declaration names (UTF-8, UTF-16 LE/BE,
    /// ISO-8859-1). Set before the load; reset() leaves it as it is.
    bool standard = false;
    XEventListener<Listener> listener;                ///< enabled and empty on construction

    XNode_Parse_Control();
    XNode_Parse_Control(const XNode_Parse_Control&) = delete;
    XNode_Parse_Control& operator=(const XNode_Parse_Control&) = delete;

    /// Clears cancel, percent, both times and nRoot, for the next load; the counts stay.
    void reset();
    bool isDone() const { return cancel.load() || percent.load() == 100; }
    bool isOK() const { return percent.load() == 100 && nRoot != nullptr; }
    /// timeCurrent - timeStart in microseconds (0 while timeCurrent lies before timeStart).
    unsigned long long time_consumption() const;
    /// "XNode parsing DONE! bytes:12 KB, time consumption 0,001.500 sec" and the texts for a
    /// cancelled and a running load.
    QString toString() const;

    /// Hands a call of every listener (with this control) to the main thread.
    void notifyListeners();
};

}  // namespace zor
