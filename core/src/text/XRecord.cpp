#include <zor/Base64.h>
#include <zor/Environment.h>
#include <zor/FatalChecks.h>
#include <zor/Logger.h>
#include <zor/Tokenizer.h>
#include <zor/XRecord.h>
#include <zor/xformat.h>

#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <exception>

namespace zor {

AbstractXRecord::KeyValueFormatter AbstractXRecord::kvAsString = [](const QString& key, const QString& value) {
    return xformat("$: '$'", key, value);
};

AbstractXRecord::~AbstractXRecord() = default;

const QRect XRecord::QRECT_DEFAULT = QRect();
const QPoint XRecord::QPOINT_DEFAULT = QPoint(0, 0);
const QSize XRecord::QSIZE_DEFAULT = QSize(-1, -1);
const QMargins XRecord::QMARGINS_DEFAULT = QMargins(0, 0, 0, 0);
const QRectF XRecord::QRECT_F_DEFAULT = QRectF(0, 0, 0, 0);
const QPointF XRecord::QPOINT_F_DEFAULT = QPointF(0, 0);
const QSizeF XRecord::QSIZE_F_DEFAULT = QSizeF(-1, -1);
const Res XRecord::RES_DEFAULT = Res(640, 480);

namespace {

const QString kArraySeparators = QStringLiteral(", \t");
const QString kComponentSeparators = QStringLiteral(", ");

QString join(std::initializer_list<QString> parts) { return QStringList(parts).join(QLatin1Char(',')); }

// Components of the floating-point geometry setters: six decimals, as the $ rule writes doubles.
QString num(double v) { return xformat("$", v); }

}  // namespace

XRecord::~XRecord() = default;

XRecord& XRecord::operator=(const XRecord& o) {
    // Both filled first: what this record kept elsewhere must not come back over the copy.
    attributes();
    if (this != &o) m_attributes = o.attributes();
    return *this;
}

XRecord& XRecord::operator=(XRecord&& o) noexcept {
    attributes();
    if (this != &o) m_attributes = std::move(o.attributes());
    return *this;
}

// ---- display and text forms

QString XRecord::attributesLoop(
    const std::function<void(QTextStream&, const QString&, const QString&, bool)>& f) const {
    QString out;
    QTextStream stream(&out);
    std::size_t i = 0;
    const auto& map = attributes();
    for (const auto& kv : map) f(stream, kv.first, kv.second, ++i == map.size());
    stream.flush();
    return out;
}

QString XRecord::toStringAttributes() const {
    return attributesLoop([](QTextStream& s, const QString& k, const QString& v, bool last) {
        s << k << ": '" << v << '\'';
        if (!last) s << ", ";
    });
}

QString XRecord::toStringCmd() const {
    return attributesLoop([](QTextStream& s, const QString& k, const QString& v, bool last) {
        s << "--" << k << ' ' << v;
        if (!last) s << ' ';
    });
}

QString XRecord::toStringEnv() const {
    return attributesLoop([](QTextStream& s, const QString& k, const QString& v, bool last) {
        s << k << '=' << v;
        if (!last) s << ' ';
    });
}

QString XRecord::toString() const {
    return QStringLiteral(", attributes:") + QString::number(countAttributes()) + QStringLiteral(", {") +
           toStringAttributes() + QLatin1Char('}');
}

void XRecord::showContents(unsigned int indent, unsigned int level, KeyValueFormatter f) const {
    if (!f) f = AbstractXRecord::kvAsString;
    detail::logAt(level, indent, "$, $ attributes", realTypeAsString(), countAttributes());
    for (const auto& kv : attributes()) {
        const QString value = kv.first.endsWith(QLatin1String("64")) ? base64_decode(kv.second) : kv.second;
        detail::logAt(level, indent, "$", f(kv.first, value));
    }
}

// ---- storage

void XRecord::setString(const QString& key, const QString& value) {
    if (key.isEmpty()) {
        logWarning("XRecord::setString, key == ''");
        return;
    }
    // One search, and a new node is built from both texts at once (no empty value to overwrite).
    attributes().insert_or_assign(key, value);
}

void XRecord::appendString(const QString& key, const QString& value) {
    if (key.isEmpty()) {
        setString(key, value);  // logs
        return;
    }
    // The end is a hint only: a key above every stored one costs one comparison; any other is
    // searched for as usual, and an existing one takes the new value.
    auto& map = attributes();
    const std::size_t before = map.size();
    const auto it = map.try_emplace(map.end(), key, value);
    if (map.size() == before) it->second = value;
}

QString XRecord::getString(const QString& key, const QString& def) const {
    const auto& map = attributes();
    const auto it = map.find(key);
    return it == map.end() ? def : it->second;
}

bool XRecord::isString(const QString& key, const QString& value) const {
    return hasAttribute(key) && getString(key, QString()) == value;
}

QString XRecord::firstKey() const {
    const auto& map = attributes();
    return map.empty() ? QString() : map.begin()->first;
}

std::vector<QString> XRecord::keys() const {
    std::vector<QString> out;
    const auto& map = attributes();
    out.reserve(map.size());
    for (const auto& kv : map) out.push_back(kv.first);
    return out;
}

void XRecord::copyAttributesTo(XRecord* dest) const {
    if (dest == nullptr) nullPointerHandling("libSrc/core/src/tools/xml/XRecord", 212, QStringLiteral("table == NULL"));
    // The record's own clear: a node's clear() empties its children list instead.
    dest->XRecord::clear();
    for (const auto& kv : attributes()) {
        if (kv.first == QLatin1String("name") && kv.second.isEmpty()) continue;
        dest->setString(kv.first, kv.second);
    }
}

QString XRecord::getSetString(const QString& key, const QString& def) {
    if (hasKey(key)) return getString(key, def);
    setString(key, def);
    return def;
}

QString XRecord::getExistingFile(const QString& key, const QString& def) const {
    if (!hasKey(key)) return def;
    const QString name = getString(key, def);
    return !name.isEmpty() && QFileInfo(name).isFile() ? name : def;
}

// ---- typed setters

void XRecord::setBool(const QString& key, bool value) {
    setString(key, value ? QStringLiteral("true") : QStringLiteral("false"));
}
void XRecord::setShort(const QString& key, short value) { setString(key, QString::number(value)); }
void XRecord::setInt(const QString& key, int value) { setString(key, QString::number(value)); }
void XRecord::setUInt(const QString& key, unsigned int value) { setString(key, QString::number(value)); }
void XRecord::setLong(const QString& key, long long value) { setString(key, QString::number(value)); }
void XRecord::setULong(const QString& key, unsigned long long value) { setString(key, QString::number(value)); }
void XRecord::setFloat(const QString& key, float value) { setDouble(key, static_cast<double>(value)); }
void XRecord::setDouble(const QString& key, double value) {
    // The C library's "%f", not Qt's: Qt drops the sign of negative zero, printf keeps it.
    char buffer[400];  // "%f" of the largest double has 309 integer digits
    const int n = std::snprintf(buffer, sizeof buffer, "%f", value);
    setString(key, QString::fromLatin1(buffer, n > 0 ? n : 0));
}

// ---- typed getters

int XRecord::getInt(const QString& key, int def) const {
    if (!hasKey(key)) return def;
    bool ok = false;
    const int v = getString(key, QString()).toInt(&ok, 10);
    return ok ? v : def;
}

short XRecord::getShort(const QString& key, short def) const {
    return static_cast<short>(getInt(key, static_cast<int>(def)));
}

unsigned int XRecord::getUInt(const QString& key, unsigned int def) const {
    return static_cast<unsigned int>(getLong(key, static_cast<long long>(def)));
}

long long XRecord::getLong(const QString& key, long long def) const {
    if (!hasKey(key)) return def;
    bool ok = false;
    const long long v = getString(key, QString()).toLongLong(&ok, 10);
    return ok ? v : def;
}

unsigned long long XRecord::getULong(const QString& key, unsigned long long def) const {
    if (!hasKey(key)) return def;
    bool ok = false;
    const unsigned long long v = getString(key, QString()).toULongLong(&ok, 10);
    return ok ? v : def;
}

double XRecord::getDouble(const QString& key, double def) const {
    if (!hasKey(key)) return def;
    // A conversion that raises is logged and gives the default; one that fails gives 0.
    try {
        return getString(key, QString()).toDouble();
    } catch (const std::exception& e) {
        const char* what = e.what();
        if (what != nullptr && *what != '\0')
            logDebug("XRecord::getDouble - exception:$", what);
        else
            logDebug("XRecord::getDouble - exception");
    } catch (int i) {
        logDebug("XRecord::getDouble - exception, int:$", i);
    } catch (...) {
        logDebug("XRecord::getDouble - unknown exception");
    }
    return def;
}

float XRecord::getFloat(const QString& key, float def) const {
    return static_cast<float>(getDouble(key, static_cast<double>(def)));
}

bool XRecord::getBool(const QString& key, bool def) const {
    if (!hasKey(key)) return def;
    const QString v = getString(key, QString()).toLower();
    if (v == QLatin1String("true") || v == QLatin1String("on")) return true;
    return v.toInt(nullptr, 10) >= 1;
}

// ---- name

bool XRecord::hasName() const {
    return hasKey(QStringLiteral("name")) && !getString(QStringLiteral("name"), QString()).isEmpty();
}

QString XRecord::getName() const { return hasName() ? getString(QStringLiteral("name"), QString()) : QString(); }

// ---- arrays and byte data

bool XRecord::getArrayFloat(const QString& key, float* out, unsigned int n) const {
    if (out == nullptr || !hasKey(key)) return false;
    Tokenizer tok(getString(key, QString()), kArraySeparators);
    if (tok.size() > n) {
        logWarning("XRecord::getArrayFloat, too many tokens, expected $ but we have $, truncate....", n, tok.size());
    } else if (tok.size() < n) {
        logWarning("XRecord::getArrayFloat, too less tokens, expected $ but we have $, fill up with '0' ", n,
                   tok.size());
    }
    for (unsigned int i = 0; i < n; ++i) out[i] = tok.nextFloat(0.0f);
    return true;
}

void XRecord::setArrayFloat(const QString& key, const float* in, unsigned int n) {
    if (in == nullptr) {
        logError("XRecord::setArrayFloat, ar == nullptr");
        return;
    }
    QString text;
    QTextStream s(&text);
    for (unsigned int i = 0; i < n; ++i) {
        if (i > 0) s << ',';
        s << in[i];
    }
    s.flush();
    setString(key, text);
}

std::vector<QString> XRecord::getArrayString(const QString& key) const {
    std::vector<QString> out;
    if (!hasKey(key)) return out;
    const Tokenizer tok(getString(key, QString()), kArraySeparators);
    for (const QString& t : tok.tokens()) out.push_back(t.trimmed());
    return out;
}

bool XRecord::hasArray(const QString& key) const { return getString(key, QString()).contains(QLatin1Char(',')); }

void XRecord::setBase64String(const QString& key, const QString& s) { setString(key, base64_encode(s)); }

QString XRecord::getBase64String(const QString& key, const QString& def) const {
    return hasKey(key) ? base64_decode(getString(key, QString())) : def;
}

void XRecord::setString64(const QString& key, const String64& s) { setString(key, s.toString()); }

void XRecord::setQByteArray(const QString& key, const QByteArray& bytes) {
    QStringList parts;
    parts.reserve(bytes.size());
    for (const char c : bytes) parts << QString::number(static_cast<unsigned char>(c));
    setBase64String(key, parts.join(QStringLiteral(", ")));
}

QByteArray XRecord::getQByteArray(const QString& key) const {
    QByteArray out;
    const Tokenizer tok(getBase64String(key, QString()), QStringLiteral(", "));
    bool warned = false;
    for (const QString& t : tok.tokens()) {
        bool ok = false;
        const unsigned int v = t.toUInt(&ok, 10);
        if (ok && v <= 255) {
            out.append(static_cast<char>(v));
        } else if (!warned) {
            logWarning("XRecord::getQByteArray, key:$, not a byte:'$'", key, t);
            warned = true;
        }
    }
    return out;
}

void XRecord::set_mem(const QString& key, const XMem& mem) {
    const QByteArray bytes =
        mem.isEmpty() ? QByteArray() : QByteArray::fromRawData(mem.mem(), static_cast<int>(mem.size()));
    setString(key, QString::fromLatin1(bytes.toBase64()));
}

XMem XRecord::get_mem(const QString& key) const {
    XMem mem;
    const QString text = getString(key, QString());
    if (text.isEmpty()) return mem;
    const QByteArray bytes = QByteArray::fromBase64(text.toLatin1());
    if (!bytes.isEmpty()) mem.set_raw_data(bytes);
    return mem;
}

void XRecord::set_string_array(const QString& key, const std::vector<QString>& strings) {
    QStringList list;
    list.reserve(static_cast<int>(strings.size()));
    for (const QString& s : strings) list << s;
    XMem mem;
    mem.set_string_array(list);
    set_mem(key, mem);
}

std::vector<QString> XRecord::get_string_array(const QString& key) const {
    std::vector<QString> out;
    if (!hasKey(key)) return out;
    const XMem mem = get_mem(key);
    if (mem.isEmpty()) return out;
    for (const QString& s : mem.get_string_array()) out.push_back(s);
    return out;
}

StringEnum XRecord::getStringEnum(const QString& key, const StringEnum& def) const {
    if (!hasKey(key)) return def;
    const QString text = getString(key, QString());
    if (text.split(QLatin1Char(',')).size() >= 2) return StringEnum(text);
    logWarning("XRecord::getStringEnum, key:$, value:'$' ?", key, text);
    return def;
}

// ---- geometry

bool XRecord::getInts(const QString& key, int* out, int n) const {
    if (!hasKey(key)) return false;
    const Tokenizer tok(getString(key, QString()), kComponentSeparators);
    if (tok.size() != static_cast<unsigned int>(n)) return false;
    for (int i = 0; i < n; ++i) {
        bool ok = false;
        out[i] = tok.tokenAt(static_cast<unsigned int>(i)).toInt(&ok, 10);
        if (!ok) return false;
    }
    return true;
}

bool XRecord::getFloats(const QString& key, float* out, int n) const {
    if (!hasKey(key)) return false;
    const Tokenizer tok(getString(key, QString()), kComponentSeparators);
    if (tok.size() != static_cast<unsigned int>(n)) return false;
    for (int i = 0; i < n; ++i) {
        bool ok = false;
        out[i] = tok.tokenAt(static_cast<unsigned int>(i)).toFloat(&ok);
        if (!ok) return false;
    }
    return true;
}

void XRecord::setQPoint(const QString& key, const QPoint& p) {
    setString(key, join({QString::number(p.x()), QString::number(p.y())}));
}
void XRecord::setQPointF(const QString& key, const QPointF& p) { setString(key, join({num(p.x()), num(p.y())})); }
void XRecord::setQSize(const QString& key, const QSize& s) {
    setString(key, join({QString::number(s.width()), QString::number(s.height())}));
}
void XRecord::setQSizeF(const QString& key, const QSizeF& s) {
    setString(key, join({num(s.width()), num(s.height())}));
}
void XRecord::setQRect(const QString& key, const QRect& r) {
    setString(key, join({QString::number(r.x()), QString::number(r.y()), QString::number(r.width()),
                         QString::number(r.height())}));
}
void XRecord::setQRectF(const QString& key, const QRectF& r) {
    setString(key, join({num(r.x()), num(r.y()), num(r.width()), num(r.height())}));
}
void XRecord::setQMargins(const QString& key, const QMargins& m) {
    setString(key, join({QString::number(m.left()), QString::number(m.top()), QString::number(m.right()),
                         QString::number(m.bottom())}));
}
void XRecord::setRes(const QString& key, const Res& r) {
    setString(key, join({QString::number(r.width), QString::number(r.height)}));
}

QPoint XRecord::getQPoint(const QString& key, const QPoint& def) const {
    int v[2];
    return getInts(key, v, 2) ? QPoint(v[0], v[1]) : def;
}
QPointF XRecord::getQPointF(const QString& key, const QPointF& def) const {
    float v[2];
    return getFloats(key, v, 2) ? QPointF(static_cast<double>(v[0]), static_cast<double>(v[1])) : def;
}
QSize XRecord::getQSize(const QString& key, const QSize& def) const {
    int v[2];
    return getInts(key, v, 2) ? QSize(v[0], v[1]) : def;
}
QSizeF XRecord::getQSizeF(const QString& key, const QSizeF& def) const {
    float v[2];
    return getFloats(key, v, 2) ? QSizeF(static_cast<double>(v[0]), static_cast<double>(v[1])) : def;
}
QRect XRecord::getQRect(const QString& key, const QRect& def) const {
    int v[4];
    return getInts(key, v, 4) ? QRect(v[0], v[1], v[2], v[3]) : def;
}
QRectF XRecord::getQRectF(const QString& key, const QRectF& def) const {
    float v[4];
    return getFloats(key, v, 4) ? QRectF(static_cast<double>(v[0]), static_cast<double>(v[1]),
                                         static_cast<double>(v[2]), static_cast<double>(v[3]))
                                : def;
}
QMargins XRecord::getQMargins(const QString& key, const QMargins& def) const {
    int v[4];
    return getInts(key, v, 4) ? QMargins(v[0], v[1], v[2], v[3]) : def;
}
Res XRecord::getRes(const QString& key, const Res& def) const {
    int v[2];
    return getInts(key, v, 2) ? Res(v[0], v[1]) : def;
}

// ---- filling

bool parseAttributesClassic(const QString& text, XRecord& record) {
    int pos = 0;
    while (pos < text.size()) {
        const int open = text.indexOf(QLatin1Char('"'), pos);
        if (open < 0) {
            if (text.midRef(pos).trimmed().isEmpty()) return true;
            logWarning("zor::parseAttributesClassic, '\"' expected,1");
            return false;
        }
        const Tokenizer toks_Sub(text.mid(pos, open - pos).trimmed(), QStringLiteral("= \t"));
        if (toks_Sub.size() == 0) {
            logWarning("zor::parseAttributesClassic, key, toks_Sub.size() == 0");
            return false;
        }
        const int close = text.indexOf(QLatin1Char('"'), open + 1);
        if (close < 0) {
            logWarning("zor::parseAttributesClassic, '\"' expected,2");
            return false;
        }
        record.setString(toks_Sub.tokenAt(0), text.mid(open + 1, close - open - 1));
        pos = close + 1;
    }
    return true;
}

bool XRecord::fromString(const QString& text, bool entries, bool lineEnds) {
    if (!entries) return parseAttributesClassic(text, *this);
    const Tokenizer entryToks(text, lineEnds ? QStringLiteral(";\n\r") : QStringLiteral(";"));
    for (const QString& raw : entryToks.tokens()) {
        const QString entry = raw.trimmed();
        const int quotes = entry.count(QLatin1Char('"'));
        if (quotes == 0) {
            const Tokenizer kv(entry, QStringLiteral("="), true);
            if (kv.size() != 3 || kv.tokenAt(1) != QLatin1String("=")) continue;
            const QString key = kv.tokenAt(0).trimmed();
            if (!key.isEmpty()) setString(key, kv.tokenAt(2).trimmed());
        } else if (quotes == 2 && entry.endsWith(QLatin1Char('"'))) {
            // key="value": the part before the quote names the key, the quoted part is the value.
            const int open = entry.indexOf(QLatin1Char('"'));
            const Tokenizer keyToks(entry.left(open), QStringLiteral("= "));
            if (keyToks.size() != 1) continue;
            setString(keyToks.tokenAt(0), entry.mid(open + 1, entry.size() - open - 2).trimmed());
        }
        // any other shape is skipped
    }
    return true;
}

void XRecord::fromEnvironment() {
    for (const auto& kv : getEnvironmentMap()) setString(kv.first, kv.second);
}

void XRecord::reset() { logDebug("XRecord::reset_thumb"); }

}  // namespace zor
