// Tokenizer and XTokenizer on arbitrary text and delimiter sets. Besides memory safety it checks
// that Tokenizer gives the tokens of the plain byte rule, and that XTokenizer with returnDelims
// loses no character and keeps its references inside the text.
#include <zor/Tokenizer.h>
#include <zor/XTokenizer.h>

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The byte rule written as plainly as possible.
std::vector<QString> reference(const QString& text, const QString& delimiters, bool returnDelims) {
    const QByteArray t = text.toUtf8();
    const QByteArray d = delimiters.toUtf8();
    std::vector<QString> out;
    QByteArray cur;
    for (char c : t) {
        if (d.contains(c)) {
            if (!cur.isEmpty()) out.push_back(QString::fromUtf8(cur.constData(), cur.size()));
            cur.clear();
            if (returnDelims) out.push_back(QString::fromUtf8(&c, 1));
        } else {
            cur.append(c);
        }
    }
    if (!cur.isEmpty()) out.push_back(QString::fromUtf8(cur.constData(), cur.size()));
    return out;
}

QString decode(const uint8_t* data, size_t size, bool utf16) {
    if (utf16) return QString(reinterpret_cast<const QChar*>(data), static_cast<int>(size / 2));
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t flags = data[0];
    const size_t delimLen = std::min<size_t>(data[1] % 8, size - 2);
    const bool utf16 = flags & 1;
    const bool returnDelims = flags & 2;
    const bool keepStrings = flags & 4;
    const QString delimiters = decode(data + 2, delimLen, utf16 && (flags & 8));
    const QString text = decode(data + 2 + delimLen, size - 2 - delimLen, utf16);

    zor::Tokenizer tok(text, delimiters, returnDelims);
    if (tok.tokens() != reference(text, delimiters, returnDelims)) std::abort();
    while (tok.hasMoreToken()) {
        tok.isNextToken_a_Number();
        tok.peekNextToken();
        tok.nextInt(1);
    }
    tok.nextFloat(0.f);
    for (unsigned int i = 0; i <= tok.size(); ++i) {
        tok.intAt(i, 3);
        tok.ULONG_at(i, 3);
        tok.tokenAt(i);
    }
    for (const zor::TokenString& ts : zor::Tokenizer::get_token_strings(text, delimiters)) (void)ts.text.size();

    zor::XTokenizer x(text, delimiters, returnDelims, keepStrings);
    QString joined;
    int last = 0;
    for (const QStringRef& r : x) {
        if (r.string() != &text || r.position() < last || r.size() <= 0 || r.position() + r.size() > text.size())
            std::abort();
        last = r.position() + r.size();
        joined += r;
    }
    if (returnDelims && joined != text) std::abort();
    x.remove_White_Space_Token();
    while (x) {
        x.is_String(0);
        x.is_RealNumber(1);
        x.is_Operator(-1, QStringLiteral("+-"));
        zor::XTokenizer::get_String(x.currentToken());
        x.nextInt();
    }
    x.putBack();
    x.nextDouble();
    return 0;
}
