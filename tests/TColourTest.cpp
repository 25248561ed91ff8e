// TColourTest.cpp - the colour record, the sprite angle and GL error text after real GL errors.
#include "BrackmoorGlu.h"
#include "TColour.h"
#include "TSprite.h"

#include "support/GLWindow.h"

#include <functional>
#include <limits>

TEST(TColour, RGBACopiesComponentsUnchanged) {
    const struct {
        std::int32_t r, g, b, a;
    } cases[] = {
        {255, 128, 0, 300},
        {-1, 0, 65536, std::numeric_limits<std::int32_t>::min()},
        {1, 2, 3, 4},
    };
    for (const auto& c : cases) {
        const TColour colour = RGBA(c.r, c.g, c.b, c.a);
        EXPECT_EQ(colour.Red, c.r);
        EXPECT_EQ(colour.Green, c.g);
        EXPECT_EQ(colour.Blue, c.b);
        EXPECT_EQ(colour.Alpha, c.a);
    }
}

TEST(TSprite, SetSpriteRotationStoresAngle) {
    EXPECT_EQ(imageDrawAngle, 0.0f);
    setSpriteRotation(45.0f);
    EXPECT_EQ(imageDrawAngle, 45.0f);
    setSpriteRotation(-30.5f);
    EXPECT_EQ(imageDrawAngle, -30.5f);
}

namespace {

class CheckErrorsGL : public bm::test::GLFixture {
protected:
    void SetUp() override {
        while (glGetError() != GL_NO_ERROR) {
        }
    }
};

void overflowModelview() {
    GLint depth = 0;
    glMatrixMode(GL_MODELVIEW);
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &depth);
    for (GLint i = 0; i < depth; ++i)  // the stack already holds one matrix
        glPushMatrix();
    for (GLint i = 1; i < depth; ++i)
        glPopMatrix();
}

}  // namespace

TEST_F(CheckErrorsGL, NoPendingErrorIsEmpty) {
    EXPECT_EQ(CheckErrors(), "");
}

// Each real error gives its message once; GL then has nothing pending.
TEST_F(CheckErrorsGL, MessageForEachRealError) {
    const struct {
        const char* what;
        std::function<void()> cause;
        const char* expected;
    } cases[] = {
        {"bad matrix mode", [] { glMatrixMode(0x1234); }, "ERROR:Invalid Enum"},
        {"negative line width", [] { glLineWidth(-1.0f); }, "ERROR:Invalid value, Out of range"},
        {"glEnd without glBegin", [] { glEnd(); },
         "ERROR:Invalid operation, Not allow in current state"},
        {"pop at depth one",
         [] {
             glMatrixMode(GL_MODELVIEW);
             glPopMatrix();
         },
         "ERROR:Would cause stack underflow"},
        {"push past the limit", overflowModelview, "ERROR:Will cause stack overflow"},
    };
    for (const auto& c : cases) {
        c.cause();
        EXPECT_EQ(CheckErrors(), c.expected) << c.what;
        EXPECT_EQ(CheckErrors(), "") << c.what;
    }
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

// Draining: a caller that loops until "" ends, one message per call.
TEST_F(CheckErrorsGL, DrainsPendingErrors) {
    glMatrixMode(0x1234);
    glLineWidth(-1.0f);
    int messages = 0;
    while (!CheckErrors().empty() && messages < 10)
        ++messages;
    EXPECT_GE(messages, 1);
    EXPECT_LE(messages, 2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
