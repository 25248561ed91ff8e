// LwsText.cpp - lines, tokens and numbers of scene text.
#include "LwsText.h"

#include <charconv>
#include <cmath>

namespace bm {

namespace {

bool space(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view trim(std::string_view text) {
    std::size_t first = 0, last = text.size();
    while (first < last && space(text[first]))
        ++first;
    while (last > first && space(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

}  // namespace

std::vector<std::string_view> splitLines(const char* text, std::size_t size) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.push_back(trim(std::string_view(text + start, i - start)));
        if (text[i] == '\r' && i + 1 < size && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.push_back(trim(std::string_view(text + start, size - start)));
    return lines;
}

std::string_view firstToken(std::string_view text, std::string_view& rest) {
    text = trim(text);
    std::size_t end = 0;
    while (end < text.size() && !space(text[end]))
        ++end;
    rest = trim(text.substr(end));
    return text.substr(0, end);
}

std::string_view unquote(std::string_view text) {
    text = trim(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return text;
}

bool parseReal(std::string_view token, double& value) {
    if (!token.empty() && token[0] == '+')
        token.remove_prefix(1);
    if (token.empty())
        return false;
    double parsed = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), parsed);
    if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

bool parseInteger(std::string_view token, long& value) {
    if (!token.empty() && token[0] == '+')
        token.remove_prefix(1);
    long parsed = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), parsed);
    if (token.empty() || error != std::errc() || end != token.data() + token.size())
        return false;
    value = parsed;
    return true;
}

bool parseHex(std::string_view token, std::uint32_t& value) {
    if (token.empty() || token.size() > 8)
        return false;
    std::uint32_t parsed = 0;
    const auto [end, error] =
        std::from_chars(token.data(), token.data() + token.size(), parsed, 16);
    if (error != std::errc() || end != token.data() + token.size())
        return false;
    value = parsed;
    return true;
}

}  // namespace bm
