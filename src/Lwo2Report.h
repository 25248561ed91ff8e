// Lwo2Report.h - the model loader's buffered report writer, numbers printed as printf prints them.
#pragma once

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string_view>
#include <vector>

namespace bm {

// Collects report text and hands it to the stream in large blocks. A report runs to millions of
// lines, so it is flushed once per chunk rather than once per line.
class ReportWriter {
public:
    explicit ReportWriter(std::ostream& out);
    ~ReportWriter();  // writes out what is left and flushes
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    ReportWriter& text(std::string_view s)
    {
        room(s.size());
        std::memcpy(buffer.data() + used, s.data(), s.size());
        used += s.size();
        return *this;
    }
    // As the stream prints an integer.
    ReportWriter& number(std::int64_t n)
    {
        room(numberRoom);
        char* at = buffer.data() + used;
        used += static_cast<std::size_t>(std::to_chars(at, at + numberRoom, n).ptr - at);
        return *this;
    }
    // As printf prints a float with "%<width>.<precision>f".
    ReportWriter& fixed(float value, int width, int precision);
    // As the stream prints a float by default (six significant digits).
    ReportWriter& general(float value);
    ReportWriter& endLine() { return text("\n"); }
    // Hands everything collected to the stream and flushes it.
    void flush();

private:
    void room(std::size_t n)
    {
        if (buffer.size() - used < n) spill(n);
    }
    void spill(std::size_t n);
    bool fixedHundredths(float value, int width);

    static constexpr std::size_t numberRoom = 24;  // any 64-bit integer
    std::ostream& out;
    std::vector<char> buffer;
    std::size_t used = 0;
};

}  // namespace bm
