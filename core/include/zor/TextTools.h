#pragma once
/// \zfile{text} Free text helpers: digit counts, byte sizes written as text ("10 MB"), numeric character
/// references, and the three ways of replacing variables in a text:
///
/// - replaceEnv: `$(NAME)` from the process environment (getEnv). Texts that are empty or begin
///   with a blank, a control character or a non-ASCII character are returned unchanged. A '$' not
///   followed by '(' is dropped ("$$" gives "$"); an unset or empty variable stays as written; a
///   reference that the text ends inside is dropped.
/// - replace_variables: `$(NAME)` resolved by the caller's function; a result equal to the name
///   means unknown and keeps the reference (names beginning with '#' are removed). A reference that
///   is never closed is kept as written.
/// - replaceVariables: `${NAME}` from a map, on the Latin-1 form of the text; unknown names are kept
///   or removed. A reference that is never closed is kept as written.
///
/// Thread-safe (replaceEnv reads the environment, which must not change meanwhile).
#include <zor/zor_export.h>

#include <QChar>
#include <QString>
#include <functional>
#include <map>

namespace zor {

/// Decimal digits of the magnitude; 0 gives 0.
ZOR_EXPORT int countDigits(long long v);
ZOR_EXPORT int countDigits(unsigned long long v);
inline int countDigits(int v) { return countDigits(static_cast<long long>(v)); }
inline int countDigits(long v) { return countDigits(static_cast<long long>(v)); }
inline int countDigits(unsigned int v) { return countDigits(static_cast<unsigned long long>(v)); }
inline int countDigits(unsigned long v) { return countDigits(static_cast<unsigned long long>(v)); }

/// "4096", "10 MB", "1,5kb": a number with an optional decimal unit kb, mb, gb, tb, pb (any case),
/// truncated to a 64-bit integer of which the low 32 bits are the result. Bad text: 0 and a log line.
ZOR_EXPORT unsigned int get_bytes_number(const QString& text);

/// `"&#<decimal code>;"`
ZOR_EXPORT QString encode_char(QChar c);
/// Every character above 128, and every character found in specials, as "&#<code>;".
ZOR_EXPORT QString encode_entities(const QString& text, const QString& specials);
/// Every "&#<digits>;" as the character of that code (codes above 0x10FFFF stay as written).
ZOR_EXPORT QString decode_entities(const QString& text);

ZOR_EXPORT QString replaceEnv(const QString& text);
/// The same; with dropQuotes every double quote is removed from the inserted values (the rule for
/// XML attribute values, which cannot hold one).
ZOR_EXPORT QString replaceEnv(const QString& text, bool dropQuotes);
ZOR_EXPORT QString replace_variables(const QString& text, std::function<QString(const QString&)> resolve);
ZOR_EXPORT QString replaceVariables(const QString& text, const std::map<QString, QString>& variables,
                                    bool removeUnknown);

}  // namespace zor
