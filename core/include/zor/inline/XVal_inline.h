#pragma once
// Inline bodies of XVal's templates.
#include <zor/Logger.h>

#include <new>
#include <type_traits>

namespace zor {

template <typename T>
void XVal::setValMove(T&& value, bool asArray) {
    using U = std::remove_cv_t<std::remove_reference_t<T>>;
    if (m_destructor != nullptr && s_debug) logDebug("XVal::setValMove, destruc ????");
    destroyValue();
    const QString* name = &XTypeName<U>::name();  // a static constant: the callables stay small
    U* p = nullptr;
    XDestructor* d = nullptr;
    if (asArray) {
        p = new U[1];
        p[0] = std::move(value);
        d = new XDestructor(p, [p, name]() {
            if (XDestructor::flagDebug) logDebug("...destroy Array of type '$'", *name);
            delete[] p;
        });
    } else {
        p = new U(std::move(value));
        d = new XDestructor(p, [p, name]() {
            if (XDestructor::flagDebug) logDebug("...destroy Object of type '$'", *name);
            delete p;
        });
    }
    m_val = p;
    m_destructor = d;
    m_type = *name;
}

}  // namespace zor
