#pragma once
// XVal: one value slot of a tree: a heap object of a registered type (its name in type()), a
// category, and - when the slot owns the object - an XDestructor that deletes it. A slot owns its
// value exactly when it holds a destructor. Slots are move-only; moving hands over the ownership.
//
//   XVal v;  v.setValMove(QString("text"), false);   // v.getType() == "QString"
//
// The type name and the category are labels that anyone may set. What the value really is, the
// slot notes itself when the value is stored through a typed pointer (setValMove, adopt): the
// typed accessors (valueAs, tree, array, link) go by that note and give null for a value that is
// something else, so a slot whose labels do not fit its value is never read as the wrong type.
//
// One thread at a time; the debug switch is a plain static flag.
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

class ZOR_EXPORT XVal {
public:
    XVal() = default;
    XVal(XVal&& other) noexcept;
    XVal& operator=(XVal&& other) noexcept;
    XVal(const XVal&) = delete;
    XVal& operator=(const XVal&) = delete;
    virtual ~XVal();

    // Replaces the content by a new heap T moved from value (held as a one-element array when
    // asArray is set) and sets the type to T's registered name. The category is left as it is.
    template <typename T>
    void setValMove(T&& value, bool asArray = false);

    // Takes ownership of p (deleted through destroy), with the given type and category. The
    // previous content is destroyed first. A typed pointer lets the typed accessors find the value
    // again; through an untyped one the value is reachable only by value().
    template <typename T>
    void adopt(T* p, const QString& type, XCategory category, XDestructor* destructor);
    void adopt(void* p, const QString& type, XCategory category, XDestructor* destructor);

    const QString& getType() const { return m_type; }
    void setType(const QString& type) { m_type = type; }
    bool isType(const QString& type) const { return m_type == type; }
    XCategory getCategory() const { return m_category; }
    void setCategory(XCategory c) { m_category = c; }
    bool isSimpleType() const { return m_category == XCategory::SIMPLE; }
    bool isTree() const { return m_category == XCategory::TREE; }
    bool isArray() const { return m_category == XCategory::ARRAY; }
    bool isLink() const { return m_category == XCategory::LINK; }
    bool isSamePointer(const void* p) const;  // null p is a fatal check
    bool ownsValue() const { return m_destructor != nullptr; }

    void* value() const { return m_val; }
    // The value as a T, or null when the slot holds no T: for a type with a registered name, a
    // value stored as that type (or as another C++ type of the same name); for the tree classes,
    // an object of that class or one derived from it.
    template <typename T>
    T* valueAs() const;
    // The value as the object the category names: null unless the category is TREE (ARRAY, LINK)
    // and the value is an XTree or a class derived from it (an XTreeArray, an XLink).
    XTree* tree() const;
    XTreeArray* array() const;
    XLink* link() const;
    XObject* object() const { return m_object; }  // the value when it is a tree object, else null

    // The first 32-bit word of the value (of a smaller value, its bytes; of one stored untyped,
    // nothing); 0 with an error line when there is none.
    unsigned int countElements() const;

    QString toString() const;
    QString toStringExtended(const XTypeSupporter& ts) const;
    void showExtended(unsigned int indent, const XTypeSupporter& ts) const;

    static QString categoryToString(XCategory c);
    static QString categoryToString(std::uint8_t code);
    static void setDebug(bool on) { s_debug = on; }
    static bool isDebug() { return s_debug; }

private:
    // What a typed pointer said the value is: one of the tree classes, or another object.
    enum class Held : std::uint8_t { UNKNOWN, OTHER, TREE, ARRAY, LINK };
    template <typename T>
    void note(T* p);  // T without const
    void setCountElements(unsigned int n);
    void destroyValue();  // kills and deletes the destructor, if any
    void forgetValue();   // the value fields only, nothing destroyed

    QString m_type;
    void* m_val = nullptr;  // not owned by this field: m_destructor owns it
    XCategory m_category = XCategory::SIMPLE;
    Held m_held = Held::UNKNOWN;
    std::uint32_t m_bytes = 0;  // the value's size when it was stored typed, else 0
    XDestructor* m_destructor = nullptr;
    XObject* m_object = nullptr;      // the value, when it is a tree object
    const QString* m_name = nullptr;  // the registered name of the C++ type it was stored as

    static bool s_debug;
};

}  // namespace zor

#include <zor/inline/XVal_inline.h>
