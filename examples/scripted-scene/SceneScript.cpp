// The scene script: the runtime's bindings on one engine, and the per-frame call.
#include "SceneScript.h"

#include "runtime/Error.h"
#include "script/ScriptBindings.h"

namespace vanta::scene {

SceneScript::SceneScript() : engine_(New<TScriptEngine>())
{
    if (engine_->IsStarted() == 0) ThrowError("Scene: The script engine did not start");
    BindRuntime(*engine_);
}

SceneScript::~SceneScript()
{
    engine_->Stop();
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

} // namespace vanta::scene
