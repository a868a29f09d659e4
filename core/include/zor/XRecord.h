#pragma once
/// \zclass{XRecord,xml} The attribute record, an ordered map of text keys to text values with typed getters
/// and setters. Every value is stored as text: a setter writes the text form of its type, a getter
/// parses it again and falls back to the caller's default when the key is missing or the text does
/// not parse (see each getter for the exceptions). Iteration, output and display run in key order
/// (QString's less-than, by UTF-16 code units).
/// \code
///   XRecord r;  r.setInt("width", 640);  r.setDouble("scale", 0.5);   // "640", "0.500000"
///   r.getInt("width", 0) == 640;  r.getInt("missing", -1) == -1;
/// \endcode
/// Keys with a fixed meaning: "name", "enabled", "visible". An empty key is never stored (a warning
/// is logged). The record owns its strings; copying copies the map. Not thread-safe: one thread at
/// a time.
///
/// A subclass may keep its attributes in another form until they are first used (a parsed HTTP
/// head keeps its bytes): while the map is empty, every member that reads or writes it, copying
/// and moving included, first calls the virtual fillAttributes(), which stores them into
/// attributeMap().
#include <zor/AbstractXRecord.h>
#include <zor/Res.h>
#include <zor/String64.h>
#include <zor/StringEnum.h>
#include <zor/XMem.h>
#include <zor/zor_export.h>

#include <QByteArray>
#include <QMargins>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QTextStream>
#include <functional>
#include <map>
#include <vector>

namespace zor {

class ZOR_EXPORT XRecord : public AbstractXRecord {
public:
    /// Defaults for the geometry getters.
    static const QRect QRECT_DEFAULT;        ///< the null rectangle: left 0, top 0, right -1, bottom -1
    static const QPoint QPOINT_DEFAULT;      ///< (0, 0)
    static const QSize QSIZE_DEFAULT;        ///< (-1, -1)
    static const QMargins QMARGINS_DEFAULT;  ///< (0, 0, 0, 0)
    static const QRectF QRECT_F_DEFAULT;     ///< (0, 0, 0, 0)
    static const QPointF QPOINT_F_DEFAULT;   ///< (0, 0)
    static const QSizeF QSIZE_F_DEFAULT;     ///< (-1, -1)
    static const Res RES_DEFAULT;            ///< 640 x 480

    XRecord() = default;
    ~XRecord() override;
    XRecord(const XRecord& o) : AbstractXRecord(o), m_attributes(o.attributes()) {}
    XRecord(XRecord&& o) noexcept : AbstractXRecord(o), m_attributes(std::move(o.attributes())) {}
    XRecord& operator=(const XRecord& o);
    XRecord& operator=(XRecord&& o) noexcept;

    // ---- display and text forms
    /// Logs "<type>, <n> attributes" at level and indent, then one line per attribute made by f
    /// (the value Base64-decoded when the key ends in "64").
    void showContents(unsigned int indent = 0, unsigned int level = DEBUG,
                      KeyValueFormatter f = AbstractXRecord::kvAsString) const override;
    QString toString() const override;            ///< ", attributes:2, {a: '1', b: '2'}"
    QString toStringAttributes() const override;  ///< "a: '1', b: '2'"
    QString realTypeAsString() const override { return QStringLiteral("XRecord"); }
    virtual QString toStringEnv() const;  ///< "a=1 b=2"
    virtual QString toStringCmd() const;  ///< "--a 1 --b 2"

