#pragma once
/// \zclass{XLineGenerator,text} Random test lines of an exact length in Latin, Greek or CJK letters, with words
/// of planned lengths separated by blanks or by punctuation of the chosen script, and a
/// sentence-ending mark at the end. For tests and benchmarks of everything that reads lines.
///
/// Owns its MersenneTwister: unseeded it produces the same lines in every run. One thread at a time.
#include <zor/MersenneTwister.h>
#include <zor/zor_export.h>

#include <QString>
#include <QStringList>
#include <cstdint>

namespace zor {

class ZOR_EXPORT XLineGenerator {
public:
    enum LANG { ASCII = 0, CHINESE_SMALL = 1, CHINESE_FULL = 2, GREEK = 3 };
    /// What a generated line is made of: its length, words, letters and language.
    struct ZOR_EXPORT Params {
        std::uint32_t lineLen = 80;
        std::uint32_t wordLen = 12;  ///< words of 2..wordLen characters; 0: no word breaks (1 is raised to 2)
        bool uppercase = true;
        bool sequence = true;        // letters in alphabet order and breaks from wordDelim, else random letters and blanks
        int lang = ASCII;
        int wordDelim = 0;           ///< index into arWordDelims
        int sentenceEnding = 0;      ///< index into arSentenceEnding
        /// "lineLen:80, wordLen:12, uppercase:true, sequence:true, lang:ASCII, "
        QString toString() const;
    };

    static const QString sWordDelimiterSpaceOnly;
    static const QString sWordDelimiterASCII;
    static const QString sWordDelimiterChin;
    static const QString sWordDelimiterExt;
    static const QString sLineEndingASCII;
    static const QString sLineEndingChin;
    static const QString sLineEndingExt;
    static const QString* const arWordDelims[4];
    static const QString* const arSentenceEnding[3];
    static const QString& getWordDelimiter(int i);  ///< entry 0 (and an error line) when out of range
    static const QString& getSentenceEnding(int i);
    static QString langToString(int lang);

    explicit XLineGenerator(bool seed);

    void iniRandom();  ///< re-seeds from the clock
    QString genLine(const Params& params);
    QStringList genLines(std::uint32_t count, const Params& params);
    static QString elidedLine(const QString& line, int maxLen);  ///< shortened with "..."
    /// Logs "[i] line" (or "[i] line   len:n") for each line at INFO, each cut to maxLen characters.
    static void showLines(const QStringList& lines, bool withLength, int maxLen = 200);
    MersenneTwister& random() { return rnd; }

private:
    QString line(const Params& p, std::uint32_t wordLen, const QString& delims, const QString& endings);
    void check(const Params& p, std::uint32_t& wordLen, const QString*& delims, const QString*& endings) const;

    MersenneTwister rnd;
};

}  // namespace zor
