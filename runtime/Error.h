// Runtime errors and exceptions.
//
// Any object can be thrown; `Throw` raises it as a C++ `Exception` that carries the object. A handler
// catches `Exception`, downcasts the thrown object to the class it deals with and rethrows what it does
// not accept:
//
//     try {
//         ...
//     } catch (const Exception& e) {
//         if (!e.Is<TStreamError>()) throw;
//         ...
//     }
//
// An exception that nothing catches goes to the uncaught-exception hook, which by default writes the
// thrown object's `ToString` to standard error and ends the process with status -1 (255).
#pragma once

#include "runtime/Object.h"
#include "runtime/String.h"

#include <exception>
#include <string>

namespace vanta {

// Base class of the runtime's own errors; its `ToString` is the plain object's.
class TRuntimeError : public Object
{
    VANTA_CLASS(TRuntimeError, Object)
public:
    TRuntimeError() = default;
};

// "Attempt to access field or method of Null object"
class TNullObjectError : public TRuntimeError
{
    VANTA_CLASS(TNullObjectError, TRuntimeError)
public:
    TNullObjectError() = default;
    Ref<String> ToString() override;
};

// "Attempt to call abstract method"
class TAbstractMethodError : public TRuntimeError
{
    VANTA_CLASS(TAbstractMethodError, TRuntimeError)
public:
    TAbstractMethodError() = default;
    Ref<String> ToString() override;
};

// "Attempt to call uninitialized function pointer"
class TNullFunctionError : public TRuntimeError
{
    VANTA_CLASS(TNullFunctionError, TRuntimeError)
public:
    TNullFunctionError() = default;
    Ref<String> ToString() override;
};

// "Attempt to index array element beyond array length"
class TArrayBoundsError : public TRuntimeError
{
    VANTA_CLASS(TArrayBoundsError, TRuntimeError)
public:
    TArrayBoundsError() = default;
    Ref<String> ToString() override;
};

// "Attempt to read beyond end of data"
class TOutOfDataError : public TRuntimeError
{
    VANTA_CLASS(TOutOfDataError, TRuntimeError)
public:
    TOutOfDataError() = default;
    Ref<String> ToString() override;
};

// A runtime error with a message of its own; `ToString` gives the message.
class TMessageError : public TRuntimeError
{
    VANTA_CLASS(TMessageError, TRuntimeError)
public:
    TMessageError() = default;
    Ref<String> ToString() override;

    // A new error holding `message`.
    static Ref<TMessageError> Create(const Ref<String>& message);

    // The error's text.
    Ref<String> message = EmptyString();
};

// The C++ exception that carries a thrown object.
class Exception : public std::exception
{
public:
    // Carries `thrown`.
    explicit Exception(Ref<Object> thrown) noexcept : thrown_(std::move(thrown)) {}

    // The object that was thrown.
    const Ref<Object>& Thrown() const noexcept { return thrown_; }

    // True when the thrown object is a `T` (or derives from it).
    template <class T>
    bool Is() const noexcept
    {
        return IsKindOf(thrown_.Raw(), &classRecordOf<T>);
    }

    // The thrown object as a `T`, or `Null`.
    template <class T>
    Ref<T> As() const
    {
        return Downcast<T>(thrown_);
    }

    // The thrown object's text (made on first use).
    const char* what() const noexcept override;

private:
    Ref<Object> thrown_;
    mutable std::string text_;
};

// Throws `thrown` (any object).
[[noreturn]] void Throw(const Ref<Object>& thrown);
// Throws the text as a `String`.
[[noreturn]] void ThrowCString(const char* text);
// Throws a new `TMessageError` holding `message`.
[[noreturn]] void ThrowError(const Ref<String>& message);
// Throws a new `TMessageError` holding the text.
[[noreturn]] void ThrowError(const char* message);
// Throws a new `TAbstractMethodError`.
[[noreturn]] void ThrowAbstractMethod();
// Throws a new `TNullFunctionError`.
[[noreturn]] void ThrowNullFunction();
// Throws a new `TArrayBoundsError`.
[[noreturn]] void ThrowArrayBounds();
// Throws a new `TOutOfDataError`.
[[noreturn]] void ThrowOutOfData();

// Receives an exception that nothing caught. A hook must not return.
using UncaughtExceptionHook = void (*)(const Ref<Object>& thrown);

// Replaces the uncaught-exception hook and returns the previous one.
UncaughtExceptionHook SetUncaughtExceptionHook(UncaughtExceptionHook hook) noexcept;

// Hands `thrown` to the uncaught-exception hook; ends the process.
[[noreturn]] void HandleUncaughtException(const Ref<Object>& thrown);

// The default hook: writes the object's text and a line break to standard error and ends the process
// with status -1.
[[noreturn]] void DefaultUncaughtExceptionHook(const Ref<Object>& thrown);

} // namespace vanta
