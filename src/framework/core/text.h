#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace framework {

// A text is a byte string; one character is one byte. Positions count from 1.
using Text = std::string;

// Positions and lengths are 32-bit; a larger count gives the largest that fits.
int32_t ClampedSize(std::size_t size);

int32_t Len(const Text& s);
// At most n characters from the start; none for n <= 0.
Text Left(const Text& s, int32_t n);
// At most n characters from the end; none for n <= 0.
Text Right(const Text& s, int32_t n);
// At most `length` characters from the 1-based `start`; only the characters present.
Text Mid(const Text& s, int32_t start, int32_t length);
// Pieces between delimiters, delimiters removed, empty pieces kept: n delimiters give n + 1
// pieces. An empty delimiter gives one piece per character.
std::vector<Text> Split(const Text& s, const Text& delimiter);
// Index of the last element; -1 for an empty list.
int32_t UpperBound(const std::vector<Text>& list);
// The number at the start of the text (after leading blanks and tabs): optional sign, digits,
// optional fraction and exponent. 0 when there is none.
double Val(const Text& s);
// Decimal text. Pattern "" plain; a run of '0's ("000") pads with leading zeros to that many
// digits; "#" gives the digits without padding.
Text Str(int32_t value, const Text& pattern = "");
// Whole numbers in the 32-bit range as Str(int32_t); others with up to 15 significant digits.
Text Str(double value, const Text& pattern = "");
// One character of that code (0 to 255).
Text Chr(int32_t code);
// 0 when equal, else negative or positive as the bytes order them.
int32_t RuntimeStringCompare(const Text& a, const Text& b);
// Rounds to nearest; saturates at the 32-bit limits; NaN gives 0.
int32_t RuntimeCvtReal64ToSInt32(double value);

// The platform's line ending.
class EndOfLineType {
public:
    const Text& Value() const;
    // The line ending followed by the text.
    Text Operator_Add(const Text& right) const;
    // The text followed by the line ending.
    Text Operator_AddRight(const Text& left) const;
};
EndOfLineType EndOfLine();

} // namespace framework
