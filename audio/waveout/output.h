// The parameter interface shared by the mixer and its voices: rate, volume, pan and depth, each with a
// current value (what the last mix pass used) and a target value (what the program asked for).
// Builds on: nothing.
#pragma once

#include <cstdint>

namespace vanta::audio {

// Fixed-point units: rates are 16.16 (65536 = normal speed); volume, pan and depth are 4.12 (4096 = 1.0).
inline constexpr int RATE_NORMAL = 65536;
inline constexpr std::int16_t VOLUME_FULL = 4096;

class output
{
public:
    virtual ~output() = default;

    // Setters store the target value (see each implementation for when the current value follows).
    virtual void SetRate(int rate) = 0;
    virtual void SetVolume(std::int16_t volume) = 0;
    virtual void SetPan(std::int16_t pan) = 0;
    virtual void SetDepth(std::int16_t depth) = 0;

    // Getters return the target value when `target` is non-zero and the current value when it is 0.
    virtual int GetRate(int target) const = 0;
    virtual std::int16_t GetVolume(int target) const = 0;
    virtual std::int16_t GetPan(int target) const = 0;
    virtual std::int16_t GetDepth(int target) const = 0;

protected:
    output() = default;
    output(const output&) = default;
    output& operator=(const output&) = default;
};

} // namespace vanta::audio
