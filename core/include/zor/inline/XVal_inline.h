#pragma once
/// \zfile{xtree} Inline bodies of XVal's templates.
#include <zor/Logger.h>

#include <new>
#include <type_traits>

namespace zor {

namespace detail {

template <typename T, typename = void>
struct HasXTypeName : std::false_type {};
template <typename T>
struct HasXTypeName<T, std::void_t<decltype(XTypeName<T>::name())>> : std::true_type {};

/// The place of a type among the library's simple types, in the registry's order (1-26), 0 for others.
template <typename U>
constexpr std::uint8_t simpleTypeCode() {
    using std::is_same_v;
    if constexpr (is_same_v<U, bool>)
        return 1;
    else if constexpr (is_same_v<U, char> || is_same_v<U, signed char>)
        return 2;
    else if constexpr (is_same_v<U, unsigned char>)
        return 3;
    else if constexpr (is_same_v<U, short>)
        return 4;
    else if constexpr (is_same_v<U, unsigned short>)
        return 5;
    else if constexpr (is_same_v<U, int>)
        return 6;
    else if constexpr (is_same_v<U, unsigned int>)
        return 7;
    else if constexpr (is_same_v<U, long long>)
        return 8;
    else if constexpr (is_same_v<U, unsigned long long>)
        return 9;
    else if constexpr (is_same_v<U, float>)
        return 10;
    else if constexpr (is_same_v<U, double>)
        return 11;
    else if constexpr (is_same_v<U, Vector2>)
        return 12;
    else if constexpr (is_same_v<U, Vector3>)
        return 13;
    else if constexpr (is_same_v<U, Vector4>)
        return 14;
    else if constexpr (is_same_v<U, Matrix2>)
        return 15;
    else if constexpr (is_same_v<U, Matrix3>)
        return 16;
    else if constexpr (is_same_v<U, Matrix4>)
        return 17;
    else if constexpr (is_same_v<U, QPoint>)
        return 18;
    else if constexpr (is_same_v<U, QPointF>)
        return 19;
    else if constexpr (is_same_v<U, QRect>)
        return 20;
    else if constexpr (is_same_v<U, QRectF>)
        return 21;
    else if constexpr (is_same_v<U, QSize>)
        return 22;
    else if constexpr (is_same_v<U, QSizeF>)
        return 23;
    else if constexpr (is_same_v<U, QMargins>)
        return 24;
    else if constexpr (is_same_v<U, QMarginsF>)
        return 25;
    else if constexpr (is_same_v<U, QString>)
        return 26;
    else
        return 0;
}

/// Whether a value lives in the slot's own bytes: small, and movable by copying its bytes (QString
/// is: it is one pointer to shared data).
template <typename U>
constexpr bool storedInSlot() {
    return sizeof(U) <= XVal::kLocalBytes && alignof(U) <= 8 && !std::is_base_of_v<XObject, U> &&
           (std::is_trivially_copyable_v<U> || std::is_same_v<U, QString>);
}

template <typename U>
void destroyValueAs(void* p, XValKind::Store how) {
    if (XDestructor::flagDebug) {
        if constexpr (HasXTypeName<U>::value)
            logDebug(how == XValKind::HEAP_ARRAY ? "...destroy Array of type '$'" : "...destroy Object of type '$'",
                     XTypeName<U>::name());
    }
    U* u = static_cast<U*>(p);
    switch (how) {
        case XValKind::LOCAL:
            u->~U();
            break;
        case XValKind::HEAP:
            delete u;
            break;
        case XValKind::HEAP_ARRAY:
            delete[] u;
            break;
        default:
            break;
    }
}

}  // namespace detail

template <typename T>
const detail::XValKind* XVal::kindOf() {
    using U = T;
    using detail::XValKind;
    static const XValKind kind{[] {
                                   if constexpr (detail::HasXTypeName<U>::value && !std::is_base_of_v<XObject, U>)
                                       return &XTypeName<U>::name();
                                   else
                                       return static_cast<const QString*>(nullptr);
                               }(),
                               static_cast<std::uint32_t>(sizeof(U)),
                               std::is_base_of_v<XTree, U>     ? XValKind::TREE
                               : std::is_same_v<U, XTreeArray> ? XValKind::ARRAY
                               : std::is_same_v<U, XLink>      ? XValKind::LINK
                                                               : XValKind::OTHER,
                               detail::simpleTypeCode<U>(),
                               std::is_trivially_destructible_v<U>,
                               &detail::destroyValueAs<U>};
    return &kind;
}

template <typename T>
void XVal::note(T* p) {
    using U = T;
    m_kind = nullptr;
    m_local.held.object = nullptr;
    if constexpr (!std::is_void_v<U>) {
        if (p == nullptr) return;
        m_kind = kindOf<U>();
        if constexpr (std::is_base_of_v<XObject, U>) m_local.held.object = p;
    }
}

template <typename T>
void XVal::setValMove(T&& value, bool asArray) {
    using U = std::remove_cv_t<std::remove_reference_t<T>>;
    if (destructor() != nullptr && s_debug) logDebug("XVal::setValMove, destruc ????");
    destroyValue();
    const QString& name = XTypeName<U>::name();
    if constexpr (detail::storedInSlot<U>()) {
        if (!asArray) {
            m_val = new (m_local.bytes) U(std::move(value));
            m_store = Store::LOCAL;
            m_kind = kindOf<U>();
            m_type = name;
            return;
        }
    }
    U* p = nullptr;
    if (asArray) {
        p = new U[1];
        p[0] = std::move(value);
        m_store = Store::HEAP_ARRAY;
    } else {
        p = new U(std::move(value));
        m_store = Store::HEAP;
    }
    m_val = p;
    m_type = name;
    m_local.held.destructor = nullptr;
    note(p);
}

template <typename T>
T* XVal::emplaceLocal(const QString& type) {
    static_assert(detail::storedInSlot<T>(), "only small values live in the slot");
    destroyValue();
    T* p = new (m_local.bytes) T();
    m_val = p;
    m_store = Store::LOCAL;
    m_kind = kindOf<T>();
    m_type = type;
    return p;
}

template <typename T>
void XVal::adopt(T* p, const QString& type, XCategory category, XDestructor* destructor) {
    auto* q = const_cast<std::remove_cv_t<T>*>(p);
    adopt(static_cast<void*>(q), type, category, destructor);
    note(q);
}

template <typename T>
void XVal::own(T* p, const QString& type, XCategory category) {
    destroyValue();
    m_type = type;
    m_category = category;
    if (p == nullptr) return;
    m_val = p;
    m_store = Store::HEAP;
    note(p);
}

template <typename T>
T* XVal::valueAs() const {
    using U = std::remove_cv_t<T>;
    if constexpr (std::is_base_of_v<XObject, U>) {
        // The object is found through its own base: a cast from the untyped pointer would be
        // wrong for a value of another class.
        return dynamic_cast<T*>(object());
    } else {
        // Names are static constants, one per registered name: char and signed char share one.
        if (m_kind == nullptr || m_kind->name != &XTypeName<U>::name() || m_kind->size != sizeof(U)) return nullptr;
        return static_cast<T*>(m_val);
    }
}

}  // namespace zor
