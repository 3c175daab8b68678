// Runtime errors, throwing, and the path of an exception that nothing catches.
#include "runtime/Error.h"

#include "runtime/String.h"

#include <cstdio>
#include <cstdlib>

namespace vanta {
namespace {

constinit UncaughtExceptionHook uncaughtHook = &DefaultUncaughtExceptionHook;

// An exception that leaves a thread (or a noexcept function) ends up here; one carrying a runtime object
// takes the uncaught-exception path.
[[noreturn]] void OnTerminate()
{
    if (std::exception_ptr pending = std::current_exception()) {
        try {
            std::rethrow_exception(pending);
        } catch (const Exception& e) {
            HandleUncaughtException(e.Thrown());
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s\n", e.what());
        } catch (...) {
            std::fputs("Unknown exception\n", stderr);
        }
    } else {
        std::fputs("Program terminated\n", stderr);
    }
    std::fflush(nullptr);
    std::_Exit(-1);
}

const bool terminateHandlerInstalled = (std::set_terminate(&OnTerminate), true);

} // namespace

Ref<String> TNullObjectError::ToString()
{
    return "Attempt to access field or method of Null object"_s;
}

Ref<String> TAbstractMethodError::ToString()
{
    return "Attempt to call abstract method"_s;
}

Ref<String> TNullFunctionError::ToString()
{
    return "Attempt to call uninitialized function pointer"_s;
}

Ref<String> TArrayBoundsError::ToString()
{
    return "Attempt to index array element beyond array length"_s;
}

Ref<String> TOutOfDataError::ToString()
{
    return "Attempt to read beyond end of data"_s;
}

Ref<String> TMessageError::ToString()
{
    return message;
}

Ref<TMessageError> TMessageError::Create(const Ref<String>& message)
{
    Ref<TMessageError> error = New<TMessageError>();
    error->message = message;
    return error;
}

const char* Exception::what() const noexcept
{
    if (text_.empty()) {
        try {
            Ref<String> text = thrown_.IsNull() ? Ref<String>("Null"_s) : thrown_->ToString();
            text_.assign(text->ToCString(), static_cast<std::size_t>(text->Length()));
        } catch (...) {
            text_ = "(an object whose text cannot be made)";
        }
    }
    return text_.c_str();
}

void Throw(const Ref<Object>& thrown)
{
    (void)terminateHandlerInstalled;
    throw Exception(thrown);
}

void ThrowCString(const char* text)
{
    Throw(String::FromCString(text));
}

void ThrowError(const Ref<String>& message)
{
    Throw(TMessageError::Create(message));
}

void ThrowError(const char* message)
{
    ThrowError(String::FromCString(message));
}

void ThrowNullObject()
{
    Throw(New<TNullObjectError>());
}

void ThrowAbstractMethod()
{
    Throw(New<TAbstractMethodError>());
}

void ThrowNullFunction()
{
    Throw(New<TNullFunctionError>());
}

void ThrowArrayBounds()
{
    Throw(New<TArrayBoundsError>());
}

void ThrowOutOfData()
{
    Throw(New<TOutOfDataError>());
}

UncaughtExceptionHook SetUncaughtExceptionHook(UncaughtExceptionHook hook) noexcept
{
    UncaughtExceptionHook previous = uncaughtHook;
    uncaughtHook = hook != nullptr ? hook : &DefaultUncaughtExceptionHook;
    return previous;
}

void HandleUncaughtException(const Ref<Object>& thrown)
{
    uncaughtHook(thrown);
    // A hook that returns has nowhere to go back to.
    std::fflush(nullptr);
    std::_Exit(-1);
}

void DefaultUncaughtExceptionHook(const Ref<Object>& thrown)
{
    const Exception exception(thrown);
    std::fputs(exception.what(), stderr);
    std::fputc('\n', stderr);
    std::fflush(nullptr);
    std::_Exit(-1);
}

} // namespace vanta
