#pragma once
// XVal: one value slot of a tree: a heap object of a registered type (its name in type()), a
// category, and - when the slot owns the object - an XDestructor that deletes it. A slot owns its
// value exactly when it holds a destructor. Slots are move-only; moving hands over the ownership.
//
//   XVal v;  v.setValMove(QString("text"), false);   // v.getType() == "QString"
//
// One thread at a time; the debug switch is a plain static flag.
#include <zor/XCategory.h>
#include <zor/XDestructor.h>
#include <zor/XTypeSet.h>
#include <zor/zor_export.h>

#include <QString>
#include <cstdint>
#include <utility>

namespace zor {

class XTypeSupporter;

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
    // previous content is destroyed first.
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
    template <typename T>
    T* valueAs() const { return static_cast<T*>(m_val); }

    // The first 32-bit word of the value; 0 with an error line when there is none.
    unsigned int countElements() const;

    QString toString() const;
    QString toStringExtended(const XTypeSupporter& ts) const;
    void showExtended(unsigned int indent, const XTypeSupporter& ts) const;

    static QString categoryToString(XCategory c);
    static QString categoryToString(std::uint8_t code);
    static void setDebug(bool on) { s_debug = on; }
    static bool isDebug() { return s_debug; }

private:
    void setCountElements(unsigned int n);
    void destroyValue();  // kills and deletes the destructor, if any

    QString m_type;
    void* m_val = nullptr;  // not owned by this field: m_destructor owns it
    XCategory m_category = XCategory::SIMPLE;
    XDestructor* m_destructor = nullptr;

    static bool s_debug;
};

}  // namespace zor

#include <zor/inline/XVal_inline.h>
