// A block of PCM that voices play from: 8-bit unsigned or 16-bit signed native-endian samples, mono or
// stereo interleaved left, right. Its life is counted in uses: the sound that made it holds one, every voice
// started on it holds one more until the mixer hands the voice back.
// Builds on: nothing.
//
// Threads: everything here runs on the program thread. The callback thread only reads the format fields and
// the sample data of a buffer that a playing voice holds; those do not change while any voice holds it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vanta::audio {

// Largest sample rate a buffer may declare; it keeps every position step well inside 64 bits.
inline constexpr int SOUND_BUFFER_MAX_HERTZ = 1000000;

class SoundBuffer
{
public:
    int hertz = 0;            // frames per second
    int channels = 0;         // 1 or 2
    int bits = 0;             // 8 or 16
    int frames = 0;           // capacity in frames
    int bytesPerFrame = 0;    // channels * max(bits, 8) / 8
    std::size_t byteSize = 0; // frames * bytesPerFrame
    int written = 0;          // frames written so far
    int uses = 0;             // starts at 1
    int loop = 0;             // 0, or -1 for a looping buffer
    std::uint8_t* data = nullptr;
    std::uint8_t* writePointer = nullptr;

    // A new buffer with one use, its data cleared to silence and then `data` copied in when given (all
    // `frames` frames). Returns nullptr for 0 or 3+ channels, bits other than 8 or 16, a negative frame count,
    // a rate outside 1..SOUND_BUFFER_MAX_HERTZ, more than 2^31 - 1 samples, or when memory runs out.
    static SoundBuffer* Create(int frames, int bits, int channels, int hertz, const void* data, int loop);

    // Copies up to `count` frames from `source` after those already written and returns how many were copied:
    // 0 when the buffer is full, `source` is null or `count` is not positive, and 0 while a voice holds the
    // buffer (the callback may be reading it).
    int Write(const void* source, int count);

    // Adds one use.
    void AddUse() { ++uses; }

    // Drops one use of `buffer` (null is ignored); the last use frees the data and the record.
    static void Release(SoundBuffer* buffer);

    // The number of buffer records alive in the process.
    static int LiveCount();

    SoundBuffer(const SoundBuffer&) = delete;
    SoundBuffer& operator=(const SoundBuffer&) = delete;

private:
    SoundBuffer() = default;
    ~SoundBuffer();
};

} // namespace vanta::audio
