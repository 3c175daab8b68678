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

// A new 2 x 2 texture of opaque green, sampled without filtering, bound to GL_TEXTURE_2D of the current
// context; the upload is finished before it returns (so another context sharing it can use it at once).
inline GLuint GreenTexture()
{
    const unsigned char green[4 * 4] = {0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255};
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, green);
    glFinish();
    return texture;
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

// Clears a size x size pixel projection to black and draws `texture` over all of it, untinted, as a
// textured quad; finished, so the pixels can be read at once.
inline void DrawTextureOver(GLuint texture, int size)
{
    PixelProjection(size, size);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glColor3ub(255, 255, 255);
    Quad(0, 0, static_cast<float>(size), static_cast<float>(size));
    glDisable(GL_TEXTURE_2D);
    glFinish();
}

} // namespace vanta::test
