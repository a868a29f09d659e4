#pragma once
/// \zclass{XTimer,thread} A QTimer whose time-outs call plain callables (listeners(), enabled at construction) in
/// id order on the thread that owns the timer. Empty callables are skipped.
/// \code
///   XTimer t;  t.listeners().add([] { ... });  t.start(100); \endcode
#include <zor/XEventListener.h>
#include <zor/zor_export.h>

#include <QTimer>
#include <functional>

namespace zor {

class ZOR_EXPORT XTimer : public QTimer {
public:
    using Callable = std::function<void()>;

    explicit XTimer(QObject* parent = nullptr);
    ~XTimer() override;

    XEventListener<Callable>& listeners() { return m_listeners; }

private:
    void fire();

    XEventListener<Callable> m_listeners;
};

}  // namespace zor
