#include "framework/core/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <system_error>

namespace framework {

int32_t ClampedSize(std::size_t size) {
    return static_cast<int32_t>(std::min<std::size_t>(size, std::numeric_limits<int32_t>::max()));
}

namespace {

// A written exponent saturates here: far past the range of a double, far from int64 overflow.
constexpr int64_t kExponentLimit = 1'000'000'000'000'000;

} // namespace

int32_t Len(const Text& s) {
    return ClampedSize(s.size());
}

Text Left(const Text& s, int32_t n) {
    if (n <= 0) {
        return {};
    }
    return s.substr(0, std::min(s.size(), static_cast<std::size_t>(n)));
}

Text Right(const Text& s, int32_t n) {
    if (n <= 0) {
        return {};
    }
    const std::size_t count = std::min(s.size(), static_cast<std::size_t>(n));
    return s.substr(s.size() - count);
}

Text Mid(const Text& s, int32_t start, int32_t length) {
    const std::size_t first = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (first >= s.size()) {
        return {};
    }
    if (length < 0) {
        return s.substr(first);
    }
    return s.substr(first, static_cast<std::size_t>(length));
}

std::vector<Text> Split(const Text& s, const Text& delimiter) {
    std::vector<Text> pieces;
    if (delimiter.empty()) {
        // An empty text still gives one (empty) piece, as it does with any other delimiter.
        if (s.empty()) {
            pieces.emplace_back();
            return pieces;
        }
        pieces.reserve(s.size());
        for (char c : s) {
            pieces.emplace_back(1, c);
        }
        return pieces;
    }
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = s.find(delimiter, from);
        if (at == Text::npos) {
            pieces.push_back(s.substr(from));
            return pieces;
        }
        pieces.push_back(s.substr(from, at - from));
        from = at + delimiter.size();
    }
}

int32_t UpperBound(const std::vector<Text>& list) {
    return ClampedSize(list.size()) - 1;
}

double Val(const Text& s) {
    const auto digitsFrom = [&s](std::size_t i) {
        return std::min(s.find_first_not_of("0123456789", i), s.size());
    };
    std::size_t start = std::min(s.find_first_not_of(" \t"), s.size());
    const bool negative = start < s.size() && s[start] == '-';
    start += start < s.size() && (s[start] == '+' || s[start] == '-') ? 1 : 0;
    const std::size_t point = digitsFrom(start);
    std::size_t end = point < s.size() && s[point] == '.' ? digitsFrom(point + 1) : point;
    const std::size_t nonzero = s.find_first_not_of("0.", start);
    if (nonzero >= end) {
        return 0.0; // no digit, or only zeros: never a negative zero
    }
    // Where the first significant digit stands from the point, plus the written exponent: above
    // zero the number is at least 1, so a result out of range overflowed rather than underflowed.
    int64_t order =
        static_cast<int64_t>(point) - static_cast<int64_t>(nonzero) + (nonzero > point ? 1 : 0);
    if (end < s.size() && (s[end] == 'e' || s[end] == 'E')) {
        const bool minus = end + 1 < s.size() && s[end + 1] == '-';
        const std::size_t first = end + 1 + (minus || (end + 1 < s.size() && s[end + 1] == '+'));
        const std::size_t last = digitsFrom(first);
        int64_t written = 0;
        for (std::size_t k = first; k < last; ++k) {
            written = std::min<int64_t>(written * 10 + (s[k] - '0'), kExponentLimit);
        }
        order += minus ? -written : written;
        end = last > first ? last : end;
    }
    double value = 0.0;
    if (std::from_chars(s.data() + start, s.data() + end, value).ec != std::errc()) {
        value = order > 0 ? std::numeric_limits<double>::max() : 0.0;
    }
    return negative && value != 0.0 ? -value : value;
}

Text Str(int32_t value, const Text& pattern) {
    // Widened so that the magnitude of INT32_MIN fits.
    const int64_t wide = value;
    const uint64_t magnitude =
        wide < 0 ? static_cast<uint64_t>(-wide) : static_cast<uint64_t>(wide);
    Text digits = std::to_string(magnitude);
    const bool zero_pattern = !pattern.empty() && std::all_of(pattern.begin(), pattern.end(),
                                                              [](char c) { return c == '0'; });
    if (zero_pattern && digits.size() < pattern.size()) {
        digits.insert(0, pattern.size() - digits.size(), '0');
    }
    // Other patterns ("#" and anything not understood) give the plain digits.
    return value < 0 ? "-" + digits : digits;
}

Text Str(double value, const Text& pattern) {
    if (std::isnan(value)) {
        return "NaN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    if (value == std::trunc(value) && value >= std::numeric_limits<int32_t>::min() &&
        value <= std::numeric_limits<int32_t>::max()) {
        return Str(static_cast<int32_t>(value), pattern);
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return Text(buffer, result.ptr);
}

Text Chr(int32_t code) {
    if (code < 0 || code > 255) {
        return {};
    }
    return Text(1, static_cast<char>(static_cast<unsigned char>(code)));
}

int32_t RuntimeStringCompare(const Text& a, const Text& b) {
    // char_traits<char> orders bytes as unsigned, so 0x80 and above sort after ASCII.
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int32_t RuntimeCvtReal64ToSInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    // Halves go to the even neighbour, as the processor's own conversion does.
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) {
        rounded += 1.0;
    }
    if (rounded >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (rounded <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(rounded);
}

const Text& EndOfLineType::Value() const {
    static const Text eol = "\n";
    return eol;
}

Text EndOfLineType::Operator_Add(const Text& right) const {
    return Value() + right;
}

Text EndOfLineType::Operator_AddRight(const Text& left) const {
    return left + Value();
}

EndOfLineType EndOfLine() {
    return EndOfLineType{};
}

} // namespace framework
