#pragma once
/// \zfile{xtree} Inline bodies of XTree's and XTreeArray's templates.
#include <zor/Logger.h>

#include <type_traits>
#include <utility>

namespace zor {

namespace detail {

template <typename U>
constexpr XCategory categoryOfType() {
    if constexpr (std::is_base_of_v<XTree, U>)
        return XCategory::TREE;
    else if constexpr (std::is_same_v<U, XTreeArray>)
        return XCategory::ARRAY;
    else if constexpr (std::is_same_v<U, XLink>)
        return XCategory::LINK;
    else
        return XCategory::SIMPLE;
}

/// The object a path leads to, or the object that holds its last name (see XTree::pointerFromPath).
struct PathEnd {
    XObject* object = nullptr;  ///< the result itself when lastName is empty, else the container
    QString lastName;
    bool found = false;
};
ZOR_EXPORT PathEnd walkPath(XTree* start, const QString& path, const QString& wantType);
/// Checks an element index given as text; logs and gives false when it is no index of the array.
ZOR_EXPORT bool arrayIndexFromName(const XTreeArray& array, const QString& name, std::uint64_t& index);
ZOR_EXPORT void logGetPointerAtType(const QString& have, const QString& want);
ZOR_EXPORT void logGetPointerAtRange(std::uint64_t index, std::uint64_t size);
ZOR_EXPORT bool getPointerChecks(const XTree& tree, const QString& key, const QString& want, XVal*& slot);
/// A slot whose value is not what its type name says.
ZOR_EXPORT void logHeldMismatch(const QString& key, const QString& type, const QString& want);
/// What get_by_type looks for: the registered name, the size of one array element, and the slot's
/// value as that type (null when it is something else).
struct ByType {
    const QString* name;
    std::size_t elementSize;
    void* (*accept)(const XVal&);
};
ZOR_EXPORT std::vector<void*> collectByType(XTree& tree, const ByType& want, bool recursive, bool arrays);

}  // namespace detail

/// The downcasts are sound: the kind says which class the object was stored as.
inline XTree* XVal::tree() const { return held(Kind::TREE, XCategory::TREE) ? static_cast<XTree*>(object()) : nullptr; }

inline XTreeArray* XVal::array() const {
    return held(Kind::ARRAY, XCategory::ARRAY) ? static_cast<XTreeArray*>(object()) : nullptr;
}

inline XLink* XVal::link() const { return held(Kind::LINK, XCategory::LINK) ? static_cast<XLink*>(object()) : nullptr; }

template <typename T>
void XTree::set(const QString& key, T&& value) {
    using U = std::remove_cv_t<std::remove_reference_t<T>>;
    XVal v;
    if constexpr (std::is_lvalue_reference_v<T>) {
        U copyOfValue(value);
        v.setValMove(std::move(copyOfValue));
    } else {
        v.setValMove(std::move(value));
    }
    v.setCategory(detail::categoryOfType<U>());
    if constexpr (std::is_base_of_v<XObject, U>) static_cast<U*>(v.value())->setParent(this);
    slotFor(key) = std::move(v);
}

template <typename T>
void XTree::setArray(const QString& key, const T* values, std::uint64_t n) {
    setArrayFrom<T>(key, values, n);
}

template <typename T, typename It>
void XTree::setArrayFrom(const QString& key, It values, std::uint64_t n) {
    XTreeArray a;
    if (!a.allocate<T>(n)) {
        logError("XTree::setArray, no memory for $ elements of type '$'", n, XTypeName<T>::name());
        return;
    }
    T* dst = a.getPointerAt<T>(0);
    for (std::uint64_t i = 0; i < n && dst != nullptr; ++i, ++values) dst[i] = *values;
    set(key, std::move(a));
}

template <typename T>
T* XTree::getPointer(const QString& key) {
    XVal* slot = nullptr;
    if (!detail::getPointerChecks(*this, key, XTypeName<T>::name(), slot)) return nullptr;
    T* p = slot->valueAs<T>();
    if (p == nullptr) detail::logHeldMismatch(key, slot->getType(), XTypeName<T>::name());
    return p;
}

template <typename T>
T* XTree::pointerFromPath(const QString& path) {
    const detail::PathEnd end = detail::walkPath(this, path, XTypeName<T>::name());
    if (!end.found) return nullptr;
    if (end.lastName.isEmpty()) {
        if constexpr (std::is_base_of_v<XObject, T>)
            return dynamic_cast<T*>(end.object);
        else
            return nullptr;
    }
    if (auto* tree = dynamic_cast<XTree*>(end.object)) return tree->getPointer<T>(end.lastName);
    if (auto* array = dynamic_cast<XTreeArray*>(end.object)) {
        std::uint64_t index = 0;
        if (!detail::arrayIndexFromName(*array, end.lastName, index)) return nullptr;
        return array->getPointerAt<T>(index);
    }
    logWarning("LAST TOKEN, PROBLEMS !");
    return nullptr;
}

template <typename T>
std::vector<T*> XTree::get_by_type(bool recursive, bool includeArrayElements) {
    const detail::ByType want{&XTypeName<T>::name(), sizeof(T), [](const XVal& v) -> void* { return v.valueAs<T>(); }};
    const std::vector<void*> found = detail::collectByType(*this, want, recursive, includeArrayElements);
    std::vector<T*> out;
    out.reserve(found.size());
    for (void* p : found) out.push_back(static_cast<T*>(p));
    return out;
}

template <typename T>
T* XTreeArray::getPointerAt(std::uint64_t index) {
    const QString& want = XTypeName<T>::name();
    const bool objectView = std::is_same_v<T, XObject> && (isCategoryTree() || isCategoryLink());
    if (!objectView && want != m_type) {
        detail::logGetPointerAtType(m_type, want);
        return nullptr;
    }
    if (index >= m_size || m_array == nullptr) {
        detail::logGetPointerAtRange(index, m_size);
        return nullptr;
    }
    // Trees and links go by what the elements were made as; other element types by their name,
    // which only allocate and adopt set, from the C++ type.
    if constexpr (std::is_same_v<T, XObject> || std::is_same_v<T, XTree> || std::is_same_v<T, XLink>) {
        if constexpr (!std::is_same_v<T, XLink>) {
            if (XTree* t = trees()) return t + index;
        }
        if constexpr (!std::is_same_v<T, XTree>) {
            if (XLink* l = links()) return l + index;
        }
        detail::logGetPointerAtType(m_type, want);
        return nullptr;
    } else {
        return static_cast<T*>(m_array) + index;
    }
}

}  // namespace zor
