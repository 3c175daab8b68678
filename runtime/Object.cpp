// Objects, the Null object, the pending-release stack and scratch buffers.
#include "runtime/Object.h"

#include "runtime/Error.h"
#include "runtime/String.h"

#include <cstdio>
#include <cstring>

namespace vanta {
namespace {

// The pending-release stack grows by this many entries whenever a push finds it full.
constexpr std::ptrdiff_t RELEASE_STACK_GROWTH = 100;

struct ReleaseStack
{
    Object** base;
    Object** top;
    Object** end;
};

constinit ReleaseStack releaseStack{};

void GrowReleaseStack()
{
    const std::ptrdiff_t used = releaseStack.top - releaseStack.base;
    const std::ptrdiff_t capacity = releaseStack.end - releaseStack.base;
    const std::ptrdiff_t grown = capacity + RELEASE_STACK_GROWTH;
    // The stack is an array of object pointers: sizeof(Object*) is its entry size, as meant.
    // NOLINTBEGIN(bugprone-sizeof-expression)
    auto** entries = static_cast<Object**>(MemAlloc(grown * static_cast<std::ptrdiff_t>(sizeof(Object*))));
    if (used > 0) std::memcpy(entries, releaseStack.base, static_cast<std::size_t>(used) * sizeof(Object*));
    MemFree(releaseStack.base, capacity * static_cast<std::ptrdiff_t>(sizeof(Object*)));
    // NOLINTEND(bugprone-sizeof-expression)
    releaseStack.base = entries;
    releaseStack.top = entries + used;
    releaseStack.end = entries + grown;
}

void Push(Object* object)
{
    if (releaseStack.top == releaseStack.end) GrowReleaseStack();
    *releaseStack.top++ = object;
}

// The object behind a scratch buffer: a header followed by the buffer's bytes.
class ScratchBuffer final : public Object
{
    VANTA_CLASS(ScratchBuffer, Object)
public:
    explicit ScratchBuffer(std::ptrdiff_t total) noexcept : total_(total) {}

private:
    void Dispose() override
    {
        const std::ptrdiff_t total = total_;
        this->~ScratchBuffer();
        MemFree(this, total);
    }

    friend void* vanta::TempBuffer(std::ptrdiff_t size);

    std::ptrdiff_t total_;
};

} // namespace

namespace detail {

constinit NullObject nullObject;

void PushReleased(Object* object)
{
    object->refs_ = COUNT_PENDING;
    Push(object);
}

void PushNew(Object* object)
{
    Push(object);
}

Ref<String> NullObject::ToString()
{
    ThrowNullObject();
}

int NullObject::Compare(Object&)
{
    ThrowNullObject();
}

Ref<Object> NullObject::Message(const Ref<Object>&, const Ref<Object>&)
{
    ThrowNullObject();
}

void NullObject::Dispose()
{
    RestorePermanentCount();
}

} // namespace detail

const ClassRecord* Object::Class() const noexcept
{
    return &classRecordOf<Object>;
}

Ref<String> Object::ToString()
{
    char text[32];
    std::snprintf(text, sizeof text, "%016jX", static_cast<std::uintmax_t>(reinterpret_cast<std::uintptr_t>(this)));
    return String::FromCString(text);
}

int Object::Compare(Object& other)
{
    // The addresses themselves are compared: their difference does not fit 32 bits on a 64-bit machine.
    const auto self = reinterpret_cast<std::uintptr_t>(this);
    const auto that = reinterpret_cast<std::uintptr_t>(&other);
    return self < that ? -1 : (self > that ? 1 : 0);
}

Ref<Object> Object::Message(const Ref<Object>&, const Ref<Object>&)
{
    return Null;
}

Ref<Object> Object::Reserved1()
{
    ThrowCString("Illegal call to reserved method");
}

Ref<Object> Object::Reserved2()
{
    ThrowCString("Illegal call to reserved method");
}

Ref<Object> Object::Reserved3()
{
    ThrowCString("Illegal call to reserved method");
}

void Object::Dispose()
{
    delete this;
}

Ref<Object> Downcast(const Ref<Object>& object, const ClassRecord& record)
{
    return IsKindOf(object.Raw(), &record) ? object : Ref<Object>();
}

int ReleaseStackLevel() noexcept
{
    return static_cast<int>(releaseStack.top - releaseStack.base);
}

void FlushReleaseStack(int level)
{
    if (level < 0) level = 0;
    // Disposal releases fields, which may push more entries (and move the stack), so the stack is read
    // afresh on every round.
    while (releaseStack.top - releaseStack.base > level) {
        Object* object = *--releaseStack.top;
        object->refs_ &= ~detail::COUNT_PENDING;
        if (object->refs_ == 0) {
            // A disposal that takes and drops a reference to the dying object must not queue it again.
            object->refs_ = detail::COUNT_PERMANENT;
            object->Dispose();
        }
    }
}

void FlushReleaseStackKeeping(int level, std::span<Object* const> keep)
{
    for (Object* object : keep)
        Retain(object);
    FlushReleaseStack(level);
    for (Object* object : keep)
        Release(object);
}

void* TempBuffer(std::ptrdiff_t size)
{
    if (size < 0) size = 0;
    const std::ptrdiff_t total = static_cast<std::ptrdiff_t>(sizeof(ScratchBuffer)) + size;
    void* block = MemAlloc(total);
    auto* buffer = new (block) ScratchBuffer(total);
    detail::PushNew(buffer);
    return static_cast<char*>(block) + sizeof(ScratchBuffer);
}

void InitRuntimeCore()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
}

} // namespace vanta
