// BrackmoorConversionTest.cpp - big-endian bytes to integers and floats, and the byte printout.
#include "BrackmoorConversion.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>

namespace {

using Quad = std::array<unsigned char, 4>;

std::uint32_t bitsOf(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

// Byte order and sign at both extremes: a swapped or sign-extended byte shows.
TEST(BrackmoorConversion, BytesToLong) {
    const struct {
        Quad bytes;
        std::int32_t expected;
    } cases[] = {
        {{0x46, 0x4F, 0x52, 0x4D}, 1179603533},  // 'FORM'
        {{0x00, 0x00, 0x00, 0x2A}, 42},
        {{0x00, 0x00, 0x01, 0x00}, 256},
        {{0x01, 0x02, 0x03, 0x04}, 0x01020304},
        {{0x00, 0x00, 0x00, 0x80}, 128},  // a high bit in the last byte is not a sign
        {{0x7F, 0xFF, 0xFF, 0xFF}, std::numeric_limits<std::int32_t>::max()},
        {{0x80, 0x00, 0x00, 0x00}, std::numeric_limits<std::int32_t>::min()},
        {{0xFF, 0xFF, 0xFF, 0xFF}, -1},
        {{0xFF, 0xFF, 0xFF, 0xFE}, -2},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convertBytesToLong(c.bytes.data()), c.expected)
            << int(c.bytes[0]) << " " << int(c.bytes[1]) << " " << int(c.bytes[2]) << " "
            << int(c.bytes[3]);
}

// Every float comes through bit for bit: signed zeros, infinities, subnormals, NaN payloads.
TEST(BrackmoorConversion, BytesToFloatKeepsEveryBit) {
    const struct {
        Quad bytes;
        std::uint32_t bits;
    } cases[] = {
        {{0x3F, 0x80, 0x00, 0x00}, 0x3F800000},  // 1.0
        {{0xC2, 0xC8, 0x00, 0x00}, 0xC2C80000},  // -100.0
        {{0x00, 0x00, 0x00, 0x00}, 0x00000000},  // +0
        {{0x80, 0x00, 0x00, 0x00}, 0x80000000},  // -0
        {{0x7F, 0x80, 0x00, 0x00}, 0x7F800000},  // +infinity
        {{0xFF, 0x80, 0x00, 0x00}, 0xFF800000},  // -infinity
        {{0x00, 0x00, 0x00, 0x01}, 0x00000001},  // smallest subnormal
        {{0x80, 0x7F, 0xFF, 0xFF}, 0x807FFFFF},  // largest negative subnormal
        {{0x7F, 0x7F, 0xFF, 0xFF}, 0x7F7FFFFF},  // largest finite
        {{0x40, 0x49, 0x0F, 0xDB}, 0x40490FDB},  // pi: every byte distinct
        {{0x7F, 0xC0, 0x00, 0x01}, 0x7FC00001},  // quiet NaN with a payload
        {{0x7F, 0x80, 0x00, 0x01}, 0x7F800001},  // signalling NaN
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFF},  // negative NaN, all payload bits
    };
    for (const auto& c : cases)
        EXPECT_EQ(bitsOf(convertBytesToFloat(c.bytes.data())), c.bits) << std::hex << c.bits;
}

// The bytes appear in host memory order (little-endian here), then the float rebuilt from them.
TEST(BrackmoorConversion, TestPrintsBytesAndRebuiltFloat) {
    const struct {
        float value;
        const char* expected;
    } cases[] = {
        {1.0f, "byte 0: 0\nbyte 1: 0\nbyte 2: 128\nbyte 3: 63\n1\n"},
        {-100.5f, "byte 0: 0\nbyte 1: 0\nbyte 2: 201\nbyte 3: 194\n-100.5\n"},
        {1.0f / 3.0f, "byte 0: 171\nbyte 1: 170\nbyte 2: 170\nbyte 3: 62\n0.333333\n"},
        {-0.0f, "byte 0: 0\nbyte 1: 0\nbyte 2: 0\nbyte 3: 128\n-0\n"},
    };
    for (const auto& c : cases) {
        testing::internal::CaptureStdout();
        const int result = test(c.value);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.expected);
        EXPECT_EQ(result, 0);
    }
}
