#include <zor/Environment.h>
#include <zor/Logger.h>
#include <zor/TextTools.h>

#include <QByteArray>

namespace zor {

int countDigits(unsigned long long v) {
    int n = 0;
    while (v != 0) {
        v /= 10u;
        ++n;
    }
    return n;
}

int countDigits(long long v) {
    // The magnitude in unsigned arithmetic: also right for the smallest value.
    const unsigned long long m = v < 0 ? 0u - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    return countDigits(m);
}

namespace {

// Truncation toward zero to a signed 64-bit integer, then its low 32 bits. A value that has no
// 64-bit form (NaN, infinite, out of range) gives the integer indefinite value, as the processor's
// conversion does, whose low 32 bits are 0.
unsigned int low32OfTruncated(double v) {
    long long i = static_cast<long long>(0x8000000000000000ull);
    if (v >= -9223372036854775808.0 && v < 9223372036854775808.0) i = static_cast<long long>(v);
    return static_cast<unsigned int>(static_cast<unsigned long long>(i) & 0xFFFFFFFFu);
}

}  // namespace

unsigned int get_bytes_number(const QString& text) {
    if (text.size() > 30) {
        logError("zor::get_bytes_number, sNum.length > 30, $ > 30, ", text.size());
        return 0;
    }
    bool ok = false;
    const double whole = text.toDouble(&ok);
    if (ok) return low32OfTruncated(whole);

    QString s = text.toLower();
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    int unitAt = 0;
    while (unitAt < s.size()) {
        const char16_t u = s.at(unitAt).unicode();
        if (!((u >= u'0' && u <= u'9') || u == u'.')) break;
        ++unitAt;
    }
    if (unitAt == 0) {
        logError("zor::get_bytes_number, '$' is not a valid bytes size_range number", text);
        return 0;
    }
    const double number = s.left(unitAt).toDouble(&ok);
    if (!ok) return 0;
    const QString unit = s.mid(unitAt).trimmed();
    if (unit.isEmpty()) return low32OfTruncated(number);
    double factor = 0.0;
    if (unit == QLatin1String("kb")) factor = 1e3;
    else if (unit == QLatin1String("mb")) factor = 1e6;
    else if (unit == QLatin1String("gb")) factor = 1e9;
    else if (unit == QLatin1String("tb")) factor = 1e12;
    else if (unit == QLatin1String("pb")) factor = 1e15;
    else {
        logDebug("zor::get_bytes_number,  unknown symbol <<<$>>>", unit);
        return 0;
    }
    return low32OfTruncated(number * factor);
}

QString encode_char(QChar c) { return QStringLiteral("&#") + QString::number(c.unicode()) + QLatin1Char(';'); }

QString encode_entities(const QString& text, const QString& specials) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c.unicode() > 128 || specials.contains(c)) {
            out += QLatin1String("&#");
            out += QString::number(c.unicode());
            out += QLatin1Char(';');
        } else {
            out += c;
        }
    }
    return out;
}

QString decode_entities(const QString& text) {
    const int n = text.size();
    if (!text.contains(QLatin1String("&#"))) return text;
    QString out;
    out.reserve(n);
    int i = 0;
    while (i < n) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < n && text.at(i + 1) == QLatin1Char('#')) {
            int j = i + 2;
            unsigned long long code = 0;
            while (j < n && text.at(j).unicode() >= '0' && text.at(j).unicode() <= '9') {
                if (code <= 0x10FFFF) code = code * 10 + (text.at(j).unicode() - '0');
                ++j;
            }
            if (j > i + 2 && j < n && text.at(j) == QLatin1Char(';') && code <= 0x10FFFF) {
                if (code <= 0xFFFF) {
                    out += QChar(static_cast<char16_t>(code));
                } else {
                    const char32_t ucs4 = static_cast<char32_t>(code);
                    out += QChar(QChar::highSurrogate(ucs4));
                    out += QChar(QChar::lowSurrogate(ucs4));
                }
                i = j + 1;
                continue;
            }
        }
        out += text.at(i);
        ++i;
    }
    return out;
}

