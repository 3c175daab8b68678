// Objects, class records and reference counting: the core of the object runtime.
//
// Every value of reference type (strings, arrays, lists, streams, pixmaps, sounds, the game's own records)
// is an `Object`: it knows its class record and carries a 32-bit reference count whose bit 31 is the
// *pending* flag. Objects are destroyed late, in batches: a new object starts pending with count 0 on the
// pending-release stack, a release that brings the count to zero pushes the object again, and only
// `FlushReleaseStack` destroys what it pops with a zero count. So a function may hand back a freshly made
// object and the caller may use it until the next flush without anyone holding it.
//
// `Ref<T>` is the retaining reference every variable, field and container uses: storing keeps one
// reference, dropping it releases that reference. An empty `Ref` refers to the `Null` object, never to a
// null pointer, and reaching through it (`->`, `*`, `Get`) throws `TNullObjectError`.
//
// Declaring a class:
//
//     class TPixmap : public Object
//     {
//         VANTA_CLASS(TPixmap, Object)
//     public:
//         ...
//     };
//
//     Ref<TPixmap> pixmap = New<TPixmap>(...);
//
// Statically allocated objects (string literals, the empty string, the empty array and `Null`) carry the
// permanent count 0x7FFFFFFF and are never destroyed.
//
// Main thread only: counts, the pending-release stack and the allocator are not locked. Code on other
// threads (the audio callback) never creates, retains or releases objects.
#pragma once

#include "runtime/Memory.h"

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <type_traits>
#include <utility>

namespace vanta {

class Object;
class String;
template <class T>
class Ref;

// The record every class has: its base class, its name (only the runtime's own classes carry one) and
// the size of an instance.
struct ClassRecord
{
    // The base class's record; nullptr for the root class.
    const ClassRecord* base;
    // The class's name, or nullptr.
    const char* name;
    // The size of an instance in bytes.
    std::size_t instanceSize;
};

// Debug name of a class record; specialised for the runtime's own classes.
template <class T>
inline constexpr const char* classDebugName = nullptr;

namespace detail {

template <class T>
consteval const ClassRecord* BaseRecordOf();

} // namespace detail

// The class record of `T`.
template <class T>
inline constexpr ClassRecord classRecordOf{detail::BaseRecordOf<T>(), classDebugName<T>, sizeof(T)};

namespace detail {

template <class T>
consteval const ClassRecord* BaseRecordOf()
{
    if constexpr (std::is_same_v<T, Object>) {
        return nullptr;
    } else {
        static_assert(std::is_base_of_v<typename T::Base, T>, "VANTA_CLASS names a class that is not a base");
        return &classRecordOf<typename T::Base>;
    }
}

// Tag for the constructors of statically allocated objects.
struct StaticTag
{};

inline constexpr std::uint32_t COUNT_PENDING = 0x80000000u;
inline constexpr std::uint32_t COUNT_PERMANENT = 0x7FFFFFFFu;

void PushReleased(Object* object);
void PushNew(Object* object);

} // namespace detail

// Declares a class of the object runtime: names its base class and answers its class record.
#define VANTA_CLASS(Self, BaseClass)                                                                                   \
public:                                                                                                                \
    using Base = BaseClass;                                                                                            \
    const ::vanta::ClassRecord* Class() const noexcept override                                                        \
    {                                                                                                                  \
        return &::vanta::classRecordOf<Self>;                                                                          \
    }                                                                                                                  \
                                                                                                                       \
private:

// The type of `Null`, which converts to an empty reference of any class.
struct NullTag
{};
// The empty reference: converts to a `Ref` of any class that holds the `Null` object.
inline constexpr NullTag Null{};

template <class T, class... Args>
Ref<T> New(Args&&... args);

template <>
// The root class's debug name.
inline constexpr const char* classDebugName<Object> = "Object";

// The root class.
class Object
{
public:
    // The base class (`VANTA_CLASS` names it for every other class); the root has none.
    using Base = void;

    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    constexpr virtual ~Object() = default;

    // The object's class record; nullptr only for the `Null` object.
    virtual const ClassRecord* Class() const noexcept;

    // A text for the object; for a plain object its address in upper-case hexadecimal.
    virtual Ref<String> ToString();

    // Negative, zero or positive as this object orders before, with or after `other`; for a plain object
    // the order of the addresses, so only the object itself compares equal.
    virtual int Compare(Object& other);

