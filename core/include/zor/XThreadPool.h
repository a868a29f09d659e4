#pragma once
/// \zclass{XThreadPool,thread} A QThreadPool that also runs plain functions and lightweight threads. A function is
/// wrapped in an XFunctionRunner that the pool deletes after it ran: the returned pointer is only an
/// identity, do not keep it. The static forms use QThreadPool::globalInstance().
#include <zor/XFunctionRunner.h>
#include <zor/zor_export.h>

#include <QThreadPool>
#include <functional>

namespace zor {

class XLightweightThread;

class ZOR_EXPORT XThreadPool : public QThreadPool {
public:
    explicit XThreadPool(QObject* parent = nullptr);
    ~XThreadPool() override;

    /// Null (and one XERROR line) for an empty function.
    XFunctionRunner* start(std::function<void()> f);
    static XFunctionRunner* start_function_global(std::function<void()> f);

    /// Sets t's auto-delete and starts it; with autoDelete the pool destroys t after its run.
    XLightweightThread* start_lwThread(XLightweightThread* t, bool autoDelete);
    static XLightweightThread* start_global(XLightweightThread* t, bool autoDelete);
};

}  // namespace zor