QString replaceEnv(const QString& text) { return replaceEnv(text, false); }

QString replaceEnv(const QString& text, bool dropQuotes) {
    if (text.isEmpty()) return QString();
    if (!text.contains(QLatin1Char('$'))) return text;  // nothing to replace: the text as it is
    const QByteArray in = text.toUtf8();
    if (static_cast<signed char>(in.at(0)) <= 32) return text;
    enum class State { Copy, Dollar, Name };
    State state = State::Copy;
    QByteArray out;
    out.reserve(in.size());
    QByteArray name;
    for (char c : in) {
        switch (state) {
            case State::Copy:
                if (c == '$') {
                    name.clear();
                    state = State::Dollar;
                } else {
                    out.append(c);
                }
                break;
            case State::Dollar:
                if (c == '(') {
                    state = State::Name;
                } else {
                    out.append(c);  // the '$' itself is dropped
                    state = State::Copy;
                }
                break;
            case State::Name:
                if (c == ')') {
                    // A name the environment cannot hold (empty, '=' or a zero byte) is never set.
                    QString value;
                    if (!name.isEmpty() && !name.contains('=') && !name.contains('\0'))
                        value = getEnv(QString::fromUtf8(name));
                    if (!value.isEmpty()) {
                        if (dropQuotes) value.remove(QLatin1Char('"'));
                        out.append(value.toUtf8());
                    } else {
                        out.append("$(");
                        out.append(name);
                        out.append(')');
                    }
                    state = State::Copy;
                } else {
                    name.append(c);
                }
                break;
        }
    }
    // With the length, zero bytes are kept; the mask tells the compiler that the length is never -1
    // (Qt's "up to the zero" marker), which otherwise trips a false out-of-bounds warning.
    return QString::fromUtf8(out.constData(), out.size() & 0x7FFFFFFF);
}

QString replace_variables(const QString& text, std::function<QString(const QString&)> resolve) {
    if (text.isEmpty()) {
        logWarning("::replace_variables, str.isNull() || str.isEmpty()");
        return QString();
    }
    if (!resolve || !text.contains(QLatin1String("$("))) return text;
    const int n = text.size();
    QString out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('$') || i + 1 >= n || text.at(i + 1) != QLatin1Char('(')) {
            out += c;
            continue;
        }
        QString name;
        int j = i + 2;
        while (j < n && text.at(j) != QLatin1Char(')')) {
            if (text.at(j) != QLatin1Char('(')) name += text.at(j);
            ++j;
        }
        if (j >= n) {
            out += text.midRef(i);  // never closed: kept as written
            break;
        }
        const QString value = resolve(name);
        if (value != name) {
            out += value;
        } else {
            logDebug("str::replace_variables - SAME");
            if (!name.startsWith(QLatin1Char('#'))) out += text.midRef(i, j - i + 1);
        }
        i = j;
    }
    return out;
}

QString replaceVariables(const QString& text, const std::map<QString, QString>& variables, bool removeUnknown) {
    const QByteArray in = text.toLatin1();
    const int n = in.size();
    QString out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        const char c = in.at(i);
        if (c != '$' || i + 1 >= n || in.at(i + 1) != '{') {
            out += QLatin1Char(c);
            continue;
        }
        const int close = in.indexOf('}', i + 2);
        if (close < 0) {
            out += QString::fromLatin1(in.constData() + i, n - i);  // never closed: kept as written
            break;
        }
        const QString name = QString::fromLatin1(in.constData() + i + 2, close - i - 2);
        logTest("zor::replaceVariables, name '$'", name);
        const auto it = variables.find(name);
        if (it != variables.end()) {
            out += it->second;
        } else if (!removeUnknown) {
            out += QLatin1String("${");
            out += name;
            out += QLatin1Char('}');
        }
        i = close;
    }
    return out;
}

}  // namespace zor
