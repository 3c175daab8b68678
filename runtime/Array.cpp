// Arrays: allocation, initial values, slicing, filling from raw data, sorting and disposal.
#include "runtime/Array.h"

#include "runtime/Error.h"
#include "runtime/String.h"

#include <cstring>
#include <utility>

namespace vanta {

namespace detail {
constinit EmptyArrayHolder emptyArray;
} // namespace detail

namespace {

// The initial object of a string, object or array element.
Object* InitialObject(char kind) noexcept
{
    switch (kind) {
    case '$': return EmptyString();
    case '[': return EmptyArray();
    default: return NullObject();
    }
}

// Gives every element its initial value: owned references to the static initial object, the throwing
// function, or zero bytes.
void InitialiseElements(const char* tag, void* data, std::int32_t count, std::int32_t dataSize)
{
    if (Array::IsObjectTag(tag)) {
        Object* initial = InitialObject(tag[0]);
        auto* elements = static_cast<Ref<Object>*>(data);
        for (std::int32_t i = 0; i < count; ++i)
            new (&elements[i]) Ref<Object>(initial);
    } else if (tag[0] == '(') {
        auto* elements = static_cast<FunctionPointer*>(data);
        for (std::int32_t i = 0; i < count; ++i)
            elements[i] = &ThrowNullFunction;
    } else {
        std::memset(data, 0, static_cast<std::size_t>(dataSize));
    }
}

// Hoare partition quicksort with a median-of-three pivot, as the runtime has always sorted: each pass
// partitions around the median of the first, middle and last elements, then sorts the two parts. `before(a, b)` is true
// when a belongs strictly before b.
template <class T, class Before>
void QuickSort(T* data, std::int32_t first, std::int32_t last, Before before)
{
    while (first < last) {
        if (last - first == 1) {
            if (before(data[last], data[first])) std::swap(data[first], data[last]);
            return;
        }
        std::int32_t pivot = first + (last - first) / 2;
        if (before(data[pivot], data[first])) std::swap(data[pivot], data[first]);
        if (before(data[last], data[pivot])) {
            std::swap(data[last], data[pivot]);
            if (before(data[pivot], data[first])) std::swap(data[pivot], data[first]);
        }

        std::int32_t left = first;
        std::int32_t right = last;
        while (left <= right) {
            // The bounds keep a comparison that is not a strict order (a careless Compare) inside the run.
            while (left < last && before(data[left], data[pivot]))
                ++left;
            while (right > first && before(data[pivot], data[right]))
                --right;
            if (left <= right) {
                std::swap(data[left], data[right]);
                if (pivot == left) {
                    pivot = right;
                } else if (pivot == right) {
                    pivot = left;
                }
                ++left;
                --right;
            }
        }
        // The two parts are sorted independently, so the order in which they are taken changes nothing; taking
        // the smaller by recursion keeps the stack at a logarithmic depth whatever the input.
        if (right - first < last - left) {
            QuickSort(data, first, right, before);
            first = left;
        } else {
            QuickSort(data, left, last, before);
            last = right;
        }
    }
}

template <class T>
void SortNumbers(void* data, std::int32_t count, bool ascending)
{
    auto* values = static_cast<T*>(data);
    if (ascending) {
        QuickSort(values, 0, count - 1, [](const T& a, const T& b) { return a < b; });
    } else {
        QuickSort(values, 0, count - 1, [](const T& a, const T& b) { return b < a; });
    }
}

// Orders objects by their own Compare; Null elements (unfilled slots) order before every object.
int CompareElements(const Ref<Object>& a, const Ref<Object>& b)
{
    if (a.IsNull() || b.IsNull()) return (a.IsNull() ? 0 : 1) - (b.IsNull() ? 0 : 1);
    return a->Compare(*b);
}

void SortObjects(void* data, std::int32_t count, bool ascending)
{
    auto* values = static_cast<Ref<Object>*>(data);
    if (ascending) {
        QuickSort(values, 0, count - 1,
                  [](const Ref<Object>& a, const Ref<Object>& b) { return CompareElements(a, b) < 0; });
    } else {
        QuickSort(values, 0, count - 1,
                  [](const Ref<Object>& a, const Ref<Object>& b) { return CompareElements(a, b) > 0; });
    }
}

} // namespace

std::int32_t Array::ElementSizeOf(const char* tag) noexcept
{
    switch (tag[0]) {
    case 'b': return 1;
    case 's': return 2;
    case 'l':
    case 'd': return 8;
    case '$':
    case ':':
    case '[': return static_cast<std::int32_t>(sizeof(Ref<Object>));
    case '(': return static_cast<std::int32_t>(sizeof(FunctionPointer));
    default: return 4;
    }
}

void Array::ThrowIndex()
{
    ThrowArrayBounds();
}

void Array::Dispose()
{
    if (this == EmptyArray()) {
        RestorePermanentCount();
        return;
    }
    if (HoldsObjects()) {
        auto* elements = static_cast<Ref<Object>*>(Data());
        const std::int32_t count = Length();
        for (std::int32_t i = 0; i < count; ++i)
            elements[i].~Ref<Object>();
    }
    const std::ptrdiff_t bytes = DataOffset(dims_) + dataSize_;
    this->~Array();
    MemFree(this, bytes);
}

void Array::Sort(bool ascending)
{
    const std::int32_t count = Length();
    if (count < 2) return;
    switch (type_[0]) {
    case 'b': SortNumbers<std::uint8_t>(Data(), count, ascending); break;
    case 's': SortNumbers<std::uint16_t>(Data(), count, ascending); break;
    case 'i': SortNumbers<std::int32_t>(Data(), count, ascending); break;
    case 'l': SortNumbers<std::int64_t>(Data(), count, ascending); break;
    case 'f': SortNumbers<float>(Data(), count, ascending); break;
    case 'd': SortNumbers<double>(Data(), count, ascending); break;
    case '$':
    case ':': SortObjects(Data(), count, ascending); break;
    default: break;
    }
}

Ref<Array> NewArrayDims(const char* tag, std::span<const std::int32_t> sizes)
{
    std::int64_t count = sizes.empty() ? 0 : 1;
    for (std::int32_t size : sizes) {
        if (size <= 0) return EmptyArray();
        count *= size;
        if (count > INT32_MAX) OutOfMemory(INT32_MAX);
    }
    if (count == 0) return EmptyArray();

    const std::int64_t dataSize = count * Array::ElementSizeOf(tag);
    if (dataSize > INT32_MAX) OutOfMemory(static_cast<std::ptrdiff_t>(dataSize));
    const auto dims = static_cast<std::int32_t>(sizes.size());
    void* block = MemAlloc(Array::DataOffset(dims) + static_cast<std::ptrdiff_t>(dataSize));
    auto* array = new (block) Array(tag, dims, static_cast<std::int32_t>(dataSize), static_cast<std::int32_t>(count));

    // Entry k holds the product of the sizes of dimensions k and after.
    std::int32_t* extents = array->Extents();
    std::int64_t product = 1;
    for (std::int32_t k = dims - 1; k >= 0; --k) {
        product *= sizes[static_cast<std::size_t>(k)];
        extents[k] = static_cast<std::int32_t>(product);
    }
    InitialiseElements(tag, array->Data(), static_cast<std::int32_t>(count), static_cast<std::int32_t>(dataSize));
    detail::PushNew(array);
    return array;
}

Ref<Array> NewArrayDims(const char* tag, std::initializer_list<std::int32_t> sizes)
{
    return NewArrayDims(tag, std::span<const std::int32_t>(sizes.begin(), sizes.size()));
}

Ref<Array> NewArray(const char* tag, std::int32_t count)
{
    const std::int32_t sizes[] = {count};
    return NewArrayDims(tag, sizes);
}

Ref<Array> SliceArray(const char* tag, const Ref<Array>& source, std::int32_t start, std::int32_t end)
{
    const std::int64_t count = static_cast<std::int64_t>(end) - start;
    if (count <= 0) return EmptyArray();
    if (count > INT32_MAX) OutOfMemory(INT32_MAX);
    Ref<Array> result = NewArray(tag, static_cast<std::int32_t>(count));

    // Only elements of the same kind and size can be copied; anything else keeps its initial value.
    const bool objects = Array::IsObjectTag(tag);
    const std::int32_t elementSize = Array::ElementSizeOf(tag);
    if (source->Type() == nullptr || objects != source->HoldsObjects() || elementSize != source->ElementSize()) {
        return result;
    }

    const std::int64_t sourceCount = source->Length();
    const std::int64_t from = start < 0 ? 0 : start;
    const std::int64_t to = end < sourceCount ? end : sourceCount;
    if (from >= to) return result;
    const std::int64_t offset = from - start;
    if (objects) {
        auto* in = static_cast<Ref<Object>*>(source->Data());
        auto* out = static_cast<Ref<Object>*>(result->Data());
        for (std::int64_t i = from; i < to; ++i)
            out[offset + i - from] = in[i];
    } else {
        std::memcpy(static_cast<char*>(result->Data()) + offset * elementSize,
                    static_cast<const char*>(source->Data()) + from * elementSize,
                    static_cast<std::size_t>((to - from) * elementSize));
    }
    return result;
}

Ref<Array> ArrayFromData(const char* tag, std::int32_t count, const void* source)
{
    if (count <= 0) return EmptyArray();
    Ref<Array> result = NewArray(tag, count);
    switch (tag[0]) {
    case '$':
    case ':':
    case '[': {
        const auto* in = static_cast<Object* const*>(source);
        auto* out = static_cast<Ref<Object>*>(result->Data());
        for (std::int32_t i = 0; i < count; ++i)
            out[i] = in[i];
        break;
    }
    case 'b': {
        const auto* in = static_cast<const std::int32_t*>(source);
        auto* out = static_cast<std::uint8_t*>(result->Data());
        for (std::int32_t i = 0; i < count; ++i)
            out[i] = static_cast<std::uint8_t>(in[i] & 0xFF);
        break;
    }
    case 's': {
        const auto* in = static_cast<const std::int32_t*>(source);
        auto* out = static_cast<std::uint16_t*>(result->Data());
        for (std::int32_t i = 0; i < count; ++i)
            out[i] = static_cast<std::uint16_t>(in[i] & 0xFFFF);
        break;
    }
    default: std::memcpy(result->Data(), source, static_cast<std::size_t>(result->DataSize())); break;
    }
    return result;
}

void SortArray(const Ref<Array>& array, bool ascending)
{
    array->Sort(ascending);
}

} // namespace vanta
