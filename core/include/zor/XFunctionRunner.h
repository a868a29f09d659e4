#pragma once
// XFunctionRunner: a pooled runnable that calls one function. Deleted by the pool after it ran.
#include <zor/zor_export.h>

#include <QRunnable>
#include <functional>

namespace zor {

class ZOR_EXPORT XFunctionRunner : public QRunnable {
public:
    explicit XFunctionRunner(std::function<void()> f);
    ~XFunctionRunner() override;
    void run() override;  // an empty function throws std::bad_function_call

private:
    std::function<void()> m_function;
};

}  // namespace zor
