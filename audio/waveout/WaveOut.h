// The native audio layer's plain functions: the device, sound buffers and channel handles that the
// wave-out audio driver calls.
// Builds on: audiodevice, winmmdevice, mixer, ChannelTable, SoundBuffer.
//
// Everything here runs on the program thread. Every function but FreeSoundBuffer does nothing and returns 0
// or nullptr while no device is open. Channel functions given handle 0 or a stale handle (its slot freed or
// reallocated since) do nothing; ChannelStatus then gives 0.
#pragma once

#include <cstdint>
#include <memory>

namespace vanta::audio {

class SoundBuffer;
class audiodevice;

// Opens the wave-out device and builds the channel table: 0 on success (also when a device is already open),
// -1 when no audio output can be opened (everything then stays silent).
int OpenAudioDevice();

// The same with a device of the caller's choice (another output, or one whose passes a test runs by hand).
// Returns -1 when `device` is null, its Open fails or a device is already open.
int OpenAudioDevice(std::unique_ptr<audiodevice> device);

// Stops the output and frees the device, its voices and the channel table; safe when nothing is open. Buffers
// still held by their sounds stay valid until freed.
void CloseAudioDevice();

// The open device, or nullptr.
audiodevice* CurrentAudioDevice();

// A new buffer of `frames` frames (bits 8 or 16, channels 1 or 2), with `frames` frames of `data` copied in
// when `data` is given; `loop` is -1 for a looping buffer and 0 otherwise. It holds one use. nullptr when no
// device is open or the format is not one the mixer plays.
SoundBuffer* CreateSoundBuffer(int frames, int bits, int channels, int hertz, const void* data, int loop);

// Copies up to `frames` frames after those already written and returns how many were copied (0 when full,
// or while a voice plays the buffer).
int WriteSoundBuffer(SoundBuffer* buffer, const void* data, int frames);

// Drops one use of `buffer` (null is ignored); the last use frees it. Voices playing it hold their own uses.
// Works with or without an open device.
void FreeSoundBuffer(SoundBuffer* buffer);

// A free channel handle, or 0 when all 4095 are in use.
int AllocChannelHandle();

// Stops the channel's voice and gives the slot back.
void FreeChannelHandle(int handle);

// Starts `buffer` (paused when `paused` is non-zero) on the channel `handle`, stopping the voice it played
// and keeping the channel's settings; with handle 0 on a channel allocated for this playback alone. Returns
// the channel handle: `handle` unchanged when no device is open or `buffer` is null; 0 for a stale handle, when
// the voice could not be queued, or (the voice still playing) when no channel was free for handle 0.
int PlaySoundBuffer(SoundBuffer* buffer, int paused, int handle);

// True while `handle` names a channel that is allocated (its slot not given back since the handle was
// issued); false for 0, stale handles and when no device is open.
bool ChannelHandleCurrent(int handle);

// The state of the channel's voice: 2 once, 4 looping (+0x10 paused), 1 stopped or ended on an explicit
// channel or nothing played yet, 0 ended on its own channel or no such channel.
int ChannelStatus(int handle);

// Stops the channel's voice (it fades out over the next pass).
void StopChannelHandle(int handle);

// Sets (`paused` non-zero) or clears the pause of the channel's voice when it is playing.
void PauseChannelHandle(int handle, int paused);

// Channel settings, kept for the next voice played on the channel: volume 4.12 (4096 full), pan 4.12 (-4096
// left .. 4096 right), depth (negative inverts the right side), rate 16.16 (65536 normal speed; negative rates
// play as 0). Volume and rate changes ramp across the next pass.
void SetChannelHandleVolume(int handle, std::int16_t volume);
void SetChannelHandlePan(int handle, std::int16_t pan);
void SetChannelHandleDepth(int handle, std::int16_t depth);
void SetChannelHandleRate(int handle, int rate);

} // namespace vanta::audio
