// LwsText.h - the scene reader's text handling: lines, tokens and numbers, locale-independent.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace bm {

// The text's lines, ended by LF, CR LF or a lone CR, without surrounding white space.
std::vector<std::string_view> splitLines(const char* text, std::size_t size);

// The first white-space-separated token of text; rest is what follows it, white space trimmed.
std::string_view firstToken(std::string_view text, std::string_view& rest);

// Text trimmed of white space and of one pair of surrounding double quotes.
std::string_view unquote(std::string_view text);

// The whole token as a finite decimal number ('.' as the point, whatever the locale).
bool parseReal(std::string_view token, double& value);
bool parseInteger(std::string_view token, long& value);
// One to eight hexadecimal digits, either case.
bool parseHex(std::string_view token, std::uint32_t& value);

}  // namespace bm
