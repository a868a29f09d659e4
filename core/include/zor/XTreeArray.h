#pragma once
/// \zclass{XTreeArray,xtree} A typed array in a tree: `size` contiguous elements of one registered type. Elements
/// of category TREE are XTree objects, of category LINK XLink objects, otherwise plain values of
/// the element type. The array owns its elements (one heap array, released with delete[]); elements
/// that are trees or links have the array as their parent. The array notes which class its
/// elements were made as: trees() and links(), and every walk over elements, go by that note, so
/// a category set to something else (setCategory) never has elements read as the wrong class.
/// \code
///   XTreeArray a;  a.allocate<int>(3);  a.getPointerAt<int>(0)[0] = 7;
/// \endcode
/// Move-only; one thread at a time.
#include <zor/XCategory.h>
#include <zor/XDestructor.h>
#include <zor/XObject.h>
#include <zor/XTypeSet.h>
#include <zor/zor_export.h>

#include <QString>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

namespace zor {

class ZOR_EXPORT XTreeArray : public XObject {
public:
    static const QString str_XTreeArray;  ///< "XTreeArray"

    XTreeArray() = default;
    XTreeArray(XTreeArray&& other) noexcept;
    XTreeArray& operator=(XTreeArray&& other) noexcept;
    XTreeArray(const XTreeArray&) = delete;
    XTreeArray& operator=(const XTreeArray&) = delete;
    ~XTreeArray() override;

    /// Replaces the contents by n default-constructed T (element category: TREE for XTree, LINK
    /// for XLink, else SIMPLE). False, and an empty array, when the memory cannot be had.
    template <typename T>
    bool allocate(std::uint64_t n);
    /// Takes a heap array made with new T[n].
    template <typename T>
    void adopt(T* elements, std::uint64_t n, XCategory c);
    /// Keeps the first n elements, releasing the others; false (nothing changed) when T is not the
    /// element type, n is not below size() or the memory for the smaller array cannot be had.
    template <typename T>
    bool shrink(std::uint64_t n);

    std::uint64_t size() const { return m_size; }
    void* getArray() { return m_array; }
    const void* getArray() const { return m_array; }
    const QString& type() const { return m_type; }
    bool isType(const QString& name) const { return m_type == name; }
    XCategory category() const override { return m_category; }
    void setCategory(XCategory c) { m_category = c; }
    bool isCategorySimple() const { return m_category == XCategory::SIMPLE; }
    bool isCategoryTree() const { return m_category == XCategory::TREE; }
    bool isCategoryArray() const { return m_category == XCategory::ARRAY; }
    bool isCategoryLink() const { return m_category == XCategory::LINK; }
    explicit operator bool() const { return m_size > 0; }
    /// The elements as trees (links): null unless the category is TREE (LINK) and the elements
    /// were made as XTree (XLink) objects.
    XTree* trees() { return isCategoryTree() && m_holds == XCategory::TREE ? static_cast<XTree*>(m_array) : nullptr; }
    const XTree* trees() const { return const_cast<XTreeArray*>(this)->trees(); }
    XLink* links() { return isCategoryLink() && m_holds == XCategory::LINK ? static_cast<XLink*>(m_array) : nullptr; }
    const XLink* links() const { return const_cast<XTreeArray*>(this)->links(); }

    /// Element index as T; null with an error line for a wrong type or an index out of range.
    template <typename T>
    T* getPointerAt(std::uint64_t index);
    template <typename T>
    const T* getPointerAt(std::uint64_t index) const {
        return const_cast<XTreeArray*>(this)->getPointerAt<T>(index);
    }
    XTree* treeAt(std::uint64_t index) { return getPointerAt<XTree>(index); }

    void setParentToChildren();  ///< trees and links of this array get it as parent
    XTree* getTree(const QString& key) override;
    XObject* objectByKey(const QString& key) override;
    QString keyOf(const XObject* child) const override;

    QString toString(const XTypeSupporter& ts) const override;  ///< "XTreeArray<type>, category:n, elements:n"
    QString toStringExtended(const XTypeSupporter& ts) const;   ///< toString and the elements
    void show(const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
              std::int64_t index) const override;
    void toStream(XStringStream& ss, const XTypeSupporter& ts, unsigned int indent, const QString& name, bool arrow,
                  std::int64_t index) const override;
    void showExtended(unsigned int indent, const XTypeSupporter& ts) const;
    void showExtended(unsigned int indent, const QString& name, const XTypeSupporter& ts) const;
    void showTrees(unsigned int indent, const QString& name, std::uint64_t size, const XTypeSupporter& ts) const;
    void toStreamTrees(XStringStream& ss, unsigned int indent, const QString& name, const XTypeSupporter& ts) const;
    void toStream_Extended(XStringStream& ss, unsigned int indent, const QString& name, const XTypeSupporter& ts) const;

protected:
    void _deleteContents();

private:
    void* m_array = nullptr;
    QString m_type;
    void (*m_release)(void* elements) = nullptr;  // deletes the elements: null when not owned
    std::uint64_t m_size = 0;
    XCategory m_category = XCategory::SIMPLE;
    XCategory m_holds = XCategory::SIMPLE;  // TREE or LINK for elements made as XTree or XLink
};

template <typename T>
void XTreeArray::adopt(T* elements, std::uint64_t n, XCategory c) {
    _deleteContents();
    if (elements == nullptr) return;
    m_array = elements;
    m_size = n;
    m_type = XTypeName<T>::name();
    m_category = c;
    // Exactly these classes: the elements are walked with their size.
    m_holds = std::is_same_v<T, XTree>   ? XCategory::TREE
              : std::is_same_v<T, XLink> ? XCategory::LINK
                                         : XCategory::SIMPLE;
    m_release = [](void* e) { delete[] static_cast<T*>(e); };
    setParentToChildren();
}

template <typename T>
bool XTreeArray::allocate(std::uint64_t n) {
    _deleteContents();
    XCategory c = XCategory::SIMPLE;
    if (std::is_same_v<T, XTree>)
        c = XCategory::TREE;
    else if (std::is_same_v<T, XLink>)
        c = XCategory::LINK;
    if (n == 0) {  // an empty array still knows what it holds
        m_type = XTypeName<T>::name();
        m_category = c;
        m_holds = c;
        return true;
    }
    if (n > std::uint64_t(0x7FFFFFFFFFFFFFFF) / sizeof(T)) return false;
    T* p = new (std::nothrow) T[static_cast<std::size_t>(n)];
    if (p == nullptr) return false;
    adopt(p, n, c);
    return true;
}

template <typename T>
bool XTreeArray::shrink(std::uint64_t n) {
    if (n >= m_size || XTypeName<T>::name() != m_type) return false;
    const XCategory c = std::is_same_v<T, XTree>   ? XCategory::TREE
                        : std::is_same_v<T, XLink> ? XCategory::LINK
                                                   : XCategory::SIMPLE;
    if (c != m_holds || m_array == nullptr) return false;
    T* old = static_cast<T*>(m_array);
    if (n == 0) return allocate<T>(0);
    T* p = new (std::nothrow) T[static_cast<std::size_t>(n)];
    if (p == nullptr) return false;
    for (std::uint64_t i = 0; i < n; ++i) p[i] = std::move(old[i]);
    adopt(p, n, m_category);
    return true;
}

}  // namespace zor

#include <zor/XTree.h>  // getPointerAt needs the complete XTree
