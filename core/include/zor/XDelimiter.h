#pragma once
/// \zclass{XDelimiter,text} Word boundaries. isWord tells whether a range of text, or of raw bytes, is a whole
/// word: its first and last characters are not delimiters and its neighbours are.
///
/// Static only; the delimiter sets are constants, safe to read from any thread.
#include <zor/zor_export.h>

#include <QString>
#include <cstddef>

namespace zor {

class ZOR_EXPORT XDelimiter {
public:
    /// Space, tab and {,;:./}()[]@\+-*/%^#!?<>|&~= with the double quote, the single quote and the
    /// backquote (33 bytes; the slash occurs twice).
    static const char* const pDelimASCII;
    static const QString sDelimAscii;         ///< the characters of pDelimASCII
    static const QString sDelimChinese;       ///< full-width and CJK punctuation (15 characters)
    static const QString sDelimAll;           ///< sDelimAscii followed by sDelimChinese
    static const QString sDelimAll_Sentence;  ///< ".!?" followed by sDelimChinese

    /// text[first..last] is a whole word: both positions lie in the text, delimiters is not empty,
    /// neither end character is a delimiter, and the characters around the range are delimiters
    /// (at the start or the end of the text the first delimiter stands in for the missing one).
    static bool isWord(const QString& text, int first, int last, const QString& delimiters);

    /// The same on bytes for the word at pWord (wordLen bytes) inside pMem (memLen bytes). Outside
    /// the memory the neighbour counts as a space; a zero byte counts as a delimiter. A word that
    /// does not lie inside the memory, or a null pointer: false and an error line.
    static bool isWord(const char* pMem, std::size_t memLen, const char* pWord, std::size_t wordLen,
                       const char* pDelim);
};

}  // namespace zor
