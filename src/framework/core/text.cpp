#include "framework/core/text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string_view>
#include <system_error>

namespace framework {

namespace {

// Positions and lengths are 32-bit; a longer text reports the largest count that fits.
int32_t ClampedSize(std::size_t size) {
    return size > static_cast<std::size_t>(std::numeric_limits<int32_t>::max())
               ? std::numeric_limits<int32_t>::max()
               : static_cast<int32_t>(size);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Enough significant digits to round any decimal to the nearest double; digits past this are
// folded into one sticky digit, so a huge run of digits costs a single pass and no allocation.
constexpr std::size_t kMaxSignificantDigits = 800;
// A written exponent saturates here: far past the range of a double, far from int64 overflow.
constexpr int64_t kExponentLimit = 1'000'000'000'000'000;
// With a nonzero leading digit, 0.<digits>e(exponent) is above the largest double past this
// exponent and below the smallest one under its negative.
constexpr int64_t kDoubleExponentReach = 400;

} // namespace

int32_t Len(const Text &s) {
    return ClampedSize(s.size());
}

Text Left(const Text &s, int32_t n) {
    if (n <= 0) {
        return {};
    }
    return s.substr(0, std::min(s.size(), static_cast<std::size_t>(n)));
}

Text Right(const Text &s, int32_t n) {
    if (n <= 0) {
        return {};
    }
    const std::size_t count = std::min(s.size(), static_cast<std::size_t>(n));
    return s.substr(s.size() - count);
}

Text Mid(const Text &s, int32_t start, int32_t length) {
    const std::size_t first = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (first >= s.size()) {
        return {};
    }
    if (length < 0) {
        return s.substr(first);
    }
    return s.substr(first, static_cast<std::size_t>(length));
}

Text Mid(const Text &s, int32_t start) {
    return Mid(s, start, -1);
}

std::vector<Text> Split(const Text &s, const Text &delimiter) {
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

int32_t UpperBound(const std::vector<Text> &list) {
    return ClampedSize(list.size()) - 1;
}

double Val(const Text &s) {
    const std::size_t n = s.size();
    std::size_t i = 0;
    while (i < n && (s[i] == ' ' || s[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }

    // The number is rebuilt as significant digits and a decimal exponent, then converted by
    // from_chars (exact and independent of the locale's decimal point).
    char digits[kMaxSignificantDigits + 1];
    std::size_t kept = 0;
    bool dropped_nonzero = false;
    int64_t exponent = 0; // the value is 0.<digits> * 10^(exponent)
    bool any_digit = false;

    auto take = [&](char c, bool fraction) {
        any_digit = true;
        if (kept == 0 && c == '0') {
            if (fraction) {
                --exponent;
            }
            return;
        }
        if (kept < kMaxSignificantDigits) {
            digits[kept++] = c;
        } else if (c != '0') {
            dropped_nonzero = true;
        }
        if (!fraction) {
            ++exponent;
        }
    };

    while (i < n && IsDigit(s[i])) {
        take(s[i++], false);
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && IsDigit(s[i])) {
            take(s[i++], true);
        }
    }
    if (!any_digit) {
        return 0.0;
    }
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool exp_negative = false;
        if (j < n && (s[j] == '+' || s[j] == '-')) {
            exp_negative = s[j] == '-';
            ++j;
        }
        if (j < n && IsDigit(s[j])) {
            int64_t written = 0;
            while (j < n && IsDigit(s[j])) {
                written = std::min(written * 10 + (s[j] - '0'), kExponentLimit);
                ++j;
            }
            exponent += exp_negative ? -written : written;
        }
    }
    if (kept == 0) {
        return 0.0;
    }
    if (exponent > kDoubleExponentReach) {
        const double largest = std::numeric_limits<double>::max();
        return negative ? -largest : largest;
    }
    if (exponent < -kDoubleExponentReach) {
        return 0.0;
    }
    if (dropped_nonzero) {
        // Stands for the dropped digits so that a value just past a halfway point rounds up.
        digits[kept++] = '1';
    }

    // "0.<digits>e<exponent>"
    char buffer[kMaxSignificantDigits + 32];
    std::size_t len = 0;
    buffer[len++] = '0';
    buffer[len++] = '.';
    std::memcpy(buffer + len, digits, kept);
    len += kept;
    buffer[len++] = 'e';
    const auto exp_end = std::to_chars(buffer + len, buffer + sizeof buffer, exponent);
    len = static_cast<std::size_t>(exp_end.ptr - buffer);

    double value = 0.0;
    const auto result = std::from_chars(buffer, buffer + len, value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large gives the largest finite value; too small gives zero.
        value = exponent > 0 ? std::numeric_limits<double>::max() : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    // No negative zero: it would print as "-0" in places that print reals as they are.
    return negative && value != 0.0 ? -value : value;
}

Text Str(int32_t value, const Text &pattern) {
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

Text Str(double value, const Text &pattern) {
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

int32_t RuntimeStringCompare(const Text &a, const Text &b) {
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

const Text &EndOfLineType::Value() const {
    static const Text eol = "\n";
    return eol;
}

Text EndOfLineType::Operator_Add(const Text &right) const {
    return Value() + right;
}

Text EndOfLineType::Operator_AddRight(const Text &left) const {
    return left + Value();
}

EndOfLineType EndOfLine() {
    return EndOfLineType{};
}

Text operator+(const EndOfLineType &eol, const Text &right) {
    return eol.Operator_Add(right);
}

Text operator+(const Text &left, const EndOfLineType &eol) {
    return eol.Operator_AddRight(left);
}

} // namespace framework
