// 2D drawing: the module-wide drawing settings and the drawing calls that combine them with their
// arguments and pass the result to the current 2D driver (graphics/Graphics.h).
//
// Builds on the graphics module, images (graphics/Image.h) and image fonts (graphics/ImageFont.h).
// Settings persist until changed or until a graphics activation resets them. Setters that reach the
// driver and every drawing call throw `TNullObjectError` when no 2D driver is current, or when given a
// `Null` image, font, pixmap or array; a frame index outside the image throws `TArrayBoundsError`.
//
// Handles: the module handle (`SetHandle`) is stored negated, so a handle of (10, 5) moves primitives
// 10 pixels left and 5 up before rotation and scale. Images use their own handle instead.
//
// Main thread only.
#pragma once

#include "graphics/Image.h"
#include "pixmap/TPixmap.h"
#include "runtime/Array.h"
#include "runtime/String.h"

#include <cstdint>

namespace vanta {

// Blend modes.
inline constexpr std::int32_t BLEND_MASK = 1;  // pixels with alpha below one half are not drawn
inline constexpr std::int32_t BLEND_SOLID = 2; // opaque copy
inline constexpr std::int32_t BLEND_ALPHA = 3; // alpha blending
inline constexpr std::int32_t BLEND_LIGHT = 4; // additive with source alpha
inline constexpr std::int32_t BLEND_SHADE = 5; // multiply

// Settings. Each setter stores; those marked "driver" then send the setting to the current 2D driver.
void SetColor(std::int32_t r, std::int32_t g, std::int32_t b); // driver
void GetColor(std::int32_t& r, std::int32_t& g, std::int32_t& b);
void SetAlpha(float alpha); // driver (which clamps); the stored value is not clamped
float GetAlpha();
void SetBlendMode(std::int32_t mode); // driver
std::int32_t GetBlendMode();
void SetClearColor(std::int32_t r, std::int32_t g, std::int32_t b); // driver
void GetClearColor(std::int32_t& r, std::int32_t& g, std::int32_t& b);
void SetLineWidth(float width); // driver
float GetLineWidth();
// The colour that masked images make transparent.
void SetMaskColor(std::int32_t r, std::int32_t g, std::int32_t b);
void GetMaskColor(std::int32_t& r, std::int32_t& g, std::int32_t& b);
// The rectangle drawing is clipped to.
void SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height); // driver
void GetViewport(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height);
// Added to every drawing position.
void SetOrigin(float x, float y);
void GetOrigin(float& x, float& y);
// The primitives' handle; the getter answers the stored, negated values.
void SetHandle(float x, float y);
void GetHandle(float& x, float& y);
// Rotation in degrees (clockwise on the screen) and scale; each sends the new matrix to the driver.
void SetRotation(float degrees);
float GetRotation();
// Scale factors along x and y.
void SetScale(float x, float y);
void GetScale(float& x, float& y);
// Both at once, with one matrix sent.
void SetRotationAndScale(float degrees, float scaleX, float scaleY);

// Drawing calls.
// One pixel at (x, y) plus the origin; no rotation, scale or handle.
void DrawPoint(float x, float y);
// A filled rectangle with its top-left corner at (x, y), through the handle, rotation and scale.
void DrawRect(float x, float y, float width, float height);
// A filled ellipse inside the rectangle `DrawRect` would fill.
void DrawOval(float x, float y, float width, float height);
// A line from (x, y) to (x2, y2); a non-zero `drawLastPixel` also plots its far end.
void DrawLine(float x, float y, float x2, float y2, std::int32_t drawLastPixel = 1);
// A filled polygon through the x, y pairs of a float array.
void DrawPoly(const Ref<Array>& xy);
// Frame `frame` of the image with its handle at (x, y).
void DrawImage(const Ref<TImage>& image, float x, float y, std::int32_t frame = 0);
// As `DrawImage`, stretched to width x height before rotation and scale.
void DrawImageRect(const Ref<TImage>& image, float x, float y, float width, float height, std::int32_t frame = 0);
// Fills the viewport with unrotated, unscaled copies of the frame, one of them with its handle at (x, y).
void TileImage(const Ref<TImage>& image, float x = 0.0f, float y = 0.0f, std::int32_t frame = 0);
// The text in the current font, its top-left corner at (x, y) (after the handle, turned by the matrix).
void DrawText(const Ref<String>& text, float x, float y);
// The pixmap's top-left pixel at (x, y); no origin, rotation or scale.
void DrawPixmap(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y);
// A new pixmap of the back buffer's width x height pixels at (x, y).
Ref<TPixmap> GrabPixmap(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

} // namespace vanta