    // A message sent to the object; the root class ignores it and answers `Null`.
    virtual Ref<Object> Message(const Ref<Object>& message, const Ref<Object>& context);

    // Reserved for future use: each throws the text "Illegal call to reserved method".
    virtual Ref<Object> Reserved1();
    virtual Ref<Object> Reserved2();
    virtual Ref<Object> Reserved3();

    // The count word: the reference count in bits 0-30 and the pending flag in bit 31.
    std::uint32_t CountWord() const noexcept { return refs_; }

    // Objects come only from `New` (and the runtime's own variable-size allocators).
    static void operator delete(void* block, std::size_t size) noexcept
    {
        MemFree(block, static_cast<std::ptrdiff_t>(size));
    }
    // The placement form that matches the placement `new` below.
    static void operator delete(void*, void*) noexcept {}

protected:
    constexpr Object() noexcept = default;
    // An object made in static storage, whose count never reaches 0 (the `Null` object, literal strings).
    constexpr explicit Object(detail::StaticTag) noexcept : refs_(detail::COUNT_PERMANENT) {}

    // Destroys the object and returns its memory; runs at a flush that finds the count at zero.
    virtual void Dispose();

    // Sets the count word of a statically allocated object back to the permanent count.
    void RestorePermanentCount() noexcept { refs_ = detail::COUNT_PERMANENT; }

    // Constructs in place, for the runtime's own variable-size allocators.
    static void* operator new(std::size_t, void* where) noexcept { return where; }

private:
    static void* operator new(std::size_t size) { return MemAlloc(static_cast<std::ptrdiff_t>(size)); }

    template <class T, class... Args>
    friend Ref<T> New(Args&&... args);
    friend Object* Retain(Object* object) noexcept;
    friend void Release(Object* object) noexcept;
    friend void detail::PushReleased(Object* object);
    friend void detail::PushNew(Object* object);
    friend void FlushReleaseStack(int level);

    std::uint32_t refs_ = detail::COUNT_PENDING;
};

namespace detail {

// The `Null` object: no class, a permanent count, and every method throws `TNullObjectError`.
class NullObject final : public Object
{
public:
    constexpr NullObject() noexcept : Object(StaticTag{}) {}
    const ClassRecord* Class() const noexcept override { return nullptr; }
    Ref<String> ToString() override;
    int Compare(Object& other) override;
    Ref<Object> Message(const Ref<Object>& message, const Ref<Object>& context) override;

private:
    void Dispose() override;
};

extern constinit NullObject nullObject;

} // namespace detail

// The `Null` object itself, for code that works with plain object pointers.
inline Object* NullObject() noexcept
{
    return &detail::nullObject;
}

// Adds one to the object's count and returns it. `Null` is not counted.
inline Object* Retain(Object* object) noexcept
{
    if (object != NullObject()) ++object->refs_;
    return object;
}

// Takes one from the object's count; an object whose count word becomes 0 goes on the pending-release
// stack again. Never destroys anything. `Null` is not counted.
inline void Release(Object* object) noexcept
{
    if (object != NullObject() && --object->refs_ == 0) detail::PushReleased(object);
}

// Throws `TNullObjectError` ("Attempt to access field or method of Null object").
[[noreturn]] void ThrowNullObject();

// A retaining reference to an object of class `T` (or of a class derived from it), or to `Null`.
template <class T>
class Ref
{
public:
    constexpr Ref() noexcept : object_(&detail::nullObject) {}
    // `Null`.
    constexpr Ref(NullTag) noexcept : object_(&detail::nullObject) {}
    // A null pointer gives `Null`.
    Ref(T* object) noexcept : object_(object != nullptr ? Retain(object) : NullObject()) {}
    // Another reference to the object `other` holds (one more count).
    Ref(const Ref& other) noexcept : object_(Retain(other.object_)) {}
    // Takes over `other`'s reference, leaving `Null` there.
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, NullObject())) {}

    // Another reference to the object that `other`, a reference to a derived class, holds.
    template <class U>
    requires std::is_base_of_v<T, U> Ref(const Ref<U>& other)
    noexcept : object_(Retain(other.Raw())) {}

    // Takes over a reference to a derived class, leaving `Null` there.
    template <class U>
    requires std::is_base_of_v<T, U> Ref(Ref<U>&& other)
    noexcept : object_(other.Release()) {}

    ~Ref()
    {
        static_assert(std::is_base_of_v<Object, T>, "Ref holds runtime objects");
        vanta::Release(object_);
    }

    // Holds what `other` holds; the old object loses one count (it dies at a later flush, not here).
    Ref& operator=(const Ref& other) noexcept
    {
        Object* old = std::exchange(object_, Retain(other.object_));
        vanta::Release(old);
        return *this;
    }

    // Takes over `other`'s reference; the old object loses one count.
    Ref& operator=(Ref&& other) noexcept
    {
        if (this != &other) vanta::Release(std::exchange(object_, std::exchange(other.object_, NullObject())));
        return *this;
    }

    // Holds `Null`; the old object loses one count.
    Ref& operator=(NullTag) noexcept
    {
        vanta::Release(std::exchange(object_, NullObject()));
        return *this;
    }

    // The object; throws `TNullObjectError` for `Null`.
    T* Get() const
    {
        if (object_ == NullObject()) ThrowNullObject();
        return static_cast<T*>(object_);
    }
    // The object's members; throws `TNullObjectError` for `Null`.
    T* operator->() const { return Get(); }
    T& operator*() const { return *Get(); }

    // The object or the `Null` object, without a check.
    Object* Raw() const noexcept { return object_; }

    // Whether it holds `Null`.
    bool IsNull() const noexcept { return object_ == NullObject(); }
    // Whether it holds an object (not `Null`).
    explicit operator bool() const noexcept { return !IsNull(); }

    // Gives up the reference without releasing it, leaving `Null` behind.
    Object* Release() noexcept { return std::exchange(object_, NullObject()); }

    // Whether both hold the same object (identity, not `Compare`); `Null` equals only `Null`.
    template <class U>
    bool operator==(const Ref<U>& other) const noexcept
    {
        return object_ == other.Raw();
    }
    // Whether it holds `Null`.
    bool operator==(NullTag) const noexcept { return IsNull(); }
    // Whether it holds `other` (the `Null` object included).
    bool operator==(const Object* other) const noexcept { return object_ == other; }

