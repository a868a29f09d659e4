#pragma once
/// \zfile{text} Searching raw memory: memSearch finds bytes, memSearchWord finds a whole word (bounded by
/// XDelimiter::pDelimASCII). Case-insensitive searches compare ASCII letters lower-cased; other
/// bytes compare as they are. Results point into pMem, or are null (with one log line for bad
/// arguments: zero lengths, a search longer than the memory, null pointers). Never reads outside
/// pMem[0..memSize). Thread-safe: no state.
#include <zor/zor_export.h>

#include <QString>
#include <cstddef>

namespace zor {

ZOR_EXPORT const char* memSearch(const char* pMem, std::size_t memSize, const char* pSearch, std::size_t lenSearch,
                                 bool ignoreCase = false);
/// Searches the UTF-8 bytes of search.
ZOR_EXPORT const char* memSearch(const char* pMem, std::size_t memSize, const QString& search,
                                 bool ignoreCase = false);
/// The first occurrence of the UTF-8 bytes of word (lower-cased first when ignoreCase) that
/// XDelimiter::isWord accepts with pDelimASCII.
ZOR_EXPORT const char* memSearchWord(const char* pMem, std::size_t memSize, const QString& word,
                                     bool ignoreCase = false);

}  // namespace zor
