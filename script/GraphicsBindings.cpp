// The graphics bindings: the graphics mode, the drawing state and primitives, images, tiling and
// screenshots, under the names of graphics/Graphics.h, graphics/Draw.h and graphics/Image.h.
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "pixmap/loaders/PNGLoader.h"
#include "script/ScriptBindings.h"
#include "script/detail/BindingSupport.h"

namespace vanta {
namespace {

using namespace detail;

constexpr const char* IMAGE = "image";

Ref<TImage> ImageArg(lua_State* state, int index)
{
    return ArgHandle<TImage>(state, index, IMAGE);
}

// OpenGraphics(width, height [, depth = 0 [, rate = 60]])
int LuaOpenGraphics(lua_State* state)
{
    OpenGraphics(TScriptEngine::ArgInt(state, 1), TScriptEngine::ArgInt(state, 2), OptInt(state, 3, 0),
                 OptInt(state, 4, 60));
    return 0;
}

int LuaGraphicsWidth(lua_State* state)
{
    return PushResult(state, GraphicsWidth());
}

int LuaGraphicsHeight(lua_State* state)
{
    return PushResult(state, GraphicsHeight());
}

int LuaClearGraphics(lua_State*)
{
    ClearGraphics();
    return 0;
}

int LuaShowPointer(lua_State*)
{
    ShowPointer();
    return 0;
}

int LuaHidePointer(lua_State*)
{
    HidePointer();
    return 0;
}

int LuaSetColor(lua_State* state)
{
    SetColor(TScriptEngine::ArgInt(state, 1), TScriptEngine::ArgInt(state, 2), TScriptEngine::ArgInt(state, 3));
    return 0;
}

// Pushes three integers: r, g, b.
int PushRgb(lua_State* state, std::int32_t r, std::int32_t g, std::int32_t b)
{
    lua_pushnumber(state, r);
    lua_pushnumber(state, g);
    lua_pushnumber(state, b);
    return 3;
}

int LuaGetColor(lua_State* state)
{
    std::int32_t r, g, b;
    GetColor(r, g, b);
    return PushRgb(state, r, g, b);
}

int LuaSetAlpha(lua_State* state)
{
    SetAlpha(ArgFloat(state, 1));
    return 0;
}

int LuaGetAlpha(lua_State* state)
{
    return PushResult(state, GetAlpha());
}

int LuaSetBlendMode(lua_State* state)
{
    SetBlendMode(TScriptEngine::ArgInt(state, 1));
    return 0;
}

int LuaGetBlendMode(lua_State* state)
{
    return PushResult(state, GetBlendMode());
}

int LuaSetClearColor(lua_State* state)
{
    SetClearColor(TScriptEngine::ArgInt(state, 1), TScriptEngine::ArgInt(state, 2), TScriptEngine::ArgInt(state, 3));
    return 0;
}

int LuaGetClearColor(lua_State* state)
{
    std::int32_t r, g, b;
    GetClearColor(r, g, b);
    return PushRgb(state, r, g, b);
}

int LuaSetLineWidth(lua_State* state)
{
    SetLineWidth(ArgFloat(state, 1));
    return 0;
}

int LuaSetMaskColor(lua_State* state)
{
    SetMaskColor(TScriptEngine::ArgInt(state, 1), TScriptEngine::ArgInt(state, 2), TScriptEngine::ArgInt(state, 3));
    return 0;
}

int LuaSetViewport(lua_State* state)
{
    SetViewport(TScriptEngine::ArgInt(state, 1), TScriptEngine::ArgInt(state, 2), TScriptEngine::ArgInt(state, 3),
                TScriptEngine::ArgInt(state, 4));
    return 0;
}

int LuaSetOrigin(lua_State* state)
{
    SetOrigin(ArgFloat(state, 1), ArgFloat(state, 2));
    return 0;
}

int LuaSetHandle(lua_State* state)
{
    SetHandle(ArgFloat(state, 1), ArgFloat(state, 2));
    return 0;
}

int LuaSetRotation(lua_State* state)
{
    SetRotation(ArgFloat(state, 1));
    return 0;
}

int LuaGetRotation(lua_State* state)
{
    return PushResult(state, GetRotation());
}

int LuaSetScale(lua_State* state)
{
    SetScale(ArgFloat(state, 1), ArgFloat(state, 2));
    return 0;
}

int LuaSetRotationAndScale(lua_State* state)
{
    SetRotationAndScale(ArgFloat(state, 1), ArgFloat(state, 2), ArgFloat(state, 3));
    return 0;
}

int LuaDrawPoint(lua_State* state)
{
    DrawPoint(ArgFloat(state, 1), ArgFloat(state, 2));
    return 0;
}

int LuaDrawRect(lua_State* state)
{
    DrawRect(ArgFloat(state, 1), ArgFloat(state, 2), ArgFloat(state, 3), ArgFloat(state, 4));
    return 0;
}

int LuaDrawOval(lua_State* state)
{
    DrawOval(ArgFloat(state, 1), ArgFloat(state, 2), ArgFloat(state, 3), ArgFloat(state, 4));
    return 0;
}

// DrawLine(x, y, x2, y2 [, drawLastPixel = true])
int LuaDrawLine(lua_State* state)
{
    const std::int32_t last = lua_isnoneornil(state, 5) ? 1 : ArgFlag(state, 5);
    DrawLine(ArgFloat(state, 1), ArgFloat(state, 2), ArgFloat(state, 3), ArgFloat(state, 4), last);
    return 0;
}

// DrawPoly({x1, y1, x2, y2, ...}): at least three points.
int LuaDrawPoly(lua_State* state)
{
    luaL_checktype(state, 1, LUA_TTABLE);
    const auto count = static_cast<std::int32_t>(lua_objlen(state, 1));
    if (count < 6 || count % 2 != 0) luaL_argerror(state, 1, "x, y pairs of at least three points expected");
    Ref<Array> xy = NewArray("f", count);
    for (std::int32_t i = 0; i < count; ++i) {
        lua_rawgeti(state, 1, i + 1);
        if (lua_isnumber(state, -1) == 0) luaL_argerror(state, 1, "numbers expected");
        xy->At<float>(i) = static_cast<float>(lua_tonumber(state, -1));
        lua_pop(state, 1);
    }
    DrawPoly(xy);
    return 0;
}

// LoadImage(url [, flags = -1]) -> image (0 when the file gives no picture)
int LuaLoadImage(lua_State* state)
{
    return PushHandle(state, LoadImage(ArgUrl(state, 1), OptInt(state, 2, -1)));
}

// LoadImageStrip(url, cellWidth, cellHeight, first, count [, flags = -1]) -> image (0 on failure)
int LuaLoadImageStrip(lua_State* state)
{
    return PushHandle(state, LoadImageStrip(ArgUrl(state, 1), TScriptEngine::ArgInt(state, 2),
                                            TScriptEngine::ArgInt(state, 3), TScriptEngine::ArgInt(state, 4),
                                            TScriptEngine::ArgInt(state, 5), OptInt(state, 6, -1)));
}

// CreateImage(width, height [, count = 1 [, flags = -1]]) -> image
int LuaCreateImage(lua_State* state)
{
    const std::int32_t width = TScriptEngine::ArgInt(state, 1);
    const std::int32_t height = TScriptEngine::ArgInt(state, 2);
    const std::int32_t count = OptInt(state, 3, 1);
    // Pixmaps are made on demand: a size the memory cannot hold must not get that far.
    if (width < 1 || height < 1 || width > 16384 || height > 16384) luaL_argerror(state, 1, "size out of range");
    if (count < 1 || count > 4096) luaL_argerror(state, 3, "frame count out of range");
    return PushHandle(state, CreateImage(width, height, count, OptInt(state, 4, -1)));
}

int LuaFreeImage(lua_State* state)
{
    return ReleaseHandleArg<TImage>(state, 1, IMAGE);
}

int LuaImageWidth(lua_State* state)
{
    return PushResult(state, ImageWidth(ImageArg(state, 1)));
}

int LuaImageHeight(lua_State* state)
{
    return PushResult(state, ImageHeight(ImageArg(state, 1)));
}

int LuaImageFrames(lua_State* state)
{
    return PushResult(state, ImageArg(state, 1)->FrameCount());
}

int LuaSetImageHandle(lua_State* state)
{
    SetImageHandle(ImageArg(state, 1), ArgFloat(state, 2), ArgFloat(state, 3));
    return 0;
}

int LuaCentreImageHandle(lua_State* state)
{
    CentreImageHandle(ImageArg(state, 1));
    return 0;
}

int LuaSetAutoCentre(lua_State* state)
{
    SetAutoCentre(ArgFlag(state, 1));
    return 0;
}

int LuaSetDefaultImageFlags(lua_State* state)
{
    SetDefaultImageFlags(TScriptEngine::ArgInt(state, 1));
    return 0;
}

// DrawImage(image, x, y [, frame = 0])
int LuaDrawImage(lua_State* state)
{
    DrawImage(ImageArg(state, 1), ArgFloat(state, 2), ArgFloat(state, 3), OptInt(state, 4, 0));
    return 0;
}

// DrawImageRect(image, x, y, width, height [, frame = 0])
int LuaDrawImageRect(lua_State* state)
{
    DrawImageRect(ImageArg(state, 1), ArgFloat(state, 2), ArgFloat(state, 3), ArgFloat(state, 4), ArgFloat(state, 5),
                  OptInt(state, 6, 0));
    return 0;
}

// TileImage(image [, x = 0, y = 0 [, frame = 0]])
int LuaTileImage(lua_State* state)
{
    TileImage(ImageArg(state, 1), OptFloat(state, 2, 0.0f), OptFloat(state, 3, 0.0f), OptInt(state, 4, 0));
    return 0;
}

// GrabImage(image, x, y [, frame = 0])
int LuaGrabImage(lua_State* state)
{
    GrabImage(ImageArg(state, 1), TScriptEngine::ArgInt(state, 2), TScriptEngine::ArgInt(state, 3),
              OptInt(state, 4, 0));
    return 0;
}

// SaveScreenshot(path) -> true, or nil and a message: the back buffer as a PNG file.
int LuaSaveScreenshot(lua_State* state)
{
    const Ref<String> path = ArgUrl(state, 1);
    const Ref<TPixmap> pixmap = GrabPixmap(0, 0, GraphicsWidth(), GraphicsHeight());
    if (!pixmap.IsNull() && SavePixmapPNG(pixmap, path, 6) != 0) {
        lua_pushboolean(state, 1);
        return 1;
    }
    lua_pushnil(state);
    PushText(state, Concat("cannot write the screenshot "_s, path));
    return 2;
}

constexpr BindingFunction FUNCTIONS[] = {
    {"OpenGraphics", &LuaOpenGraphics},
    {"GraphicsWidth", &LuaGraphicsWidth},
    {"GraphicsHeight", &LuaGraphicsHeight},
    {"ClearGraphics", &LuaClearGraphics},
    {"ShowPointer", &LuaShowPointer},
    {"HidePointer", &LuaHidePointer},
    {"SetColor", &LuaSetColor},
    {"GetColor", &LuaGetColor},
    {"SetAlpha", &LuaSetAlpha},
    {"GetAlpha", &LuaGetAlpha},
    {"SetBlendMode", &LuaSetBlendMode},
    {"GetBlendMode", &LuaGetBlendMode},
    {"SetClearColor", &LuaSetClearColor},
    {"GetClearColor", &LuaGetClearColor},
    {"SetLineWidth", &LuaSetLineWidth},
    {"SetMaskColor", &LuaSetMaskColor},
    {"SetViewport", &LuaSetViewport},
    {"SetOrigin", &LuaSetOrigin},
    {"SetHandle", &LuaSetHandle},
    {"SetRotation", &LuaSetRotation},
    {"GetRotation", &LuaGetRotation},
    {"SetScale", &LuaSetScale},
    {"SetRotationAndScale", &LuaSetRotationAndScale},
    {"DrawPoint", &LuaDrawPoint},
    {"DrawRect", &LuaDrawRect},
    {"DrawOval", &LuaDrawOval},
    {"DrawLine", &LuaDrawLine},
    {"DrawPoly", &LuaDrawPoly},
    {"LoadImage", &LuaLoadImage},
    {"LoadImageStrip", &LuaLoadImageStrip},
    {"CreateImage", &LuaCreateImage},
    {"FreeImage", &LuaFreeImage},
    {"ImageWidth", &LuaImageWidth},
    {"ImageHeight", &LuaImageHeight},
    {"ImageFrames", &LuaImageFrames},
    {"SetImageHandle", &LuaSetImageHandle},
    {"CentreImageHandle", &LuaCentreImageHandle},
    {"SetAutoCentre", &LuaSetAutoCentre},
    {"SetDefaultImageFlags", &LuaSetDefaultImageFlags},
    {"DrawImage", &LuaDrawImage},
    {"DrawImageRect", &LuaDrawImageRect},
    {"TileImage", &LuaTileImage},
    {"GrabImage", &LuaGrabImage},
    {"SaveScreenshot", &LuaSaveScreenshot},
};

constexpr BindingConstant CONSTANTS[] = {
    {"BLEND_MASK", BLEND_MASK},         {"BLEND_SOLID", BLEND_SOLID},         {"BLEND_ALPHA", BLEND_ALPHA},
    {"BLEND_LIGHT", BLEND_LIGHT},       {"BLEND_SHADE", BLEND_SHADE},         {"IMAGE_MASKED", IMAGE_MASKED},
    {"IMAGE_FILTERED", IMAGE_FILTERED}, {"IMAGE_MIPMAPPED", IMAGE_MIPMAPPED}, {"IMAGE_DYNAMIC", IMAGE_DYNAMIC},
};

} // namespace

void BindGraphics(TScriptEngine& engine)
{
    detail::Bind(engine, FUNCTIONS, CONSTANTS);
}

} // namespace vanta
