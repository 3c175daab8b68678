// The scene functions: thin bridges from Lua arguments to the runtime's drawing, image, input and clock
// calls. Each reads its arguments through the engine (a missing or ill-typed one is the script's error),
// and pushes at most one result.
#include "SceneScript.h"

#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ImageFont.h"
#include "runtime/Error.h"
#include "runtime/Handle.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

#include <string>
#include <vector>

namespace vanta::scene {
namespace {

SceneScript* active = nullptr;

// Constants every scene script sees, set before the script runs.
std::string Prelude()
{
    const auto line = [](const char* name, int value) {
        return std::string(name) + " = " + std::to_string(value) + "\n";
    };
    return line("BLEND_MASK", BLEND_MASK) + line("BLEND_SOLID", BLEND_SOLID) + line("BLEND_ALPHA", BLEND_ALPHA) +
           line("BLEND_LIGHT", BLEND_LIGHT) + line("BLEND_SHADE", BLEND_SHADE) + line("IMAGE_MASKED", IMAGE_MASKED) +
           line("IMAGE_FILTERED", IMAGE_FILTERED) + line("IMAGE_MIPMAPPED", IMAGE_MIPMAPPED) +
           line("KEY_ENTER", VK_RETURN) + line("KEY_ESCAPE", VK_ESCAPE) + line("KEY_SPACE", VK_SPACE) +
           line("KEY_LEFT", VK_LEFT) + line("KEY_UP", VK_UP) + line("KEY_RIGHT", VK_RIGHT) + line("KEY_DOWN", VK_DOWN);
}

TScriptEngine& Engine()
{
    return active->Engine();
}

float Float(lua_State* state, std::int32_t index)
{
    return static_cast<float>(TScriptEngine::ArgNumber(state, index));
}

// The argument at `index` when the script passed it (not nil), else `fallback`.
std::int32_t OptionalInt(lua_State* state, std::int32_t index, std::int32_t fallback)
{
    return TScriptEngine::ArgGiven(state, index) != 0 ? TScriptEngine::ArgInt(state, index) : fallback;
}

// The image the handle argument at `index` names. Throws when it names none.
Ref<TImage> ImageArg(lua_State* state, std::int32_t index)
{
    const std::int32_t handle = TScriptEngine::ArgInt(state, index);
    Ref<TImage> image = HandleToObject<TImage>(handle);
    if (image.IsNull()) ThrowError("Scene: No image has the handle "_s + String::FromInt(handle));
    return image;
}

// Answers the image's handle (0 for `Null`), kept until the script ends.
int PushImage(const Ref<TImage>& image)
{
    const std::int32_t handle = ObjectToHandle(image);
    if (handle != 0) active->KeepHandle(handle);
    Engine().PushNumber(handle);
    return 1;
}

int PushNumber(double value)
{
    Engine().PushNumber(value);
    return 1;
}

int LuaLoadImage(lua_State* state)
{
    return PushImage(LoadImage(TScriptEngine::ArgString(state, 1), OptionalInt(state, 2, -1)));
}

int LuaLoadImageStrip(lua_State* state)
{
    return PushImage(LoadImageStrip(TScriptEngine::ArgString(state, 1), TScriptEngine::ArgInt(state, 2),
                                    TScriptEngine::ArgInt(state, 3), TScriptEngine::ArgInt(state, 4),
                                    TScriptEngine::ArgInt(state, 5), OptionalInt(state, 6, -1)));
}

int LuaFreeImage(lua_State* state)
{
    ImageArg(state, 1);
    active->ForgetHandle(TScriptEngine::ArgInt(state, 1));
    return 0;
}

int LuaImageWidth(lua_State* state)
{
    return PushNumber(ImageWidth(ImageArg(state, 1)));
}

int LuaImageHeight(lua_State* state)
{
    return PushNumber(ImageHeight(ImageArg(state, 1)));
}

int LuaImageFrames(lua_State* state)
{
    return PushNumber(ImageArg(state, 1)->FrameCount());
}

int LuaSetImageHandle(lua_State* state)
{
    SetImageHandle(ImageArg(state, 1), Float(state, 2), Float(state, 3));
    return 0;
}

int LuaDrawImage(lua_State* state)
{
    DrawImage(ImageArg(state, 1), Float(state, 2), Float(state, 3), OptionalInt(state, 4, 0));
    return 0;
}

int LuaDrawImageRect(lua_State* state)
{
    DrawImageRect(ImageArg(state, 1), Float(state, 2), Float(state, 3), Float(state, 4), Float(state, 5),
                  OptionalInt(state, 6, 0));
    return 0;
}

int LuaTileImage(lua_State* state)
{
    const bool placed = TScriptEngine::ArgGiven(state, 2) != 0;
    TileImage(ImageArg(state, 1), placed ? Float(state, 2) : 0.0f, placed ? Float(state, 3) : 0.0f,
              OptionalInt(state, 4, 0));
    return 0;
}

int LuaDrawRect(lua_State* state)
{
    DrawRect(Float(state, 1), Float(state, 2), Float(state, 3), Float(state, 4));
    return 0;
}

int LuaDrawOval(lua_State* state)
{
    DrawOval(Float(state, 1), Float(state, 2), Float(state, 3), Float(state, 4));
    return 0;
}

int LuaDrawLine(lua_State* state)
{
    DrawLine(Float(state, 1), Float(state, 2), Float(state, 3), Float(state, 4));
    return 0;
}

int LuaDrawText(lua_State* state)
{
    DrawText(TScriptEngine::ArgString(state, 1), Float(state, 2), Float(state, 3));
    return 0;
}

int LuaTextWidth(lua_State* state)
{
    return PushNumber(TextWidth(TScriptEngine::ArgString(state, 1)));
}

int LuaTextHeight(lua_State*)
{
    return PushNumber(TextHeight());
}

int LuaSetColor(lua_State* state)
{
    SetColor(TScriptEngine::ArgInt(state, 1), TScriptEngine::ArgInt(state, 2), TScriptEngine::ArgInt(state, 3));
    return 0;
}

int LuaSetAlpha(lua_State* state)
{
    SetAlpha(Float(state, 1));
    return 0;
}

int LuaSetBlend(lua_State* state)
{
    SetBlendMode(TScriptEngine::ArgInt(state, 1));
    return 0;
}

int LuaSetClearColor(lua_State* state)
{
    SetClearColor(TScriptEngine::ArgInt(state, 1), TScriptEngine::ArgInt(state, 2), TScriptEngine::ArgInt(state, 3));
    return 0;
}

int LuaSetRotation(lua_State* state)
{
    SetRotation(Float(state, 1));
    return 0;
}

int LuaSetScale(lua_State* state)
{
    SetScale(Float(state, 1), Float(state, 2));
    return 0;
}

int LuaGraphicsWidth(lua_State*)
{
    return PushNumber(GraphicsWidth());
}

int LuaGraphicsHeight(lua_State*)
{
    return PushNumber(GraphicsHeight());
}

int LuaKeyHit(lua_State* state)
{
    return PushNumber(KeyHits(TScriptEngine::ArgInt(state, 1)));
}

int LuaKeyDown(lua_State* state)
{
    Engine().PushBoolean(IsKeyDown(TScriptEngine::ArgInt(state, 1)));
    return 1;
}

int LuaMilliSecs(lua_State*)
{
    return PushNumber(ReadClock());
}

struct Registration
{
    const char* name;
    ScriptFunction function;
};

constexpr Registration functions[] = {
    {"LoadImage", &LuaLoadImage},
    {"LoadImageStrip", &LuaLoadImageStrip},
    {"FreeImage", &LuaFreeImage},
    {"ImageWidth", &LuaImageWidth},
    {"ImageHeight", &LuaImageHeight},
    {"ImageFrames", &LuaImageFrames},
    {"SetImageHandle", &LuaSetImageHandle},
    {"DrawImage", &LuaDrawImage},
    {"DrawImageRect", &LuaDrawImageRect},
    {"TileImage", &LuaTileImage},
    {"DrawRect", &LuaDrawRect},
    {"DrawOval", &LuaDrawOval},
    {"DrawLine", &LuaDrawLine},
    {"DrawText", &LuaDrawText},
    {"TextWidth", &LuaTextWidth},
    {"TextHeight", &LuaTextHeight},
    {"SetColor", &LuaSetColor},
    {"SetAlpha", &LuaSetAlpha},
    {"SetBlend", &LuaSetBlend},
    {"SetClearColor", &LuaSetClearColor},
    {"SetRotation", &LuaSetRotation},
    {"SetScale", &LuaSetScale},
    {"GraphicsWidth", &LuaGraphicsWidth},
    {"GraphicsHeight", &LuaGraphicsHeight},
    {"KeyHit", &LuaKeyHit},
    {"KeyDown", &LuaKeyDown},
    {"MilliSecs", &LuaMilliSecs},
};

} // namespace

SceneScript::SceneScript() : engine_(New<TScriptEngine>())
{
    if (active != nullptr) ThrowError("Scene: Only one scene script can run at a time");
    if (engine_->IsStarted() == 0) ThrowError("Scene: The script engine did not start");
    for (const Registration& registration : functions)
        engine_->RegisterFunction(String::FromCString(registration.name), registration.function);
    if (engine_->LoadScriptText(String::FromCString(Prelude().c_str())) == 0 || engine_->Execute() == 0)
        ThrowError("Scene: "_s + engine_->ErrorMessage());
    active = this;
}

SceneScript::~SceneScript()
{
    active = nullptr;
    engine_->Stop();
    for (std::int32_t handle : handles_)
        ReleaseHandle(handle);
}

bool SceneScript::Run(const Ref<String>& path)
{
    return engine_->RunScriptFile(path) != 0;
}

bool SceneScript::Frame(std::int32_t number, bool& wantsToStop)
{
    engine_->ClearCall();
    engine_->AddNumberArg(number);
    const bool succeeded = engine_->CallFunction("frame"_s, 1) != 0;
    wantsToStop = succeeded && engine_->ResultKind() == SCRIPT_BOOLEAN && engine_->BooleanResult() == 0;
    return succeeded;
}

std::string SceneScript::Error() const
{
    std::string line = "error " + std::to_string(engine_->ErrorCode()) + ": ";
    for (char16_t unit : engine_->ErrorMessage()->View())
        line += static_cast<char>(unit & 0xFF);
    return line;
}

void SceneScript::KeepHandle(std::int32_t handle)
{
    handles_.push_back(handle);
}

void SceneScript::ForgetHandle(std::int32_t handle)
{
    if (std::erase(handles_, handle) != 0) ReleaseHandle(handle);
}

} // namespace vanta::scene
