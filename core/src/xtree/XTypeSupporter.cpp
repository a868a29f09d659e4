#include <zor/ClockFunctions.h>
#include <zor/Logger.h>
#include <zor/Matrix2.h>
#include <zor/Matrix3.h>
#include <zor/Matrix4.h>
#include <zor/Vector2.h>
#include <zor/Vector3.h>
#include <zor/Vector4.h>
#include <zor/XDataStream.h>
#include <zor/XTree.h>
#include <zor/XTypeSupporter.h>

#include <cstring>
#include <mutex>
#include <new>
#include <type_traits>

namespace zor {

namespace {

struct Tables {
    XFunctionMapper<XTypeSupporter::ValueWriter> valueWriters;
    XFunctionMapper<XTypeSupporter::ValueReader> valueReaders;
    XFunctionMapper<XTypeSupporter::ArrayWriter> arrayWriters;
    XFunctionMapper<XTypeSupporter::ArrayReader> arrayReaders;
    XFunctionMapper<XTypeSupporter::StringMaker> stringMakers;
    QHash<QString, std::uint64_t> rawSizes;
    // The text of element i of an array of a registered simple type (the elements as made).
    QHash<QString, std::function<QString(const void*, std::uint64_t)>> elementTexts;
};

Tables& tables() {
    static Tables* t = new Tables();  // lives for the whole process, like the standard supporter
    return *t;
}

// ---- the single-value encoding of each simple type (big-endian, floats as doubles)

// The Qt geometry types in the fields their QDataStream operators write (version 17): ints for
// the integer types, doubles for the real ones. Spelled out here because the stream buffers its
// bytes and Qt's operators would write around the buffer.
void writeFields(XDataStream& s, const QPoint& v) { s << qint32(v.x()) << qint32(v.y()); }
void writeFields(XDataStream& s, const QSize& v) { s << qint32(v.width()) << qint32(v.height()); }
void writeFields(XDataStream& s, const QRect& v) { s << qint32(v.left()) << qint32(v.top()) << qint32(v.right()) << qint32(v.bottom()); }
void writeFields(XDataStream& s, const QMargins& v) { s << qint32(v.left()) << qint32(v.top()) << qint32(v.right()) << qint32(v.bottom()); }
void writeFields(XDataStream& s, const QPointF& v) { s << v.x() << v.y(); }
void writeFields(XDataStream& s, const QSizeF& v) { s << v.width() << v.height(); }
void writeFields(XDataStream& s, const QRectF& v) { s << v.x() << v.y() << v.width() << v.height(); }
void writeFields(XDataStream& s, const QMarginsF& v) { s << v.left() << v.top() << v.right() << v.bottom(); }

void readFields(XDataStream& s, QPoint& v) { qint32 a = 0, b = 0; s >> a >> b; v = QPoint(a, b); }
void readFields(XDataStream& s, QSize& v) { qint32 a = 0, b = 0; s >> a >> b; v = QSize(a, b); }
void readFields(XDataStream& s, QRect& v) {
    qint32 l = 0, t = 0, r = 0, b = 0;
    s >> l >> t >> r >> b;
    v = QRect(QPoint(l, t), QPoint(r, b));
}
void readFields(XDataStream& s, QMargins& v) {
    qint32 l = 0, t = 0, r = 0, b = 0;
    s >> l >> t >> r >> b;
    v = QMargins(l, t, r, b);
}
void readFields(XDataStream& s, QPointF& v) { double a = 0, b = 0; s >> a >> b; v = QPointF(a, b); }
void readFields(XDataStream& s, QSizeF& v) { double a = 0, b = 0; s >> a >> b; v = QSizeF(a, b); }
void readFields(XDataStream& s, QRectF& v) {
    double x = 0, y = 0, w = 0, h = 0;
    s >> x >> y >> w >> h;
    v = QRectF(x, y, w, h);
}
void readFields(XDataStream& s, QMarginsF& v) {
    double l = 0, t = 0, r = 0, b = 0;
    s >> l >> t >> r >> b;
    v = QMarginsF(l, t, r, b);
}

template <typename T>
void writeOne(XDataStream& s, const T& v) {
    if constexpr (std::is_same_v<T, bool>) s << static_cast<quint8>(v ? 1 : 0);
    else if constexpr (std::is_same_v<T, char>) s << static_cast<qint8>(v);
    else if constexpr (std::is_same_v<T, float>) s << static_cast<double>(v);
    else if constexpr (std::is_same_v<T, QString>) s.write_UTF8_String(v);
    else if constexpr (std::is_arithmetic_v<T>) s << v;
    else writeFields(s, v);
}

template <typename T>
void readOne(XDataStream& s, T& v) {
    if constexpr (std::is_same_v<T, bool>) {
        quint8 b = 0;
        s >> b;
        v = b != 0;
    } else if constexpr (std::is_same_v<T, char>) {
        qint8 c = 0;
        s >> c;
        if (s.status() != QDataStream::Ok) s.fail(QStringLiteral("xRead<char>"));
        v = static_cast<char>(c);
    } else if constexpr (std::is_same_v<T, float>) {
        double d = 0;
        s >> d;
        v = static_cast<float>(d);
    } else if constexpr (std::is_same_v<T, QString>) {
        v = s.readString();
    } else if constexpr (std::is_arithmetic_v<T>) {
        s >> v;
    } else {
        readFields(s, v);
    }
}

// Bytes of one value in the single-value encoding (the least a reader can expect per element).
template <typename T>
constexpr std::uint64_t encodedSize() {
    if constexpr (std::is_same_v<T, bool> || sizeof(T) == 1) return 1;
    else if constexpr (std::is_same_v<T, float>) return 8;
    else if constexpr (std::is_same_v<T, QString>) return 8;
    else if constexpr (std::is_same_v<T, QPointF> || std::is_same_v<T, QSizeF>) return 16;
    else if constexpr (std::is_same_v<T, QRectF> || std::is_same_v<T, QMarginsF>) return 32;
    else if constexpr (std::is_same_v<T, Vector2> || std::is_same_v<T, Vector3> || std::is_same_v<T, Vector4> ||
                       std::is_same_v<T, Matrix2> || std::is_same_v<T, Matrix3> || std::is_same_v<T, Matrix4>)
        return 2 * sizeof(T);  // each float as a double
    else return sizeof(T);
}

// ---- the float tuples of the maths types: N floats, each written as a double

template <typename T, int N>
void writeFloats(XDataStream& s, const T& v) {
    float f[N];
    std::memcpy(f, &v, sizeof f);
    for (float x : f) s << static_cast<double>(x);
}

template <typename T, int N>
void readFloats(XDataStream& s, T& v) {
    float f[N];
    for (float& x : f) {
        double d = 0;
        s >> d;
        x = static_cast<float>(d);
    }
    std::memcpy(&v, f, sizeof f);
}

template <typename T>
QString numberText(const T& v) {
    if constexpr (std::is_same_v<T, bool>) return v ? QStringLiteral("true") : QStringLiteral("false");
    else if constexpr (std::is_same_v<T, char>) return QString(QChar(static_cast<uchar>(v)));
    else if constexpr (std::is_floating_point_v<T>) return QString::number(static_cast<double>(v), 'g', 6);
    else return QString::number(v);
}

QString geometryText(const QPoint& v) { return QStringLiteral("(%1, %2)").arg(v.x()).arg(v.y()); }
QString geometryText(const QPointF& v) { return QStringLiteral("(%1, %2)").arg(v.x()).arg(v.y()); }
QString geometryText(const QSize& v) { return QStringLiteral("(%1 x %2)").arg(v.width()).arg(v.height()); }
QString geometryText(const QSizeF& v) { return QStringLiteral("(%1 x %2)").arg(v.width()).arg(v.height()); }
QString geometryText(const QRect& v) {
    // QRect::width() overflows for corners far apart (a rectangle read from a file can be anything).
    const qint64 w = static_cast<qint64>(v.right()) - v.left() + 1;
    const qint64 h = static_cast<qint64>(v.bottom()) - v.top() + 1;
    return QStringLiteral("(%1, %2, %3 x %4)").arg(v.x()).arg(v.y()).arg(w).arg(h);
}
QString geometryText(const QRectF& v) {
    return QStringLiteral("(%1, %2, %3 x %4)").arg(v.x()).arg(v.y()).arg(v.width()).arg(v.height());
}
QString geometryText(const QMargins& v) {
    return QStringLiteral("(%1, %2, %3, %4)").arg(v.left()).arg(v.top()).arg(v.right()).arg(v.bottom());
}
QString geometryText(const QMarginsF& v) {
    return QStringLiteral("(%1, %2, %3, %4)").arg(v.left()).arg(v.top()).arg(v.right()).arg(v.bottom());
}

// Registers one simple type: Write/Read give its single-value encoding, Text its string form;
// arrays use the memory image (raw) or the single-value encoding, as atomicConsiderByteOrder says.
template <typename T, typename Write, typename Read, typename Text>
void registerType(const QString& name, Write write, Read read, Text text) {
    constexpr bool isString = std::is_same_v<T, QString>;
    auto vw = [write](XDataStream& s, const XVal& slot) {
        const T* v = slot.valueAs<T>();
        write(s, v != nullptr ? *v : T());
    };
    auto vr = [read](XDataStream& s, XVal& slot) {
        T v{};
        read(s, v);
        slot.setValMove(std::move(v));
    };
    auto aw = [write](XDataStream& s, const XTreeArray& a) -> bool {
        (void)write;  // strings are written in Qt's form instead
        const T* p = static_cast<const T*>(a.getArray());
        if (a.size() == 0) return true;
        if (p == nullptr) return false;
        if (!isString && !XDataStream::atomicConsiderByteOrder.load()) {
            const std::uint64_t bytes = a.size() * sizeof(T);
            if (s.writeBigData(reinterpret_cast<const char*>(p), bytes) != static_cast<std::int64_t>(bytes)) {
                logError("writeXArray problems writing $ bytes", format1000(static_cast<long long>(bytes)));
                return false;
            }
            return true;
        }
        for (std::uint64_t i = 0; i < a.size(); ++i) {
            if constexpr (isString) s.writeQtString(p[i]);
            else write(s, p[i]);
        }
        return s.status() == QDataStream::Ok;
    };
    // A count larger than the bytes can hold gives the elements that are there, and so does a
    // stream that ends early: the array keeps the elements read whole. The stream notes the damage.
    auto ar = [read, name](XDataStream& s, XVal& slot, std::uint64_t count) -> bool {
        (void)read;  // strings are read in Qt's form instead
        const bool raw = !isString && !XDataStream::atomicConsiderByteOrder.load();
        const std::uint64_t each = isString ? 4 : raw ? sizeof(T) : encodedSize<T>();
        const std::uint64_t n = s.elementsThatFit(count, each, "elements");
        auto* a = new XTreeArray();
        slot.own(a, XTypeSet::str_XTreeArray, XCategory::ARRAY);
        if (!a->allocate<T>(n)) {
            s.fail(xformat("readTheElements<$>, no memory for $ elements", name, n));
            return true;
        }
        T* p = static_cast<T*>(a->getArray());
        if (n == 0) return true;
        std::uint64_t whole = n;
        if (raw) {
            const std::uint64_t bytes = n * sizeof(T);
            const std::int64_t r = s.readBigData(reinterpret_cast<char*>(p), bytes);
            if (r == -1) s.fail(xformat("readTheElements<$>, r == -1", name));
            else if (static_cast<std::uint64_t>(r) != bytes)
                s.fail(xformat("readTheElements<$>, r != sz, $ != $", name, r, bytes));
            whole = r > 0 ? static_cast<std::uint64_t>(r) / sizeof(T) : 0;
            if constexpr (std::is_same_v<T, bool>) {
                // Only 0 and 1 are bools: any other byte from outside is taken as true.
                auto* b = reinterpret_cast<unsigned char*>(p);
                for (std::uint64_t i = 0; i < whole; ++i) b[i] = b[i] != 0 ? 1 : 0;
            }
        } else {
            for (whole = 0; whole < n; ++whole) {
                if constexpr (isString)
                    p[whole] = s.readQtString();
                else
                    read(s, p[whole]);
                if (s.hasFailed()) break;
            }
        }
        if (whole < n) a->shrink<T>(whole);
        return true;
    };
    auto sm = [text](const XVal& slot) -> QString {
        const T* v = slot.valueAs<T>();
        return v != nullptr ? text(*v) : QString();
    };
    auto et = [text](const void* elements, std::uint64_t i) { return text(static_cast<const T*>(elements)[i]); };
    if (XTypeSupporter::addFunctions(name, vw, vr, aw, ar, sm)) {
        tables().rawSizes.insert(name, isString ? 0 : sizeof(T));
        tables().elementTexts.insert(name, et);
    }
}

template <typename T>
void registerNumber(const QString& name) {
    registerType<T>(name, &writeOne<T>, &readOne<T>, &numberText<T>);
}

template <typename T>
void registerGeometry(const QString& name) {
    registerType<T>(name, &writeOne<T>, &readOne<T>, [](const T& v) { return geometryText(v); });
}

template <typename T, int N>
void registerFloatTuple(const QString& name) {
    static_assert(sizeof(T) == N * sizeof(float) && std::is_trivially_copyable_v<T>,
                  "the maths types are plain float tuples");
    registerType<T>(name, &writeFloats<T, N>, &readFloats<T, N>, [](const T& v) { return v.toString(); });
}

void registerMathTypes() {
    registerFloatTuple<Vector2, 2>(XTypeSet::str_Vector2);
    registerFloatTuple<Vector3, 3>(XTypeSet::str_Vector3);
    registerFloatTuple<Vector4, 4>(XTypeSet::str_Vector4);
    registerFloatTuple<Matrix2, 4>(XTypeSet::str_Matrix2);
    registerFloatTuple<Matrix3, 9>(XTypeSet::str_Matrix3);
    registerFloatTuple<Matrix4, 16>(XTypeSet::str_Matrix4);
}

void fillTables() {
    registerNumber<bool>(XTypeSet::str_bool);
    registerNumber<char>(XTypeSet::str_int8);
    registerNumber<quint8>(XTypeSet::str_uint8);
    registerNumber<qint16>(XTypeSet::str_int16);
    registerNumber<quint16>(XTypeSet::str_uint16);
    registerNumber<qint32>(XTypeSet::str_int32);
    registerNumber<quint32>(XTypeSet::str_uint32);
    registerNumber<qint64>(XTypeSet::str_int64);
    registerNumber<quint64>(XTypeSet::str_uint64);
    registerNumber<float>(XTypeSet::str_float);
    registerNumber<double>(XTypeSet::str_double);
    registerGeometry<QPoint>(XTypeSet::str_QPoint);
    registerGeometry<QPointF>(XTypeSet::str_QPointF);
    registerGeometry<QRect>(XTypeSet::str_QRect);
    registerGeometry<QRectF>(XTypeSet::str_QRectF);
    registerGeometry<QSize>(XTypeSet::str_QSize);
    registerGeometry<QSizeF>(XTypeSet::str_QSizeF);
    registerGeometry<QMargins>(XTypeSet::str_QMargins);
    registerGeometry<QMarginsF>(XTypeSet::str_QMarginsF);
    registerType<QString>(XTypeSet::str_QString, &writeOne<QString>, &readOne<QString>,
                          [](const QString& v) { return v.isNull() ? QStringLiteral("") : v; });
    registerMathTypes();
}

std::once_flag g_filled;

}  // namespace

// ---- the supporter

XTypeSupporter::XTypeSupporter() : XTypeSupporter(QStringLiteral("Standard")) {}

XTypeSupporter::XTypeSupporter(const QString& name) : NameAble(name) { std::call_once(g_filled, fillTables); }

XTypeSupporter::~XTypeSupporter() = default;

const XTypeSupporter& XTypeSupporter::basicTypes() {
    static const XTypeSupporter* const standard = new XTypeSupporter();  // never destroyed
    return *standard;
}

bool XTypeSupporter::addFunctions(const QString& type, ValueWriter vw, ValueReader vr, ArrayWriter aw, ArrayReader ar,
                                  StringMaker sm) {
    Tables& t = tables();
    if (t.valueWriters.contains(type)) {
        logError("XFunctionMapper::addFunction, function <$> already present", type);
        return false;
    }
    t.valueWriters.addFunction(type, std::move(vw));
    t.valueReaders.addFunction(type, std::move(vr));
    t.arrayWriters.addFunction(type, std::move(aw));
    t.arrayReaders.addFunction(type, std::move(ar));
    t.stringMakers.addFunction(type, std::move(sm));
    return true;
}

const XFunctionMapper<XTypeSupporter::ValueWriter>& XTypeSupporter::valueWriters() { return tables().valueWriters; }
const XFunctionMapper<XTypeSupporter::ValueReader>& XTypeSupporter::valueReaders() { return tables().valueReaders; }
const XFunctionMapper<XTypeSupporter::ArrayWriter>& XTypeSupporter::arrayWriters() { return tables().arrayWriters; }
const XFunctionMapper<XTypeSupporter::ArrayReader>& XTypeSupporter::arrayReaders() { return tables().arrayReaders; }
const XFunctionMapper<XTypeSupporter::StringMaker>& XTypeSupporter::stringMakers() { return tables().stringMakers; }

std::uint64_t XTypeSupporter::rawElementSize(const QString& type) {
    basicTypes();
    return tables().rawSizes.value(type, 0);
}

QString XTypeSupporter::val_simpleType_as_String(const XVal& slot) const {
    const StringMaker* f = stringMakers().find(slot.getType());
    return f != nullptr ? (*f)(slot) : QString();
}

QString XTypeSupporter::arrayAsString(const XTreeArray& array) const {
    if (XDataStream::isDebug()) logDebug("XTypeSupporter::arrayAsString");
    if (array.isCategoryTree()) return xformat("$[$]", array.type(), array.size());
    QStringList items;
    constexpr std::uint64_t kShown = 16;
    const std::uint64_t n = qMin(array.size(), kShown);
    if (array.isCategoryLink()) {
        const XLink* links = array.links();
        for (std::uint64_t i = 0; i < n && links != nullptr; ++i) items << links[i].url();
    } else if (array.isCategorySimple()) {
        // The element type's name comes from the C++ type the elements were made as.
        const auto it = tables().elementTexts.constFind(array.type());
        const bool known = it != tables().elementTexts.constEnd() && array.getArray() != nullptr;
        for (std::uint64_t i = 0; i < n && known; ++i) items << (*it)(array.getArray(), i);
    }
    QString s = QLatin1Char('[') + items.join(QStringLiteral(", "));
    if (array.size() > n) s += xformat(", ... ($ elements)", array.size());
    return s + QLatin1Char(']');
}

bool XTypeSupporter::showArray(const XTreeArray& array, unsigned int indent) const {
    detail::logAt(INFO, indent, "XTypeSupporter::showArray, ar.type() '$'", array.type());
    detail::logAt(INFO, indent + 2, "$", arrayAsString(array));
    return true;
}

QString XTypeSupporter::toString(const XTreeArray& array) const {
    return array.toString(*this) + QStringLiteral(", ") + arrayAsString(array);
}

// The payload always fits the record's head (see XDataStream::writtenCategory): a slot without
// the value its labels promise writes an empty one of that kind, so that the record stays readable.
bool XTypeSupporter::writeVal(XDataStream& s, const XVal& slot) const {
    if (const ValueWriter* w = valueWriters().find(slot.getType())) {
        (*w)(s, slot);
        return true;
    }
    if (slot.getType() == XTypeSet::str_XLink) {
        auto* link = slot.valueAs<XLink>();
        if (link == nullptr || !link->isValid()) {
            // Without a target the link keeps the url it has (empty when it never had one).
            logWarning("XTypeSupporter::writeVal, >>> LINK problem");
            s.write_UTF8_String(link != nullptr ? link->url() : QString());
            return link != nullptr;
        }
        link->pointer_to_URL();
        s.write_UTF8_String(link->url());
        return true;
    }
    if (slot.isTree()) return writeTree(s, slot);
    if (slot.isArray() && isArrayType(slot.getType())) {
        const XTreeArray* a = slot.array();
        s.writeQtString(a != nullptr ? a->type() : QString());
        s.writeCount(a != nullptr ? a->size() : 0);
        return a != nullptr && writeArray(s, *a);
    }
    return false;
}

bool XTypeSupporter::writeArray(XDataStream& s, const XTreeArray& array) const {
    if (const ArrayWriter* w = arrayWriters().find(array.type())) {
        if ((*w)(s, array)) return true;
    }
    if (array.type().isEmpty()) {
        logWarning("XTypeSupporter::writeArray, NO TYPE ?");
        return false;
    }
    if (isTreeType(array.type()) && array.isCategoryTree()) {
        const XTree* trees = array.trees();
        for (std::uint64_t i = 0; i < array.size() && trees != nullptr; ++i) s.writeTreeBody(trees[i]);
        return s.status() == QDataStream::Ok;
    }
    if (array.isCategoryLink()) {
        const XLink* links = array.links();
        for (std::uint64_t i = 0; i < array.size() && links != nullptr; ++i) s.write_UTF8_String(links[i].url());
        return s.status() == QDataStream::Ok;
    }
    return false;
}

bool XTypeSupporter::writeTree(XDataStream& s, const XVal& slot) const {
    if (slot.getType() != XTypeSet::str_XTree) return false;
    if (const XTree* t = slot.tree()) return s.writeTreeBody(*t);
    s << static_cast<qint32>(0);  // no tree: an empty one
    return false;
}

bool XTypeSupporter::readVal(XDataStream& s, const QString& type, XVal& slot) const {
    if (const ValueReader* r = valueReaders().find(type)) {
        (*r)(s, slot);
        return true;
    }
    if (isTreeType(type)) {
        readTree(s, slot, type);
        return true;
    }
    if (type == XTypeSet::str_XLink) {
        const QString url = s.readString();
        slot.setValMove(XLink(url));
        slot.setCategory(XCategory::LINK);
        return true;
    }
    if (type == XTypeSet::str_XTreeArray) {
        const QString elementType = s.readQtString();
        const std::uint64_t count = s.readCount();
        if (s.hasFailed()) return true;  // the stream reports it
        return readArray(s, elementType, count, slot);
    }
    return false;
}

bool XTypeSupporter::readArray(XDataStream& s, const QString& type, std::uint64_t count, XVal& slot) const {
    if (const ArrayReader* r = arrayReaders().find(type)) {
        if ((*r)(s, slot, count)) return true;
    }
    if (type == XTypeSet::str_XLink) {
        const std::uint64_t n = s.elementsThatFit(count, 8, "links");
        auto* a = new XTreeArray();
        slot.own(a, XTypeSet::str_XTreeArray, XCategory::ARRAY);
        if (!a->allocate<XLink>(n)) {
            s.fail(xformat("XTypeSupporter::readArray, no memory for $ links", n));
            return true;
        }
        XLink* links = a->links();
        std::uint64_t whole = 0;
        for (; whole < n && links != nullptr; ++whole) {
            links[whole].setURL(s.readString());
            if (s.hasFailed()) break;
        }
        if (whole < n) a->shrink<XLink>(whole);
        return true;
    }
    if (isTreeType(type)) return readTreeArray(s, type, slot, count);
    return false;
}

bool XTypeSupporter::readTreeArray(XDataStream& s, const QString& type, XVal& slot, std::uint64_t count) const {
    if (type != XTypeSet::str_XTree) return false;
    const std::uint64_t n = s.elementsThatFit(count, 4, "trees");
    auto* a = new XTreeArray();
    slot.own(a, XTypeSet::str_XTreeArray, XCategory::ARRAY);
    if (!a->allocate<XTree>(n)) {
        s.fail(xformat("XTypeSupporter::readTreeArray, no memory for $ trees", n));
        return true;
    }
    // The trees begun before the stream ended stay, with what they got.
    XTree* trees = a->trees();
    std::uint64_t begun = 0;
    while (begun < n && trees != nullptr && !s.hasFailed()) s.readTreeBody(trees[begun++]);
    if (begun < n) a->shrink<XTree>(begun);
    return true;
}

bool XTypeSupporter::readTree(XDataStream& s, XVal& slot, const QString& type) const {
    if (type != XTypeSet::str_XTree) return false;
    auto* t = new XTree();
    slot.own(t, XTypeSet::str_XTree, XCategory::TREE);
    return s.readTreeBody(*t);
}

}  // namespace zor
