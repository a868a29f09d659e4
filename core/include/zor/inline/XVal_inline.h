#pragma once
// Inline bodies of XVal's templates.
#include <zor/Logger.h>

#include <new>
#include <type_traits>

namespace zor {

namespace detail {

template <typename T, typename = void>
struct HasXTypeName : std::false_type {};
template <typename T>
struct HasXTypeName<T, std::void_t<decltype(XTypeName<T>::name())>> : std::true_type {};

}  // namespace detail

template <typename T>
void XVal::note(T* p) {
    using U = T;
    m_held = Held::UNKNOWN;
    m_bytes = 0;
    m_object = nullptr;
    m_name = nullptr;
    if constexpr (!std::is_void_v<U>) {
        if (p == nullptr) return;
        m_bytes = static_cast<std::uint32_t>(sizeof(U));
        m_held = Held::OTHER;
        if constexpr (std::is_base_of_v<XObject, U>) {
            m_object = p;
            if constexpr (std::is_base_of_v<XTree, U>)
                m_held = Held::TREE;
            else if constexpr (std::is_same_v<U, XTreeArray>)
                m_held = Held::ARRAY;
            else if constexpr (std::is_same_v<U, XLink>)
                m_held = Held::LINK;
        } else if constexpr (detail::HasXTypeName<U>::value) {
            m_name = &XTypeName<U>::name();
        }
    }
}

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
    note(p);
}

template <typename T>
void XVal::adopt(T* p, const QString& type, XCategory category, XDestructor* destructor) {
    auto* q = const_cast<std::remove_cv_t<T>*>(p);
    adopt(static_cast<void*>(q), type, category, destructor);
    note(q);
}

template <typename T>
T* XVal::valueAs() const {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_base_of_v<XObject, U>) {
        // The object is found through its own base: a cast from the untyped pointer would be
        // wrong for a value of another class.
        return dynamic_cast<T*>(m_object);
    } else {
        // Names are static constants, one per registered name: char and signed char share one.
        if (m_name == nullptr || m_name != &XTypeName<U>::name() || m_bytes != sizeof(U)) return nullptr;
        return static_cast<T*>(m_val);
    }
}

}  // namespace zor
