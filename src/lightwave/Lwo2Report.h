// Lwo2Report.h - the model loader's buffered report writer, numbers printed as printf prints them.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

namespace bm {

// Collects report text and hands it to the stream in large blocks. A report runs to millions of
// lines, so it is flushed once per chunk rather than once per line, and the common numbers are
// formatted inline. A quiet writer keeps only the problem lines, those begun with problem().
class ReportWriter {
public:
    class Line;

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
        std::memcpy(next, s.data(), s.size());
        next += s.size();
        return *this;
    }
    // A literal's length is known here, so the copy needs no call.
    template <std::size_t N>
    ReportWriter& text(const char (&literal)[N]) {
        if (muted)
            return *this;
        room(N - 1);
        std::memcpy(next, literal, N - 1);
        next += N - 1;
        return *this;
    }
    // As the stream prints an integer.
    ReportWriter& number(std::int64_t n) {
        if (muted)
            return *this;
        room(numberRoom);
        if (n >= 0 && n <= UINT32_MAX)
            next = writeDecimal(static_cast<std::uint32_t>(n), next);
        else
            next = writeWide(n, next);
        return *this;
    }
    // As printf prints a float with "%<width>.<precision>f"; widths up to fixedWidest,
    // precisions up to 3.
    ReportWriter& fixed(float value, int width, int precision) {
        if (muted)
            return *this;
        room(fixedRoom);
        next = writeFixed(value, width, precision, next);
        return *this;
    }
    // As the stream prints a float by default (six significant digits).
    ReportWriter& general(float value);
    ReportWriter& endLine() {
        if (!muted) {
            room(1);
            *next++ = '\n';
        }
        muted = quiet;
        return *this;
    }
    // A line of at most `longest` characters, newline included, written without a check for
    // room at every step. Count fixed() as fixedRoom and number() as numberRoom.
    inline Line line(std::size_t longest);
    // Hands everything collected to the stream and flushes it.
    void flush();

    static constexpr std::size_t numberRoom = 20;  // any 64-bit integer
    static constexpr int fixedWidest = 32;
    static constexpr std::size_t fixedRoom = 64;  // any float in "%.2f" or "%.3f", or fixedWidest

private:
    void room(std::size_t n) {
        if (static_cast<std::size_t>(end - next) < n)
            spill(n);
    }
    void spill(std::size_t n);

    // Writers into a buffer with room enough; each returns the end of what it wrote.
    static char* writeDecimal(std::uint32_t n, char* at) {
        if (n < 10) {  // counts and corner numbers, mostly
            *at = static_cast<char>('0' + n);
            return at + 1;
        }
        const std::size_t length = digitCount(n);
        char* const last = at + length;
        char* first = last;
        while (n >= 100) {
            first -= 2;
            std::memcpy(first, digitPairs + 2 * (n % 100), 2);
            n /= 100;
        }
        if (n >= 10)
            std::memcpy(first - 2, digitPairs + 2 * n, 2);
        else
            first[-1] = static_cast<char>('0' + n);
        return last;
    }
    static char* writeWide(std::int64_t n, char* at);
    static char* writeFixed(float value, int width, int precision, char* at) {
        if (precision == 2 && width >= 0 && width <= hundredthsWidest)
            if (char* done = writeHundredths(value, width, at))
                return done;
        return writeFixedSlowly(value, width, precision, at);
    }
    static char* writeFixedSlowly(float value, int width, int precision, char* at);

    // "%<width>.2f" for values below 10^7 in magnitude and widths up to 16: the common case,
    // written without a library call. Null, with nothing written, for anything else.
    static char* writeHundredths(float value, int width, char* at) {
        // A float has 24 significant bits and 100 has 7, so value * 100 is exact in a double.
        // Adding and taking away 2^52 rounds it to an integer in the current rounding mode,
        // ties to even by default, which is what printf does with the exact decimal value.
        const double scaled = static_cast<double>(value) * 100.0;
        const double magnitude = scaled < 0 ? -scaled : scaled;
        if (!(magnitude < 1e9))
            return nullptr;  // NaN, infinities and large values: the general way
        const auto rounded = static_cast<std::uint32_t>((magnitude + 0x1p52) - 0x1p52);
        // The field is built right-aligned at the end of 32 spaces, then copied whole.
        char field[2 * hundredthsWidest];
        std::memset(field, ' ', sizeof field);
        char* const last = field + hundredthsWidest;
        char* first = last - 3;
        std::memcpy(first + 1, digitPairs + 2 * (rounded % 100), 2);
        *first = '.';
        const std::uint32_t whole = rounded / 100;
        first -= digitCount(whole);
        writeDecimal(whole, first);
        // The sign is the float's own: printf writes -0.00 for -0.0 and for -0.001.
        if (std::signbit(value))
            *--first = '-';
        const auto length = static_cast<std::size_t>(last - first);
        const std::size_t width16 = static_cast<std::size_t>(width);
        const std::size_t used = length > width16 ? length : width16;
        std::memcpy(at, last - used, hundredthsWidest);
        return at + used;
    }
    static constexpr int hundredthsWidest = 16;

    static std::size_t digitCount(std::uint32_t n) {
        // 1233 / 4096 is just above log10(2): from the bit length, the digits of 2^bits less
        // one, less one more when n is below the power of ten at that count.
        static constexpr std::uint32_t lowest[] = {
            0, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};
        const auto bits = static_cast<std::uint32_t>(32 - __builtin_clz(n | 1));
        const std::uint32_t guess = (bits * 1233) >> 12;
        return guess + (n >= lowest[guess] ? 1 : 0);
    }
    static constexpr char digitPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";

    std::ostream& out;
    bool quiet;
    bool muted;  // quiet, and not inside a problem line
    std::unique_ptr<char[]> buffer;
    std::size_t capacity;
    char* next;  // where the next character goes
    char* end;   // the buffer's end
};

// One line being written: the position is a local, so the compiler keeps it in a register
// instead of reloading the writer's after every character stored. A muted line is written and
// then dropped.
class ReportWriter::Line {
public:
    template <std::size_t N>
    Line& text(const char (&literal)[N]) {
        std::memcpy(at, literal, N - 1);
        at += N - 1;
        return *this;
    }
    Line& number(std::uint32_t n) {
        at = writeDecimal(n, at);
        return *this;
    }
    Line& fixed(float value, int width, int precision) {
        at = writeFixed(value, width, precision, at);
        return *this;
    }
    void endLine() {
        *at++ = '\n';
        if (!writer.muted)
            writer.next = at;
        writer.muted = writer.quiet;
    }

private:
    friend class ReportWriter;
    Line(ReportWriter& w, char* start) : writer(w), at(start) {}
    ReportWriter& writer;
    char* at;
};

inline ReportWriter::Line ReportWriter::line(std::size_t longest) {
    room(longest);
    return Line(*this, next);
}

}  // namespace bm
