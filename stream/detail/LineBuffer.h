// Collects the bytes of one line for the `ReadLine` implementations of the stream classes.
//
// Short lines stay in a fixed buffer on the stack; a longer line spills into a heap string, so a line of
// any length costs one conversion to a `String` at the end.
#pragma once

#include "runtime/String.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vanta::detail {

class LineBuffer
{
public:
    void Append(std::uint8_t byte)
    {
        if (count_ == CAPACITY) Spill();
        bytes_[count_++] = byte;
    }

    // The collected bytes as 8-bit text.
    Ref<String> Finish()
    {
        if (spill_.empty()) return String::FromBytes(bytes_, static_cast<std::int32_t>(count_));
        Spill();
        return String::FromBytes(spill_.data(), static_cast<std::int32_t>(spill_.size()));
    }

private:
    static constexpr std::size_t CAPACITY = 1024;

    void Spill()
    {
        spill_.append(reinterpret_cast<const char*>(bytes_), count_);
        count_ = 0;
    }

    std::uint8_t bytes_[CAPACITY];
    std::size_t count_ = 0;
    std::string spill_;
};

} // namespace vanta::detail
