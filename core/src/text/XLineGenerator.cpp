#include <zor/Logger.h>
#include <zor/XDelimiter.h>
#include <zor/XLineGenerator.h>
#include <zor/XLineInfo.h>

namespace zor {

const QString XLineGenerator::sWordDelimiterSpaceOnly = QStringLiteral(" ");
const QString XLineGenerator::sWordDelimiterASCII = XDelimiter::sDelimAscii;
const QString XLineGenerator::sWordDelimiterChin = QStringLiteral(u"\uFF0E\u3002\u2026");
const QString XLineGenerator::sWordDelimiterExt =
    XDelimiter::sDelimAscii + QStringLiteral(u"\uFF0E\u3002\uFF1A\u2026\u2026\u3002\uFF01\uFF1F");
const QString XLineGenerator::sLineEndingASCII = QStringLiteral(".!?");
const QString XLineGenerator::sLineEndingChin = QStringLiteral(u"\uFF0E\u3002\u2026\u2026");
const QString XLineGenerator::sLineEndingExt = QStringLiteral(".!?") + QStringLiteral(u"\uFF0E\u3002\u2026\u2026");

const QString* const XLineGenerator::arWordDelims[4] = {&sWordDelimiterSpaceOnly, &sWordDelimiterASCII, &sWordDelimiterChin,
                                                        &sWordDelimiterExt};
const QString* const XLineGenerator::arSentenceEnding[3] = {&sLineEndingASCII, &sLineEndingChin, &sLineEndingExt};

const QString& XLineGenerator::getWordDelimiter(int i) {
    if (i < 0 || i >= 4) {
        logError("XLineGenerator::getWordDelimiter, index:$, allowed range:0-3", i);
        return *arWordDelims[0];
    }
    return *arWordDelims[i];
}

const QString& XLineGenerator::getSentenceEnding(int i) {
    if (i < 0 || i >= 3) {
        logError("XLineGenerator::getSentenceEnding, index:$, allowed range:0-2", i);
        return *arSentenceEnding[0];
    }
    return *arSentenceEnding[i];
}

QString XLineGenerator::langToString(int lang) {
    switch (lang) {
    case ASCII: return QStringLiteral("ASCII");
    case CHINESE_SMALL: return QStringLiteral("CHINESE_SMALL");
    case CHINESE_FULL: return QStringLiteral("CHINESE_FULL");
    case GREEK: return QStringLiteral("GREEK");
    default: return QStringLiteral("LANG_UNKNOWN");
    }
}

QString XLineGenerator::Params::toString() const {
    QString s;
    s += xformat("lineLen:$, ", lineLen);
    s += xformat("wordLen:$, ", wordLen);
    s += xformat("uppercase:$, ", uppercase);
    s += xformat("sequence:$, ", sequence);
    s += xformat("lang:$, ", langToString(lang));
    return s;
}

XLineGenerator::XLineGenerator(bool seed) : rnd(false, 65536) {
    if (seed) iniRandom();
}

void XLineGenerator::iniRandom() { rnd.init(); }

void XLineGenerator::check(const Params& p, std::uint32_t& wordLen, const QString*& delims,
                           const QString*& endings) const {
    wordLen = p.wordLen;
    if (wordLen == 1) {
        logError("XLineGenerator::genLine, wordLen == 1, using 2");
        wordLen = 2;
    }
    delims = &getWordDelimiter(p.wordDelim);
    endings = &getSentenceEnding(p.sentenceEnding);
}

QString XLineGenerator::line(const Params& p, std::uint32_t wordLen, const QString& delims, const QString& endings) {
    QString s;
    if (p.lineLen == 0) return s;
    ushort from = p.uppercase ? 'A' : 'a';
    ushort to = p.uppercase ? 'Z' : 'z';
    if (p.lang == GREEK) {
        from = 0x0391;
        to = 0x03C9;
    } else if (p.lang == CHINESE_SMALL) {
        from = 0x4F00;
        to = 0x520F;
    } else if (p.lang == CHINESE_FULL) {
        from = 0x4E00;
        to = 0x9FFF;
    }
    const unsigned span = unsigned(to) - from + 1;
    s.resize(static_cast<int>(p.lineLen));
    QChar* d = s.data();
    auto drawWord = [&]() -> std::uint32_t { return wordLen == 0 ? 0 : 2 + (rnd.genrand_int32() >> 1) % (wordLen - 1); };
    std::uint32_t planned = drawWord();
    std::uint32_t inWord = 0;
    unsigned next = 0;  // the position in the letter range when writing in sequence
    const std::uint32_t lastPos = p.lineLen - 1;
    for (std::uint32_t pos = 0; pos < lastPos; ++pos) {
        if (planned != 0 && inWord == planned && pos + 2 < p.lineLen) {
            d[pos] = p.sequence ? delims.at(rnd.nextInt(delims.size())) : QChar(' ');
            planned = drawWord();
            inWord = 0;
            continue;
        }
        if (p.sequence) {
            d[pos] = QChar(static_cast<ushort>(from + next));
            next = (next + 1) % span;
        } else {
            d[pos] = QChar(static_cast<ushort>(from + static_cast<unsigned>(rnd.nextInt()) % span));
        }
        ++inWord;
    }
    d[lastPos] = endings.at(rnd.nextInt(endings.size()));
    return s;
}

QString XLineGenerator::genLine(const Params& p) {
    std::uint32_t wordLen = 0;
    const QString* delims = nullptr;
    const QString* endings = nullptr;
    check(p, wordLen, delims, endings);
    return line(p, wordLen, *delims, *endings);
}

QStringList XLineGenerator::genLines(std::uint32_t count, const Params& p) {
    std::uint32_t wordLen = 0;
    const QString* delims = nullptr;
    const QString* endings = nullptr;
    check(p, wordLen, delims, endings);  // one log line for bad parameters, not one per line
    QStringList lines;
    lines.reserve(static_cast<int>(std::min<std::uint32_t>(count, 1u << 20)));
    for (std::uint32_t i = 0; i < count; ++i) lines << line(p, wordLen, *delims, *endings);
    return lines;
}

QString XLineGenerator::elidedLine(const QString& l, int maxLen) { return XLineInfo::elidedText(l, maxLen); }

void XLineGenerator::showLines(const QStringList& lines, bool withLength, int maxLen) {
    for (int i = 0; i < lines.size(); ++i) {
        if (withLength) logInfo("[$] $   len:$", i, elidedLine(lines.at(i), maxLen), lines.at(i).size());
        else logInfo("[$] $", i, elidedLine(lines.at(i), maxLen));
    }
}

}  // namespace zor
