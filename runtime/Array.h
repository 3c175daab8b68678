// Arrays: fixed-size runs of numbers, strings, objects, arrays or function pointers.
//
// Every array carries a type tag, a short static C string whose first character names the element type:
//
//     "b" uint8   "s" uint16   "i" int32   "l" int64   "f" float   "d" double      (initially 0)
//     "$" String (initially the empty string)   ":" object (initially Null)   "[" array (initially the
//     empty array)   "(" function pointer (initially one that throws TNullFunctionError)
//
// Any other first character is a 4-byte number. The rest of an object tag names the element class
// (":TPixmap"). String, object and array elements are owned references (`Ref<Object>`). Elements are
// stored row-major; a multi-dimensional array keeps, for each dimension k, the product of the sizes of
// dimensions k and after, so `Extent(0)` is the element count.
//
// Every array with no elements is the one static empty array. Element access through `At` and
// `ObjectAt` checks the index and throws `TArrayBoundsError`; `Data` gives the raw run for bulk work.
#pragma once

#include "runtime/Object.h"

#include <cstdint>
#include <initializer_list>
#include <span>

namespace vanta {

class Array;

template <>
// The array class's debug name.
inline constexpr const char* classDebugName<Array> = "Array";

// The type of the elements of a function-pointer array.
using FunctionPointer = void (*)();

// An array: its type tag, its dimensions and its elements in one block.
class Array final : public Object
{
    VANTA_CLASS(Array, Object)
public:
    // The type tag; nullptr for the empty array.
    const char* Type() const noexcept { return type_; }

    // Number of dimensions (0 for the empty array).
    std::int32_t Dims() const noexcept { return dims_; }

    // Total number of elements.
    std::int32_t Length() const noexcept { return length_; }

    // The product of the sizes of dimensions `k` and after; 0 outside 0 .. Dims() - 1.
    std::int32_t Extent(std::int32_t k) const noexcept { return k >= 0 && k < dims_ ? Extents()[k] : 0; }

    // Bytes of element data.
    std::int32_t DataSize() const noexcept { return dataSize_; }

    // Bytes per element.
    std::int32_t ElementSize() const noexcept { return length_ == 0 ? 0 : dataSize_ / length_; }

    // The element data, row-major.
    void* Data() noexcept { return reinterpret_cast<char*>(this) + DataOffset(dims_); }
    const void* Data() const noexcept { return reinterpret_cast<const char*>(this) + DataOffset(dims_); }

    // The element data as `T` (whose size must be the element size).
    template <class T>
    T* DataAs() noexcept
    {
        assert(dims_ == 0 || sizeof(T) == static_cast<std::size_t>(ElementSize()));
        return static_cast<T*>(Data());
    }

    // Element `index` of a number or function-pointer array; throws `TArrayBoundsError` outside.
    template <class T>
    T& At(std::int32_t index)
    {
        CheckIndex(index);
        return DataAs<T>()[index];
    }

    // Element `index` of a string, object or array array; throws `TArrayBoundsError` outside.
    Ref<Object>& ObjectAt(std::int32_t index)
    {
        CheckIndex(index);
        assert(HoldsObjects());
        return static_cast<Ref<Object>*>(Data())[index];
    }

    // True for the tags "$", ":" and "[".
    bool HoldsObjects() const noexcept { return type_ != nullptr && IsObjectTag(type_); }

    // Sorts the elements in place (numbers numerically, strings and objects by their `Compare`, other
    // kinds not at all).
    void Sort(bool ascending);

    // Whether elements of type `tag` are owned references (strings, objects, arrays).
    static bool IsObjectTag(const char* tag) noexcept { return tag[0] == '$' || tag[0] == ':' || tag[0] == '['; }

    // Element bytes for a tag.
    static std::int32_t ElementSizeOf(const char* tag) noexcept;

    // A statically allocated empty array.
    constexpr explicit Array(detail::StaticTag tag) noexcept : Object(tag) {}

private:
    Array(const char* type, std::int32_t dims, std::int32_t dataSize, std::int32_t length) noexcept
        : type_(type), dims_(dims), dataSize_(dataSize), length_(length)
    {}

    static constexpr std::ptrdiff_t DataOffset(std::int32_t dims) noexcept
    {
        return (static_cast<std::ptrdiff_t>(sizeof(Array)) + 4 * dims + 7) & ~std::ptrdiff_t{7};
    }

    std::int32_t* Extents() noexcept
    {
        return reinterpret_cast<std::int32_t*>(reinterpret_cast<char*>(this) + sizeof(Array));
    }
    const std::int32_t* Extents() const noexcept
    {
        return reinterpret_cast<const std::int32_t*>(reinterpret_cast<const char*>(this) + sizeof(Array));
    }

    // Inline, so that element access costs a comparison; the throw is out of line.
    void CheckIndex(std::int32_t index) const
    {
        if (index < 0 || index >= length_) ThrowIndex();
    }
    [[noreturn]] static void ThrowIndex();
    void Dispose() override;

    friend Ref<Array> NewArrayDims(const char* tag, std::span<const std::int32_t> sizes);

    const char* type_ = nullptr;
    std::int32_t dims_ = 0;
    std::int32_t dataSize_ = 0;
    std::int32_t length_ = 0;
};

namespace detail {

union EmptyArrayHolder
{
    constexpr EmptyArrayHolder() noexcept : array(StaticTag{}) {}
    constexpr ~EmptyArrayHolder() {}
    Array array;
};

extern constinit EmptyArrayHolder emptyArray;

} // namespace detail

// The one empty array.
inline Array* EmptyArray() noexcept
{
    return &detail::emptyArray.array;
}

// A one-dimensional array of `count` initialised elements; the empty array for a count of 0 or less.
Ref<Array> NewArray(const char* tag, std::int32_t count);

// An array with the given dimension sizes, initialised; the empty array when it has no elements.
Ref<Array> NewArrayDims(const char* tag, std::span<const std::int32_t> sizes);
Ref<Array> NewArrayDims(const char* tag, std::initializer_list<std::int32_t> sizes);

// A one-dimensional array of elements `start` .. `end` - 1 of `source` read as a flat run; positions
// outside the source get the initial value. The empty array when `end` - `start` <= 0.
Ref<Array> SliceArray(const char* tag, const Ref<Array>& source, std::int32_t start, std::int32_t end);

// A one-dimensional array of `count` elements filled from `source`: object pointers for "$", ":" and "["
// (retained; a null pointer gives Null), the low 8 or 16 bits of 32-bit words for "b" and "s", and the
// element bytes themselves for every other tag. The empty array for a count of 0 or less.
Ref<Array> ArrayFromData(const char* tag, std::int32_t count, const void* source);

// Sorts `array` in place; see `Array::Sort`.
void SortArray(const Ref<Array>& array, bool ascending);

} // namespace vanta