private:
    Object* object_;
};

// Creates an object: allocated by the runtime's allocator, constructed, and pushed on the
// pending-release stack with count 0, so that it dies at the next flush unless something keeps it.
template <class T, class... Args>
Ref<T> New(Args&&... args)
{
    static_assert(alignof(T) <= 8, "the allocator hands out 8-byte aligned blocks");
    T* object = new T(std::forward<Args>(args)...);
    assert(object->Class() == &classRecordOf<T> && "the class lacks VANTA_CLASS");
    detail::PushNew(object);
    return Ref<T>(object);
}

// True when `object`'s class is `record` or derives from it; false for `Null`.
inline bool IsKindOf(const Object* object, const ClassRecord* record) noexcept
{
    for (const ClassRecord* c = object->Class(); c != nullptr; c = c->base) {
        if (c == record) return true;
    }
    return false;
}

// The object as a `T` if its class is `T` or derives from it, else `Null`.
template <class T, class U>
Ref<T> Downcast(const Ref<U>& object)
{
    if (!IsKindOf(object.Raw(), &classRecordOf<T>)) return Null;
    return Ref<T>(static_cast<T*>(object.Raw()));
}

// The object if its class is `record` or derives from it, else `Null`.
Ref<Object> Downcast(const Ref<Object>& object, const ClassRecord& record);

// The depth of the pending-release stack.
int ReleaseStackLevel() noexcept;

// Pops entries until the depth is `level`, destroying each popped object whose count is zero. A level at
// or above the current depth does nothing; a negative level flushes everything.
void FlushReleaseStack(int level);

// Flushes to `level` while keeping `keep` alive: each of them gets a fresh entry above `level` when
// nothing else holds it.
void FlushReleaseStackKeeping(int level, std::span<Object* const> keep);

// Flushes to `level` keeping `object` alive, and returns it.
template <class T>
T* FlushReleaseStackKeepingOne(int level, T* object)
{
    Object* keep[] = {object};
    FlushReleaseStackKeeping(level, keep);
    return object;
}

// A scratch buffer of `size` bytes (8-byte aligned) that lives until the next flush that passes it.
void* TempBuffer(std::ptrdiff_t size);

// The object runtime's module initialiser (only marks the module initialised).
void InitRuntimeCore();

} // namespace vanta
