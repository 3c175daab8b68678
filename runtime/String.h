// Strings: immutable, counted sequences of UTF-16 code units.
//
// `String` is the runtime's only text type. A string never changes once filled: every operation returns
// its input or a new string, and every result of length 0 is the one shared empty string. Code units are
// unsigned 16-bit numbers; nothing interprets surrogate pairs. 8-bit text converts one byte per unit both
// ways (bytes in are zero-extended, units out keep their low byte), so 8-bit text reads as Latin-1 and
// round-trips byte for byte.
//
// Literals cost nothing at run time: `"text"_s` (or `u"text"_s` for text beyond ASCII) is a statically
// allocated string with a permanent count.
#pragma once

#include "runtime/Object.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vanta {

class Array;

template <>
// The string class's debug name.
inline constexpr const char* classDebugName<String> = "String";

// Immutable UTF-16 text: its length and its units in one block.
class String final : public Object
{
    VANTA_CLASS(String, Object)
public:
    // Number of code units.
    std::int32_t Length() const noexcept { return length_; }

    // The code units (no terminating zero).
    const char16_t* Units() const noexcept
    {
        return reinterpret_cast<const char16_t*>(reinterpret_cast<const char*>(this) + sizeof(String));
    }

    // The code units as a view.
    std::u16string_view View() const noexcept { return {Units(), static_cast<std::size_t>(length_)}; }

    // Writable units, only for filling a string made by `NewString` before anyone else sees it.
    char16_t* MutableUnits() noexcept
    {
        return reinterpret_cast<char16_t*>(reinterpret_cast<char*>(this) + sizeof(String));
    }

    // The string itself.
    Ref<String> ToString() override;

    // Unit-by-unit order of two strings (see `vanta::Compare`). Another kind of object orders by address.
    int Compare(Object& other) override;

    // The first position at or after `start` where `sub` occurs, or -1. An empty `sub` matches at `start`
    // when `start` is at most the length. A negative `start` counts as 0.
    std::int32_t Find(const Ref<String>& sub, std::int32_t start = 0) const;

    // The last position where `sub` occurs, searching back from `Length() - start`; -1 when none.
    // `FindLast(sub, 0)` finds the last occurrence.
    std::int32_t FindLast(const Ref<String>& sub, std::int32_t start = 0) const;

    // The string without leading and trailing units of value 32 or less; the same object when there is
    // nothing to drop.
    Ref<String> Trim();

    // Every non-overlapping occurrence of `sub`, scanning left to right, replaced by `with`; the same
    // object when `sub` is empty or does not occur.
    Ref<String> Replace(const Ref<String>& sub, const Ref<String>& with);

    // A new string with the ASCII letters "A"-"Z" lowered; nothing else changes.
    Ref<String> ToLower() const;

    // A new string with the ASCII letters "a"-"z" raised; nothing else changes.
    Ref<String> ToUpper() const;

    // The leading integer: white space skipped, then an optional sign, then decimal digits, "$" and
    // hexadecimal digits, or "%" and binary digits; wraps round in 32 bits; 0 when there are no digits.
    std::int32_t ToInt() const;

    // `ToInt` in 64 bits.
    std::int64_t ToLong() const;

    // The C library's `atof` of the 8-bit text, narrowed to single precision.
    float ToFloat() const;

    // The C library's `atof` of the 8-bit text.
    double ToDouble() const;

    // Zero-terminated 8-bit text (low byte of each unit) in a scratch buffer that lives until the next
    // flush; a static empty text for the empty string.
    const char* ToCString() const;

    // Zero-terminated 16-bit text in a scratch buffer that lives until the next flush; a static empty text
    // for the empty string.
    const char16_t* ToWString() const;

    // Decimal digits with a leading "-" for negative values.
    static Ref<String> FromInt(std::int32_t value);
    static Ref<String> FromLong(std::int64_t value);

    // The value formatted with "%#.9g" (nine significant digits, trailing zeros kept).
    static Ref<String> FromFloat(float value);

    // The value formatted with "%#.17lg".
    static Ref<String> FromDouble(double value);

    // A string of the zero-terminated 8-bit text; the empty string for a null pointer.
    static Ref<String> FromCString(const char* text);

