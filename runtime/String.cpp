// Strings: construction, number formats, search, building and conversion.
#include "runtime/String.h"

#include "runtime/Array.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace vanta {

namespace detail {
constinit EmptyStringHolder emptyString;
} // namespace detail

namespace {

constexpr std::ptrdiff_t StringBytes(std::int64_t length)
{
    return static_cast<std::ptrdiff_t>(sizeof(String)) + 2 * static_cast<std::ptrdiff_t>(length);
}

// A string length, or the out-of-memory stop for a text longer than a length can count.
std::int32_t CheckedLength(std::int64_t length)
{
    if (length > INT32_MAX) OutOfMemory(StringBytes(INT32_MAX));
    return static_cast<std::int32_t>(length);
}

bool IsCSpace(char16_t unit)
{
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
}

// The shared rules of ToInt and ToLong: white space, sign, then decimal, "$" hexadecimal or "%" binary
// digits, with arithmetic that wraps round in the width of `Unsigned`.
template <class Unsigned>
Unsigned ParseInteger(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i]))
        ++i;
    if (i == text.size()) return 0;

    bool negative = false;
    if (text[i] == u'+') {
        ++i;
    } else if (text[i] == u'-') {
        negative = true;
        ++i;
    }
    if (i == text.size()) return 0;

    Unsigned value = 0;
    if (text[i] == u'%') {
        for (++i; i < text.size() && (text[i] == u'0' || text[i] == u'1'); ++i) {
            value = static_cast<Unsigned>(value * 2 + (text[i] - u'0'));
        }
    } else if (text[i] == u'$') {
        for (++i; i < text.size(); ++i) {
            const char16_t c = text[i];
            unsigned digit;
            if (c >= u'0' && c <= u'9') {
                digit = c - u'0';
            } else if (c >= u'a' && c <= u'f') {
                digit = c - u'a' + 10;
            } else if (c >= u'A' && c <= u'F') {
                digit = c - u'A' + 10;
            } else {
                break;
            }
            value = static_cast<Unsigned>(value * 16 + digit);
        }
    } else {
        for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
            value = static_cast<Unsigned>(value * 10 + (text[i] - u'0'));
        }
    }
    return negative ? static_cast<Unsigned>(0 - value) : value;
}

// Decimal digits of a 64-bit magnitude, written backwards from the end of the buffer.
template <class Signed>
Ref<String> IntegerText(Signed value)
{
    using Unsigned = std::make_unsigned_t<Signed>;
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    // The magnitude is taken in unsigned arithmetic, so the smallest value needs no special case.
    Unsigned magnitude =
        value < 0 ? static_cast<Unsigned>(0 - static_cast<Unsigned>(value)) : static_cast<Unsigned>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = '-';
    return String::FromBytes(p, static_cast<std::int32_t>(end - p));
}

// A new string of the units of `s`, each passed through `map`.
template <class Map>
Ref<String> MapUnits(const String& s, Map map)
{
    Ref<String> result = NewString(s.Length());
    char16_t* out = result->MutableUnits();
    const char16_t* in = s.Units();
    for (std::int32_t i = 0; i < s.Length(); ++i)
        out[i] = map(in[i]);
    return result;
}

// The 8-bit text of a string for the C library's number parsers.
std::string ByteText(std::u16string_view units)
{
    std::string text(units.size(), '\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        text[i] = static_cast<char>(units[i] & 0xFF);
    return text;
}

} // namespace

Ref<String> NewString(std::int32_t length)
{
    if (length <= 0) return EmptyString();
    void* block = MemAlloc(StringBytes(length));
    auto* string = new (block) String(length);
    detail::PushNew(string);
    return string;
}

void String::Dispose()
{
    if (this == EmptyString()) {
        RestorePermanentCount();
        return;
    }
    const std::ptrdiff_t bytes = StringBytes(length_);
    this->~String();
    MemFree(this, bytes);
}

Ref<String> String::ToString()
{
    return this;
}

int String::Compare(Object& other)
{
    if (!IsKindOf(&other, &classRecordOf<String>)) return Object::Compare(other);
    return vanta::Compare(this, static_cast<String*>(&other));
}

