// Drawing checks for GL tests: a pixel projection like the 2D layer's, a textured quad, and read-back of
// single pixels with a small tolerance for the software renderer.
#pragma once

#include <array>

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace vanta::test {

using Pixel = std::array<unsigned char, 4>;

// The pixel at (x, y) of the current read buffer, counted from the bottom left as GL counts.
inline Pixel ReadPixel(int x, int y)
{
    Pixel pixel{};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
    return pixel;
}

inline void ExpectColour(const Pixel& pixel, int red, int green, int blue)
{
    constexpr int tolerance = 2;
    EXPECT_NEAR(pixel[0], red, tolerance);
    EXPECT_NEAR(pixel[1], green, tolerance);
    EXPECT_NEAR(pixel[2], blue, tolerance);
}

// Top-left origin with y downwards, as the 2D layer sets it up.
inline void PixelProjection(int width, int height)
{
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, width, height, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// A quad with texture coordinates 0..1 across it.
inline void Quad(float left, float top, float right, float bottom)
{
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(left, top);
    glTexCoord2f(1, 0);
    glVertex2f(right, top);
    glTexCoord2f(1, 1);
    glVertex2f(right, bottom);
    glTexCoord2f(0, 1);
    glVertex2f(left, bottom);
    glEnd();
}

} // namespace vanta::test
