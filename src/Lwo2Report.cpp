// Lwo2Report.cpp - the model loader's buffered report writer.
#include "Lwo2Report.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {
constexpr std::size_t blockSize = 1 << 16;
// Room for any float in fixed notation: 39 integer digits, sign, point and the decimals.
constexpr std::size_t floatRoom = 96;
// Widest field the quick two-decimal path writes: 15 digits, sign, point, two decimals, padding.
constexpr int fieldRoom = 32;
}  // namespace

namespace bm {

ReportWriter::ReportWriter(std::ostream& stream, bool quietly)
    : out(stream), quiet(quietly), muted(quietly), buffer(blockSize) {}

ReportWriter::~ReportWriter() {
    flush();
}

void ReportWriter::spill(std::size_t n) {
    out.write(buffer.data(), static_cast<std::streamsize>(used));
    used = 0;
    if (buffer.size() < n)
        buffer.resize(n);
}

void ReportWriter::flush() {
    out.write(buffer.data(), static_cast<std::streamsize>(used));
    used = 0;
    out.flush();
}

ReportWriter& ReportWriter::fixed(float value, int width, int precision) {
    if (muted)
        return *this;
    if (precision == 2 && fixedHundredths(value, width))
        return *this;
    char digits[floatRoom];
    // printf promotes the float to double; to_chars rounds that value as printf does.
    const auto done = std::to_chars(digits, digits + sizeof digits, static_cast<double>(value),
                                    std::chars_format::fixed, precision);
    const std::size_t length = static_cast<std::size_t>(done.ptr - digits);
    const std::size_t padding = length < static_cast<std::size_t>(width) ? width - length : 0;
    room(padding + length);
    std::memset(buffer.data() + used, ' ', padding);
    std::memcpy(buffer.data() + used + padding, digits, length);
    used += padding + length;
    return *this;
}

bool ReportWriter::fixedHundredths(float value, int width) {
    // A float has 24 significant bits and 100 has 7, so value * 100 is exact in a double and
    // rounding it to the nearest integer, ties to even, is what printf does with "%.2f".
    const double hundredths = std::fabs(static_cast<double>(value) * 100.0);
    if (!(hundredths < 1e15))
        return false;  // NaN, infinities and huge values: the slow way
    if (width < 0 || width > fieldRoom)
        return false;
    const auto rounded = static_cast<std::uint64_t>(std::nearbyint(hundredths));
    std::uint64_t whole = rounded / 100;
    const unsigned cents = static_cast<unsigned>(rounded % 100);
    std::size_t wholeDigits = 1;
    for (std::uint64_t w = whole; w >= 10; w /= 10)
        ++wholeDigits;
    const std::size_t length = (std::signbit(value) ? 1 : 0) + wholeDigits + 3;
    const std::size_t field = std::max(length, static_cast<std::size_t>(width));
    // Spaces over the whole room first, then the number right to left from the field's end.
    room(fieldRoom);
    char* const start = buffer.data() + used;
    std::memset(start, ' ', fieldRoom);
    char* at = start + field;
    *--at = static_cast<char>('0' + cents % 10);
    *--at = static_cast<char>('0' + cents / 10);
    *--at = '.';
    do {
        *--at = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (std::signbit(value))
        *--at = '-';
    used += field;
    return true;
}

ReportWriter& ReportWriter::general(float value) {
    if (muted)
        return *this;
    room(floatRoom);
    char* at = buffer.data() + used;
    const auto done = std::to_chars(at, at + floatRoom, static_cast<double>(value),
                                    std::chars_format::general, 6);
    used += static_cast<std::size_t>(done.ptr - at);
    return *this;
}

}  // namespace bm
