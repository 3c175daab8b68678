// Sound buffers: creation, the frame-by-frame write and the counted release.
// Builds on: the C allocator.
//
// Threads: program thread only. The last use is always dropped here, never on the callback thread, so
// freeing memory never happens where the mixer runs.
#include "audio/waveout/SoundBuffer.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace vanta::audio {

namespace {
std::atomic<int> liveBuffers{0};
} // namespace

SoundBuffer* SoundBuffer::Create(int frames, int bits, int channels, int hertz, const void* data, int loop)
{
    if ((bits != 8 && bits != 16) || channels < 1 || channels > 2 || frames < 0 || hertz < 1 ||
        hertz > SOUND_BUFFER_MAX_HERTZ)
        return nullptr;
    // Play positions count samples in a signed 32-bit word.
    if (static_cast<long long>(frames) * channels > INT_MAX) return nullptr;

    const int bytesPerFrame = channels * std::max(bits, 8) / 8;
    const std::size_t byteSize = static_cast<std::size_t>(frames) * static_cast<std::size_t>(bytesPerFrame);
    // Cleared so that frames not yet written play as silence (the unsigned 8-bit zero is 128).
    auto* bytes = static_cast<std::uint8_t*>(std::malloc(std::max<std::size_t>(byteSize, 1)));
    if (bytes == nullptr) return nullptr;
    std::memset(bytes, bits == 8 ? 128 : 0, byteSize);

    auto* buffer = new SoundBuffer;
    buffer->hertz = hertz;
    buffer->channels = channels;
    buffer->bits = bits;
    buffer->frames = frames;
    buffer->bytesPerFrame = bytesPerFrame;
    buffer->byteSize = byteSize;
    buffer->written = 0;
    buffer->uses = 1;
    buffer->data = bytes;
    buffer->writePointer = bytes;
    liveBuffers.fetch_add(1, std::memory_order_relaxed);
    if (data != nullptr) buffer->Write(data, frames);
    buffer->loop = loop;
    return buffer;
}

int SoundBuffer::Write(const void* source, int count)
{
    // Nothing streams in this program, so the read side of the ring is the buffer's end: a buffer fills once.
    if (source == nullptr || count <= 0 || uses > 1) return 0;
    const auto* from = static_cast<const std::uint8_t*>(source);
    int copied = 0;
    while (copied < count && written < frames) {
        const int room = frames - written;
        const int chunk = std::min(count - copied, room);
        std::memcpy(writePointer, from + static_cast<std::size_t>(copied) * bytesPerFrame,
                    static_cast<std::size_t>(chunk) * bytesPerFrame);
        copied += chunk;
        written += chunk;
        writePointer = data + static_cast<std::size_t>(written % frames) * bytesPerFrame;
    }
    return copied;
}

void SoundBuffer::Release(SoundBuffer* buffer)
{
    if (buffer == nullptr) return;
    assert(buffer->uses > 0 && "sound buffer released more often than used");
    if (--buffer->uses == 0) delete buffer;
}

int SoundBuffer::LiveCount()
{
    return liveBuffers.load(std::memory_order_relaxed);
}

SoundBuffer::~SoundBuffer()
{
    std::free(data);
    liveBuffers.fetch_sub(1, std::memory_order_relaxed);
}

} // namespace vanta::audio
