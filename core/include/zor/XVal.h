#pragma once
/// \zclass{XVal,xtree} One value slot of a tree: a value of a registered type (its name in type()), a category,
/// and the ownership of that value. Slots are move-only; moving hands over the ownership.
/// \code
///   XVal v;  v.setValMove(QString("text"), false);   // v.getType() == "QString"
/// \endcode
/// Storage: a small value (a number, a flag, a string, a vector, a small Qt geometry value: at most
/// 16 bytes that move by copying their bytes) lives inside the slot itself, without an allocation
/// or a destructor object; a larger one, a tree, an array or a link is a heap object that the slot
/// deletes; a value handed over with adopt() is released through the XDestructor given with it.
/// value() points at the value wherever it lives: at the slot's own bytes for a small value, so
/// that pointer follows the slot (slots in a tree stay where they are until their entry goes).
///
/// The type name and the category are labels that anyone may set. What the value really is, the
/// slot notes itself when the value is stored through a typed pointer (setValMove, adopt): the
/// typed accessors (valueAs, tree, array, link) go by that note and give null for a value that is
/// something else, so a slot whose labels do not fit its value is never read as the wrong type.
///
/// One thread at a time; the debug switch is a plain static flag.
#include <zor/XCategory.h>
#include <zor/XDestructor.h>
#include <zor/XTypeSet.h>
#include <zor/zor_export.h>

#include <QString>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace zor {

class XTypeSupporter;
class XObject;
class XTree;
class XTreeArray;
class XLink;
class XDataStream;

namespace detail {

/// What a slot knows of the C++ type it holds: its registered name, its size, which of the tree
/// classes it is, its place among the library's simple types (1-26 in the registry's order, 0 for
/// others) and how it is destroyed where it lives. One constant record per C++ type.
struct XValKind {
    enum Held : std::uint8_t { OTHER, TREE, ARRAY, LINK };
    enum Store : std::uint8_t { NONE, LOCAL, HEAP, HEAP_ARRAY, FOREIGN };
    const QString* name;  ///< null for a type without a registered name
    std::uint32_t size;
    Held held;
    std::uint8_t simple;
    bool trivial;  ///< nothing to do to destroy it in LOCAL storage
    void (*destroy)(void* p, Store how);
};

}  // namespace detail

class ZOR_EXPORT XVal {
public:
    /// Values of at most this many bytes that move by copying their bytes live in the slot.
    static constexpr std::size_t kLocalBytes = 16;

    XVal() = default;
    XVal(XVal&& other) noexcept;
    XVal& operator=(XVal&& other) noexcept;
    XVal(const XVal&) = delete;
    XVal& operator=(const XVal&) = delete;
    virtual ~XVal();

    /// Replaces the content by a T moved from value (held as a one-element heap array when asArray
    /// is set) and sets the type to T's registered name. The category is left as it is.
    template <typename T>
    void setValMove(T&& value, bool asArray = false);

    /// Takes ownership of p (released through destructor; a null destructor leaves p unowned),
    /// with the given type and category. The previous content is destroyed first. A typed pointer
    /// lets the typed accessors find the value again; through an untyped one the value is reachable
    /// only by value().
    template <typename T>
    void adopt(T* p, const QString& type, XCategory category, XDestructor* destructor);
    void adopt(void* p, const QString& type, XCategory category, XDestructor* destructor);
    /// Takes ownership of p, made with new T: the slot deletes it. The previous content is
    /// destroyed first.
    template <typename T>
    void own(T* p, const QString& type, XCategory category);

    const QString& getType() const { return m_type; }
    void setType(const QString& type) { m_type = type; }
    bool isType(const QString& type) const { return m_type == type; }
    XCategory getCategory() const { return m_category; }
    void setCategory(XCategory c) { m_category = c; }
    bool isSimpleType() const { return m_category == XCategory::SIMPLE; }
    bool isTree() const { return m_category == XCategory::TREE; }
    bool isArray() const { return m_category == XCategory::ARRAY; }
    bool isLink() const { return m_category == XCategory::LINK; }
    bool isSamePointer(const void* p) const;  ///< null p is a fatal check
    bool ownsValue() const {
        return m_store == Store::LOCAL || m_store == Store::HEAP || m_store == Store::HEAP_ARRAY ||
               destructor() != nullptr;
    }

    void* value() const { return m_val; }
    /// The value as a T, or null when the slot holds no T: for a type with a registered name, a
    /// value stored as that type (or as another C++ type of the same name); for the tree classes,
    /// an object of that class or one derived from it.
    template <typename T>
    T* valueAs() const;
    /// The value as the object the category names: null unless the category is TREE (ARRAY, LINK)
    /// and the value is an XTree or a class derived from it (an XTreeArray, an XLink).
    /// (Inline, in XTree_inline.h, where the classes are complete.)
    XTree* tree() const;
    XTreeArray* array() const;
    XLink* link() const;
    /// The value when it is a tree object, else null.
    XObject* object() const { return m_store >= Store::HEAP ? m_local.held.object : nullptr; }

    /// The first 32-bit word of the value (of a smaller value, its bytes; of one stored untyped,
    /// nothing); 0 with an error line when there is none.
    unsigned int countElements() const;

    QString toString() const;
    QString toStringExtended(const XTypeSupporter& ts) const;
    void showExtended(unsigned int indent, const XTypeSupporter& ts) const;

    static QString categoryToString(XCategory c);
    static QString categoryToString(std::uint8_t code);
    static void setDebug(bool on) { s_debug = on; }
    static bool isDebug() { return s_debug; }

private:
    friend class XDataStream;  // reads and writes the library's simple values in place
    using Kind = detail::XValKind;
    using Store = Kind::Store;

    template <typename T>
    static const Kind* kindOf();
    template <typename T>
    void note(T* p);  // T without const
    // The kind of the value when it is one of the library's simple types, else null.
    const Kind* simpleKind() const { return m_kind != nullptr && m_kind->simple != 0 ? m_kind : nullptr; }
    bool held(Kind::Held h, XCategory c) const {
        return m_category == c && m_kind != nullptr && m_kind->held == h && object() != nullptr;
    }
    XDestructor* destructor() const { return m_store == Store::FOREIGN ? m_local.held.destructor : nullptr; }
    // A value of the library's simple type T in the slot's own bytes, replacing the content; the
    // category is left as it is.
    template <typename T>
    T* emplaceLocal(const QString& type);
    void setCountElements(unsigned int n);
    void destroyValue();  // releases the value as it is stored, and forgets it
    void forgetValue();   // the value fields only, nothing destroyed

    QString m_type;
    void* m_val = nullptr;         // at m_local.bytes for a value stored in the slot
    const Kind* m_kind = nullptr;  // what a typed pointer said the value is; null when unknown
    XCategory m_category = XCategory::SIMPLE;
    Store m_store = Store::NONE;
    // The value itself (LOCAL), or what the slot keeps of a heap value (HEAP, HEAP_ARRAY, FOREIGN).
    union Local {
        alignas(8) unsigned char bytes[kLocalBytes];
        struct {
            XDestructor* destructor;  ///< FOREIGN: releases the value (null: not owned)
            XObject* object;          ///< the value when it is a tree object
        } held;
    } m_local{};

    static bool s_debug;
};

}  // namespace zor

#include <zor/XTree.h>  // tree(), array() and link() need the classes they give
#include <zor/inline/XVal_inline.h>