std::int32_t String::Find(const Ref<String>& sub, std::int32_t start) const
{
    if (start < 0) start = 0;
    const std::size_t at = View().find(sub->View(), static_cast<std::size_t>(start));
    return at == std::u16string_view::npos ? -1 : static_cast<std::int32_t>(at);
}

std::int32_t String::FindLast(const Ref<String>& sub, std::int32_t start) const
{
    const std::int64_t subLength = sub->Length();
    std::int64_t from = static_cast<std::int64_t>(length_) - start;
    if (from > length_ - subLength) from = length_ - subLength;
    if (from < 0) return -1;
    const std::size_t at = View().rfind(sub->View(), static_cast<std::size_t>(from));
    return at == std::u16string_view::npos ? -1 : static_cast<std::int32_t>(at);
}

Ref<String> String::Trim()
{
    const char16_t* units = Units();
    std::int32_t first = 0;
    std::int32_t last = length_;
    while (first < last && units[first] <= 32)
        ++first;
    while (last > first && units[last - 1] <= 32)
        --last;
    if (first == 0 && last == length_) return this;
    return FromShorts(units + first, last - first);
}

Ref<String> String::Replace(const Ref<String>& sub, const Ref<String>& with)
{
    const std::u16string_view text = View();
    const std::u16string_view pattern = sub->View();
    if (pattern.empty()) return this;

    std::int64_t count = 0;
    for (std::size_t at = text.find(pattern); at != std::u16string_view::npos;
         at = text.find(pattern, at + pattern.size())) {
        ++count;
    }
    if (count == 0) return this;

    const std::u16string_view replacement = with->View();
    const std::int64_t length =
        length_ + count * (static_cast<std::int64_t>(replacement.size()) - static_cast<std::int64_t>(pattern.size()));
    Ref<String> result = NewString(CheckedLength(length));
    if (length == 0) return result;
    char16_t* out = result->MutableUnits();
    std::size_t copied = 0;
    for (std::size_t at = text.find(pattern); at != std::u16string_view::npos; at = text.find(pattern, copied)) {
        out = std::copy(text.begin() + static_cast<std::ptrdiff_t>(copied),
                        text.begin() + static_cast<std::ptrdiff_t>(at), out);
        out = std::copy(replacement.begin(), replacement.end(), out);
        copied = at + pattern.size();
    }
    std::copy(text.begin() + static_cast<std::ptrdiff_t>(copied), text.end(), out);
    return result;
}

Ref<String> String::ToLower() const
{
    return MapUnits(
        *this, [](char16_t unit) { return unit >= u'A' && unit <= u'Z' ? static_cast<char16_t>(unit + 32) : unit; });
}

Ref<String> String::ToUpper() const
{
    return MapUnits(
        *this, [](char16_t unit) { return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 32) : unit; });
}

std::int32_t String::ToInt() const
{
    return static_cast<std::int32_t>(ParseInteger<std::uint32_t>(View()));
}

std::int64_t String::ToLong() const
{
    return static_cast<std::int64_t>(ParseInteger<std::uint64_t>(View()));
}

float String::ToFloat() const
{
    return static_cast<float>(std::atof(ByteText(View()).c_str()));
}

double String::ToDouble() const
{
    return std::atof(ByteText(View()).c_str());
}

const char* String::ToCString() const
{
    if (length_ == 0) return "";
    auto* text = static_cast<char*>(TempBuffer(static_cast<std::ptrdiff_t>(length_) + 1));
    const char16_t* units = Units();
    for (std::int32_t i = 0; i < length_; ++i)
        text[i] = static_cast<char>(units[i] & 0xFF);
    text[length_] = '\0';
    return text;
}

const char16_t* String::ToWString() const
{
    if (length_ == 0) return u"";
    auto* text = static_cast<char16_t*>(TempBuffer(2 * static_cast<std::ptrdiff_t>(length_) + 2));
    std::memcpy(text, Units(), 2 * static_cast<std::size_t>(length_));
    text[length_] = u'\0';
    return text;
}

Ref<String> String::FromInt(std::int32_t value)
{
    return IntegerText(value);
}

Ref<String> String::FromLong(std::int64_t value)
{
    return IntegerText(value);
}

