#pragma once
// The text reading shared by the fromString functions of the whole-number 2D types.
namespace zor {
namespace geotext {

// Splits text at commas, blanks and tabs and reads exactly n base-10 integers into out. Any other
// count, or a token that is no integer, gives false and one warning naming who. A null text is a
// programming error and ends the program.
bool readIntegers(const char* text, long long* out, int n, const char* who);

}  // namespace geotext
}  // namespace zor
