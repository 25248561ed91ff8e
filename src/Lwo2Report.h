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
// lines, so it is flushed once per chunk rather than once per line. A quiet writer keeps only
// the problem lines, those begun with problem().
class ReportWriter {
public:
    explicit ReportWriter(std::ostream& out, bool quiet = false);
    ~ReportWriter();  // writes out what is left and flushes
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    // Starts a problem line, "LoadLWO: ", which even a quiet writer keeps up to its end.
    ReportWriter& problem() {
        muted = false;
        return text("LoadLWO: ");
    }
    bool isQuiet() const { return quiet; }

    ReportWriter& text(std::string_view s) {
        if (muted)
            return *this;
        room(s.size());
        std::memcpy(buffer.data() + used, s.data(), s.size());
        used += s.size();
        return *this;
    }
    // A literal's length is known here, so the copy needs no call.
    template <std::size_t N>
    ReportWriter& text(const char (&literal)[N]) {
        if (muted)
            return *this;
        room(N - 1);
        std::memcpy(buffer.data() + used, literal, N - 1);
        used += N - 1;
        return *this;
    }
    // As the stream prints an integer.
    ReportWriter& number(std::int64_t n) {
        if (muted)
            return *this;
        room(numberRoom);
        char* at = buffer.data() + used;
        if (n >= 0 && n < 100000000)
            used += smallNumber(static_cast<std::uint32_t>(n), at);
        else
            used += static_cast<std::size_t>(std::to_chars(at, at + numberRoom, n).ptr - at);
        return *this;
    }
    // As printf prints a float with "%<width>.<precision>f".
    ReportWriter& fixed(float value, int width, int precision);
    // As the stream prints a float by default (six significant digits).
    ReportWriter& general(float value);
    ReportWriter& endLine() {
        if (!muted) {
            room(1);
            buffer[used++] = '\n';
        }
        muted = quiet;
        return *this;
    }
    // Hands everything collected to the stream and flushes it.
    void flush();

private:
    void room(std::size_t n) {
        if (buffer.size() - used < n)
            spill(n);
    }
    void spill(std::size_t n);
    bool fixedHundredths(float value, int width);
    // Decimal digits of n, for n below 10^8.
    static std::size_t digitCount(std::uint32_t n) {
        std::size_t count = 1;
        for (std::uint32_t limit = 10; n >= limit && count < 8; limit *= 10)
            ++count;
        return count;
    }
    // Writes n (below 10^8) in decimal at `at`, right to left two digits at a time; returns the
    // length.
    static std::size_t smallNumber(std::uint32_t n, char* at) {
        static constexpr char pairs[] =
            "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
            "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
            "8081828384858687888990919293949596979899";
        const std::size_t length = digitCount(n);
        char* first = at + length;
        while (n >= 100) {
            first -= 2;
            std::memcpy(first, pairs + 2 * (n % 100), 2);
            n /= 100;
        }
        if (n >= 10)
            std::memcpy(first - 2, pairs + 2 * n, 2);
        else
            first[-1] = static_cast<char>('0' + n);
        return length;
    }

    static constexpr std::size_t numberRoom = 24;  // any 64-bit integer
    std::ostream& out;
    bool quiet;
    bool muted;  // quiet, and not inside a problem line
    std::vector<char> buffer;
    std::size_t used = 0;
};

}  // namespace bm