Ref<String> String::FromFloat(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%#.9g", static_cast<double>(value));
    return FromCString(text);
}

Ref<String> String::FromDouble(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%#.17lg", value);
    return FromCString(text);
}

Ref<String> String::FromCString(const char* text)
{
    if (text == nullptr) return EmptyString();
    return FromBytes(text, static_cast<std::int32_t>(std::strlen(text)));
}

Ref<String> String::FromWString(const char16_t* text)
{
    return FromShorts(text, WideLength(text));
}

Ref<String> String::FromBytes(const void* bytes, std::int32_t count)
{
    Ref<String> result = NewString(count);
    if (count <= 0) return result;
    const auto* in = static_cast<const unsigned char*>(bytes);
    char16_t* out = result->MutableUnits();
    for (std::int32_t i = 0; i < count; ++i)
        out[i] = in[i];
    return result;
}

Ref<String> String::FromShorts(const char16_t* units, std::int32_t count)
{
    Ref<String> result = NewString(count);
    if (count > 0) std::memcpy(result->MutableUnits(), units, 2 * static_cast<std::size_t>(count));
    return result;
}

Ref<String> String::FromInts(const std::int32_t* values, std::int32_t count)
{
    Ref<String> result = NewString(count);
    if (count <= 0) return result;
    char16_t* out = result->MutableUnits();
    for (std::int32_t i = 0; i < count; ++i)
        out[i] = static_cast<char16_t>(values[i] & 0xFFFF);
    return result;
}

Ref<String> String::FromArray(const Ref<Array>& array)
{
    if (array.IsNull() || array->Dims() != 1) return EmptyString();
    switch (array->Type()[0]) {
    case 'b': return FromBytes(array->Data(), array->Length());
    case 's': return FromShorts(static_cast<const char16_t*>(array->Data()), array->Length());
    case 'i': return FromInts(static_cast<const std::int32_t*>(array->Data()), array->Length());
    default: return EmptyString();
    }
}

Ref<String> Concat(const Ref<String>& a, const Ref<String>& b)
{
    const std::int32_t lengthA = a->Length();
    const std::int32_t lengthB = b->Length();
    Ref<String> result = NewString(CheckedLength(static_cast<std::int64_t>(lengthA) + lengthB));
    if (lengthA + lengthB == 0) return result;
    char16_t* out = result->MutableUnits();
    std::memcpy(out, a->Units(), 2 * static_cast<std::size_t>(lengthA));
    std::memcpy(out + lengthA, b->Units(), 2 * static_cast<std::size_t>(lengthB));
    return result;
}

Ref<String> Slice(const Ref<String>& s, std::int32_t start, std::int32_t end)
{
    const std::int64_t count = static_cast<std::int64_t>(end) - start;
    if (count <= 0) return EmptyString();
    Ref<String> result = NewString(CheckedLength(count));
    char16_t* out = result->MutableUnits();
    const char16_t* in = s->Units();
    const std::int64_t length = s->Length();
    for (std::int64_t p = start; p < end; ++p)
        *out++ = p >= 0 && p < length ? in[p] : u' ';
    return result;
}

int Compare(const Ref<String>& a, const Ref<String>& b)
{
    const std::int32_t lengthA = a->Length();
    const std::int32_t lengthB = b->Length();
    const char16_t* unitsA = a->Units();
    const char16_t* unitsB = b->Units();
    const std::int32_t shorter = std::min(lengthA, lengthB);
    for (std::int32_t i = 0; i < shorter; ++i) {
        if (unitsA[i] != unitsB[i]) return static_cast<int>(unitsA[i]) - static_cast<int>(unitsB[i]);
    }
    return lengthA - lengthB;
}

Ref<String> Chr(std::int32_t code)
{
    const auto unit = static_cast<char16_t>(code & 0xFFFF);
    return String::FromShorts(&unit, 1);
}

std::int32_t Asc(const Ref<String>& s)
{
    return s->Length() == 0 ? -1 : s->Units()[0];
}

std::int32_t WideLength(const char16_t* text) noexcept
{
    if (text == nullptr) return 0;
    std::int32_t length = 0;
    while (text[length] != u'\0')
        ++length;
    return length;
}

} // namespace vanta