    // ---- storage
    void setString(const QString& key, const QString& value) override;
    /// setString for callers that store keys in ascending order (a loader copying a sorted map): a
    /// key above every stored one goes to the end without a search; any other is stored as usual.
    void appendString(const QString& key, const QString& value);
    QString getString(const QString& key, const QString& def) const override;
    bool hasAttribute(const QString& key) const override { return attributes().count(key) != 0; }
    bool hasKey(const QString& key) const override { return hasAttribute(key); }
    bool isString(const QString& key, const QString& value) const override;
    void removeAttrib(const QString& key) { attributes().erase(key); }
    void clear() override { attributes().clear(); }
    unsigned int countAttributes() const override { return static_cast<unsigned int>(attributes().size()); }
    bool hasAttributes() const override { return countAttributes() != 0; }
    bool isEmpty() const override { return countAttributes() == 0; }
    QString firstKey() const;  ///< the smallest key, or empty
    std::vector<QString> keys() const;
    const std::map<QString, QString>& getAttributes() const { return attributes(); }
    /// Clears dest, then copies every attribute into it, except "name" when that is empty. A null
    /// dest ends the program (fatal check).
    void copyAttributesTo(XRecord* dest) const;
    /// The stored value; when the key is missing, def is stored and returned.
    QString getSetString(const QString& key, const QString& def);
    /// The stored value when it names an existing file, else def.
    QString getExistingFile(const QString& key, const QString& def) const;

    // ---- typed setters: "true"/"false", decimal numbers, "%f" for floating point
    void setBool(const QString& key, bool value) override;
    void setShort(const QString& key, short value) override;
    void setInt(const QString& key, int value) override;
    void setUInt(const QString& key, unsigned int value) override;
    void setLong(const QString& key, long long value) override;
    void setULong(const QString& key, unsigned long long value) override;
    void setFloat(const QString& key, float value) override;
    void setDouble(const QString& key, double value) override;

    // ---- typed getters. The integer ones give def also when the text is not wholly a decimal
    // number; getShort and getUInt cut the result to their width. getDouble and getFloat give 0
    // for a text that is no number (def only for a missing key).
    short getShort(const QString& key, short def) const override;
    int getInt(const QString& key, int def) const override;
    unsigned int getUInt(const QString& key, unsigned int def) const override;
    long long getLong(const QString& key, long long def) const override;
    unsigned long long getULong(const QString& key, unsigned long long def) const override;
    float getFloat(const QString& key, float def) const override;
    double getDouble(const QString& key, double def) const override;
    /// "true" and "on" in any case are true; otherwise a decimal number of 1 or more is.
    bool getBool(const QString& key, bool def) const;
    bool isBool(const QString& key, bool def) const { return getBool(key, def); }

    // ---- name and flags
    void setName(const QString& name) override { setString(QStringLiteral("name"), name); }
    bool hasName() const override;  ///< "name" exists and is not empty
    QString getName() const override;
    bool isName(const QString& name) const override { return hasName() && getName() == name; }
    bool isEnabled(bool def) const override { return getBool(QStringLiteral("enabled"), def); }
    void setEnabled(bool on) override { setBool(QStringLiteral("enabled"), on); }
    bool hasEnabledFlag() const { return hasKey(QStringLiteral("enabled")); }
    bool isVisible(bool def) const { return getBool(QStringLiteral("visible"), def); }
    virtual void setVisible(bool on) { setBool(QStringLiteral("visible"), on); }
    bool hasVisibleFlag() const { return hasKey(QStringLiteral("visible")); }

    // ---- arrays and byte data
    /// n floats from a text split at ',', blank and tab: too many tokens are cut, too few filled
    /// with 0 (each with a warning). False only for a null out or a missing key.
    bool getArrayFloat(const QString& key, float* out, unsigned int n) const;
    void setArrayFloat(const QString& key, const float* in, unsigned int n);  ///< "1,2.5,3"
    std::vector<QString> getArrayString(const QString& key) const;            ///< split at ',', blank, tab
    bool hasArray(const QString& key) const;                                  ///< the text holds a ','
    void setBase64String(const QString& key, const QString& s);
    QString getBase64String(const QString& key, const QString& def) const;
    void setString64(const QString& key, const String64& s);  ///< stores the decoded text
    /// The bytes as "1, 2, 255" in Base64; getQByteArray skips (with one warning) what is no byte.
    void setQByteArray(const QString& key, const QByteArray& bytes);
    QByteArray getQByteArray(const QString& key) const;
    void set_mem(const QString& key, const XMem& mem);                               ///< the bytes in Base64
    XMem get_mem(const QString& key) const;                                          ///< empty when missing
    void set_string_array(const QString& key, const std::vector<QString>& strings);  ///< XMem layout in Base64
    std::vector<QString> get_string_array(const QString& key) const;
    /// def when missing or when the text has fewer than two ','-separated items (with a warning).
    StringEnum getStringEnum(const QString& key, const StringEnum& def) const;
    void setStringEnum(const QString& key, const StringEnum& e) { setString(key, e.text()); }

