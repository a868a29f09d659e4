#pragma once
/// \zclass{XFunctionRunner,thread} A pooled runnable that calls one function. It deletes itself (through the pool)
/// after it ran: do not keep the pointer past that.
#include <zor/zor_export.h>

#include <QRunnable>
#include <atomic>
#include <functional>

namespace zor {

class ZOR_EXPORT XFunctionRunner : public QRunnable {
public:
    explicit XFunctionRunner(std::function<void()> f);
    ~XFunctionRunner() override;
    void run() override;  ///< an empty function is not called: one XERROR line instead

private:
    std::function<void()> m_function;
    // Released when the runner is built, acquired when it runs: orders the submitter's work before
    // the run even where the pool hands over through locks a thread checker cannot see.
    std::atomic<bool> m_ready{false};
};

}  // namespace zor
