// Lwo2Report.cpp - the model loader's buffered report writer.
#include "Lwo2Report.h"

#include <charconv>

namespace {
constexpr std::size_t blockSize = 1 << 16;
// Room for any float in fixed notation: 39 integer digits, sign, point and the decimals.
constexpr std::size_t numberRoom = 96;
}  // namespace

namespace bm {

ReportWriter::ReportWriter(std::ostream& stream) : out(stream), buffer(blockSize) {}

ReportWriter::~ReportWriter() { flush(); }

void ReportWriter::spill(std::size_t n)
{
    out.write(buffer.data(), static_cast<std::streamsize>(used));
    used = 0;
    if (buffer.size() < n) buffer.resize(n);
}

void ReportWriter::flush()
{
    out.write(buffer.data(), static_cast<std::streamsize>(used));
    used = 0;
    out.flush();
}

ReportWriter& ReportWriter::number(std::int64_t n)
{
    room(numberRoom);
    char* at = buffer.data() + used;
    used += static_cast<std::size_t>(std::to_chars(at, at + numberRoom, n).ptr - at);
    return *this;
}

ReportWriter& ReportWriter::fixed(float value, int width, int precision)
{
    char digits[numberRoom];
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

ReportWriter& ReportWriter::general(float value)
{
    room(numberRoom);
    char* at = buffer.data() + used;
    const auto done = std::to_chars(at, at + numberRoom, static_cast<double>(value),
                                    std::chars_format::general, 6);
    used += static_cast<std::size_t>(done.ptr - at);
    return *this;
}

}  // namespace bm
