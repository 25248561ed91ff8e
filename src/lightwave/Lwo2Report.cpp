// Lwo2Report.cpp - the model loader's buffered report writer.
#include "Lwo2Report.h"

#include <algorithm>
#include <charconv>

namespace {
constexpr std::size_t blockSize = 1 << 16;
// Room for any float in the stream's default notation.
constexpr std::size_t generalRoom = 32;
}  // namespace

namespace bm {

ReportWriter::ReportWriter(std::ostream& stream, bool quietly)
    : out(stream),
      quiet(quietly),
      muted(quietly),
      buffer(new char[blockSize]),
      capacity(blockSize),
      next(buffer.get()),
      end(buffer.get() + blockSize) {}

ReportWriter::~ReportWriter() {
    flush();
}

void ReportWriter::spill(std::size_t n) {
    out.write(buffer.get(), next - buffer.get());
    if (capacity < n) {
        buffer.reset(new char[n]);
        capacity = n;
    }
    next = buffer.get();
    end = buffer.get() + capacity;
}

void ReportWriter::flush() {
    out.write(buffer.get(), next - buffer.get());
    next = buffer.get();
    out.flush();
}

char* ReportWriter::writeWide(std::int64_t n, char* at) {
    return std::to_chars(at, at + numberRoom, n).ptr;
}

char* ReportWriter::writeFixedSlowly(float value, int width, int precision, char* at) {
    // printf promotes the float to double; to_chars rounds that value as printf does. Three
    // decimals of FLT_MAX take 43 characters.
    char digits[fixedRoom];
    const auto done = std::to_chars(digits, digits + sizeof digits, static_cast<double>(value),
                                    std::chars_format::fixed, std::min(precision, 3));
    const std::size_t length = static_cast<std::size_t>(done.ptr - digits);
    const std::size_t field = static_cast<std::size_t>(std::clamp(width, 0, fixedWidest));
    const std::size_t padding = length < field ? field - length : 0;
    std::memset(at, ' ', padding);
    std::memcpy(at + padding, digits, length);
    return at + padding + length;
}

ReportWriter& ReportWriter::general(float value) {
    if (muted)
        return *this;
    room(generalRoom);
    next = std::to_chars(next, next + generalRoom, static_cast<double>(value),
                         std::chars_format::general, 6)
               .ptr;
    return *this;
}

}  // namespace bm
