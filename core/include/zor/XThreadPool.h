#pragma once
// XThreadPool: a QThreadPool that runs plain functions. The returned runner belongs to the pool,
// which deletes it after it ran: do not keep the pointer past that.
#include <zor/XFunctionRunner.h>
#include <zor/zor_export.h>

#include <QThreadPool>
#include <functional>

namespace zor {

class ZOR_EXPORT XThreadPool : public QThreadPool {
public:
    explicit XThreadPool(QObject* parent = nullptr);
    ~XThreadPool() override;

    XFunctionRunner* start(std::function<void()> f);
    static XFunctionRunner* start_function_global(std::function<void()> f);
};

}  // namespace zor
