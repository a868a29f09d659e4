#pragma once
/// \zclass{XTypeSupporter,xtree} Knows how to write, read and print every registered value type. Simple types are
/// handled through five process-wide tables (value writer, value reader, array writer, array reader,
/// string maker), filled once when the first supporter is made; trees, arrays and links through the
/// virtual operations below. An application with tree types of its own derives a supporter,
/// registers the names in its XTypeSet and overrides writeTree, readTree and readTreeArray.
///
/// basicTypes() is the standard supporter ("Standard"), made on first use and never destroyed; the
/// tables are filled under a once-flag, so first use from any thread is safe. Supporters are
/// read-only while streams use them.
#include <zor/NameAble.h>
#include <zor/XFunctionMapper.h>
#include <zor/XTypeSet.h>
#include <zor/zor_export.h>

#include <QString>
#include <cstdint>
#include <functional>

namespace zor {

class XDataStream;
class XVal;
class XTreeArray;

class ZOR_EXPORT XTypeSupporter : public NameAble {
public:
    using ValueWriter = std::function<void(XDataStream&, const XVal&)>;
    using ValueReader = std::function<void(XDataStream&, XVal&)>;
    using ArrayWriter = std::function<bool(XDataStream&, const XTreeArray&)>;
    using ArrayReader = std::function<bool(XDataStream&, XVal&, std::uint64_t count)>;
    using StringMaker = std::function<QString(const XVal&)>;

    XTypeSupporter();  ///< named "Standard"
    explicit XTypeSupporter(const QString& name);
    XTypeSupporter(const XTypeSupporter&) = default;
    XTypeSupporter& operator=(const XTypeSupporter&) = default;
    ~XTypeSupporter() override;

    static const XTypeSupporter& basicTypes();

    /// Registers one simple type in all five tables at once; false (with an error line, nothing
    /// changed) when the name is already present.
    static bool addFunctions(const QString& type, ValueWriter vw, ValueReader vr, ArrayWriter aw, ArrayReader ar,
                             StringMaker sm);

    bool hasType(const QString& name) const { return m_types.contains(name); }
    bool isSimpleType(const QString& name) const { return m_types.isTypeSimple(name); }
    bool isTreeType(const QString& name) const { return m_types.isTypeTree(name); }
    bool isArrayType(const QString& name) const { return m_types.isTypeArray(name); }
    bool isLink(const QString& name) const { return XTypeSet::isTypeLink(name); }
    void showKnownTypes(unsigned int indent) const { m_types.showTypes(indent); }
    XTypeSet& typeSet() { return m_types; }
    const XTypeSet& typeSet() const { return m_types; }

    using NameAble::toString;  ///< the name
    QString zorType() const override { return QStringLiteral("zor::XTypeSupporter"); }
    virtual QString arrayAsString(const XTreeArray& array) const;  ///< the elements, at most 16
    virtual bool showArray(const XTreeArray& array, unsigned int indent) const;
    virtual QString toString(const XTreeArray& array) const;
    /// The text of a simple value; empty for types without a string maker.
    virtual QString val_simpleType_as_String(const XVal& slot) const;

    /// The raw size of one element of a simple type in the memory-image array form; 0 for others.
    static std::uint64_t rawElementSize(const QString& type);

protected:
    friend class XDataStream;
    virtual bool writeVal(XDataStream& s, const XVal& slot) const;
    virtual bool readVal(XDataStream& s, const QString& type, XVal& slot) const;
    virtual bool readTreeArray(XDataStream& s, const QString& type, XVal& slot, std::uint64_t count) const;
    virtual bool writeArray(XDataStream& s, const XTreeArray& array) const;
    virtual bool readArray(XDataStream& s, const QString& type, std::uint64_t count, XVal& slot) const;
    virtual bool writeTree(XDataStream& s, const XVal& slot) const;
    virtual bool readTree(XDataStream& s, XVal& slot, const QString& type) const;

    static const XFunctionMapper<ValueWriter>& valueWriters();
    static const XFunctionMapper<ValueReader>& valueReaders();
    static const XFunctionMapper<ArrayWriter>& arrayWriters();
    static const XFunctionMapper<ArrayReader>& arrayReaders();
    static const XFunctionMapper<StringMaker>& stringMakers();

private:
    XTypeSet m_types;
};

}  // namespace zor