    // ---- Qt geometry and resolutions: components joined by ',' (x, y, width, height for
    // rectangles; left, top, right, bottom for margins). Getters split at ',' and blank and give
    // def unless there are exactly as many components as the type has, each a number.
    void setQPoint(const QString& key, const QPoint& p);
    void setQPointF(const QString& key, const QPointF& p);
    void setQSize(const QString& key, const QSize& s);
    void setQSizeF(const QString& key, const QSizeF& s);
    void setQRect(const QString& key, const QRect& r);
    void setQRectF(const QString& key, const QRectF& r);
    void setQMargins(const QString& key, const QMargins& m);
    void setRes(const QString& key, const Res& r);  ///< "width,height"
    QPoint getQPoint(const QString& key, const QPoint& def = QPOINT_DEFAULT) const;
    QPointF getQPointF(const QString& key, const QPointF& def = QPOINT_F_DEFAULT) const;
    QSize getQSize(const QString& key, const QSize& def = QSIZE_DEFAULT) const;
    QSizeF getQSizeF(const QString& key, const QSizeF& def = QSIZE_F_DEFAULT) const;
    QRect getQRect(const QString& key, const QRect& def = QRECT_DEFAULT) const;
    QRectF getQRectF(const QString& key, const QRectF& def = QRECT_F_DEFAULT) const;
    QMargins getQMargins(const QString& key, const QMargins& def = QMARGINS_DEFAULT) const;
    Res getRes(const QString& key, const Res& def = RES_DEFAULT) const;

    // ---- filling
    /// With entries false: key="value" pairs (a value holds anything but a double quote). With
    /// entries true: entries key=value or key="value" separated by ';' (and by line ends with
    /// lineEnds); entries of another shape are skipped. False when the pair form met a missing key
    /// or quote (logged; the pairs before it are kept).
    virtual bool fromString(const QString& text, bool entries = false, bool lineEnds = false);
    virtual void fromEnvironment();  ///< every variable of the process environment
    /// Restores a subclass's defaults; the plain record has none and only logs.
    virtual void reset();

protected:
    /// Stores attributes kept in another form into attributeMap(); called while the map is empty by
    /// every member that uses it (an implementation must stop keeping them elsewhere before it
    /// stores, or not store at all). The plain record keeps nothing elsewhere.
    virtual void fillAttributes() const {}
    /// The map as it is, without fillAttributes(): for a subclass's own filling, copying and moving.
    std::map<QString, QString>& attributeMap() const { return m_attributes; }

    /// Calls f(stream, key, value, isLast) for every attribute in key order; returns what f wrote.
    QString attributesLoop(const std::function<void(QTextStream&, const QString&, const QString&, bool)>& f) const;

private:
    // The numbers of a component list, or false unless there are exactly n and each parses.
    bool getInts(const QString& key, int* out, int n) const;
    bool getFloats(const QString& key, float* out, int n) const;

    // The map, filled first when it is empty and a subclass keeps attributes elsewhere.
    std::map<QString, QString>& attributes() const {
        if (m_attributes.empty()) fillAttributes();
        return m_attributes;
    }

    mutable std::map<QString, QString> m_attributes;
};

/// Fills record from key="value" pairs; false (and one log line) at a missing key or quote.
ZOR_EXPORT bool parseAttributesClassic(const QString& text, XRecord& record);

}  // namespace zor