    // A string of the zero-terminated 16-bit text; the empty string for a null pointer.
    static Ref<String> FromWString(const char16_t* text);

    // A string of `count` bytes, each zero-extended; the empty string for a count of 0 or less.
    static Ref<String> FromBytes(const void* bytes, std::int32_t count);

    // A string of `count` units; the empty string for a count of 0 or less.
    static Ref<String> FromShorts(const char16_t* units, std::int32_t count);

    // A string of the low 16 bits of `count` integers; the empty string for a count of 0 or less.
    static Ref<String> FromInts(const std::int32_t* values, std::int32_t count);

    // A string from a one-dimensional array of bytes, shorts or ints (tags "b", "s", "i"); the empty
    // string for any other array.
    static Ref<String> FromArray(const Ref<Array>& array);

    // A statically allocated string (a literal or the empty string) with a permanent count.
    constexpr explicit String(detail::StaticTag tag, std::int32_t length) noexcept : Object(tag), length_(length) {}

private:
    explicit String(std::int32_t length) noexcept : length_(length) {}

    void Dispose() override;

    friend Ref<String> NewString(std::int32_t length);

    std::int32_t length_;
};

namespace detail {

union EmptyStringHolder
{
    constexpr EmptyStringHolder() noexcept : string(StaticTag{}, 0) {}
    constexpr ~EmptyStringHolder() {}
    String string;
};

extern constinit EmptyStringHolder emptyString;

} // namespace detail

// The one empty string.
inline String* EmptyString() noexcept
{
    return &detail::emptyString.string;
}

// A new string of `length` units whose contents are to be filled through `MutableUnits`; the empty string
// for a length of 0 or less.
Ref<String> NewString(std::int32_t length);

// `a` followed by `b`.
Ref<String> Concat(const Ref<String>& a, const Ref<String>& b);

// Units `start` .. `end` - 1; positions outside the string give spaces. The empty string when
// `end` - `start` <= 0.
Ref<String> Slice(const Ref<String>& s, std::int32_t start, std::int32_t end);

// The first differing units' difference (as unsigned 16-bit numbers), else the length difference.
int Compare(const Ref<String>& a, const Ref<String>& b);

// A one-unit string of the low 16 bits of `code`.
Ref<String> Chr(std::int32_t code);

// The first unit (0-65535), or -1 for the empty string.
std::int32_t Asc(const Ref<String>& s);

// The number of units before the terminating zero; 0 for a null pointer.
std::int32_t WideLength(const char16_t* text) noexcept;

// `Concat(a, b)`.
inline Ref<String> operator+(const Ref<String>& a, const Ref<String>& b)
{
    return Concat(a, b);
}

namespace detail {

template <class Unit, std::size_t N>
struct LiteralText
{
    char16_t units[N]{};
    constexpr LiteralText(const Unit (&text)[N]) noexcept
    {
        for (std::size_t i = 0; i < N; ++i)
            units[i] = static_cast<char16_t>(static_cast<std::make_unsigned_t<Unit>>(text[i]));
    }
};

template <std::size_t N>
struct LiteralString
{
    template <class Unit, std::size_t M>
    constexpr explicit LiteralString(const LiteralText<Unit, M>& text) noexcept
        : header(StaticTag{}, static_cast<std::int32_t>(M - 1))
    {
        for (std::size_t i = 0; i < N; ++i)
            units[i] = text.units[i];
    }

    String header;
    char16_t units[N];
};

// Never destroyed: the union's destructor leaves the literal alone, so it stays valid to the very end.
template <LiteralText Text>
union LiteralHolder
{
    static constexpr std::size_t length = sizeof(Text.units) / sizeof(char16_t) - 1;
    constexpr LiteralHolder() noexcept : literal(Text) {}
    constexpr ~LiteralHolder() {}
    LiteralString<length> literal;
};

template <LiteralText Text>
constinit inline LiteralHolder<Text> literalStorage{};

} // namespace detail

// A string literal: `"text"_s`, `u"text"_s`.
template <detail::LiteralText Text>
String* operator""_s() noexcept
{
    if constexpr (sizeof(Text.units) == sizeof(char16_t)) {
        return EmptyString();
    } else {
        return &detail::literalStorage<Text>.literal.header;
    }
}

} // namespace vanta
