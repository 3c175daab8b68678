// The asset tool's sound commands: `audio URL OUT.wav` and the sound part of `info`.
// Builds on: the sample loaders (audio/AudioSample.h, audio/WAVLoader.h, audio/OggLoader.h).
#pragma once

#include "audio/AudioSample.h"
#include "tools/asset/AssetTool.h"

#include <span>

namespace vanta::asset {

// Runs the sound modules' initialisers: the stream protocols and the sample loaders (Ogg, then WAV).
void InitSoundCommands();

// The sound commands: "audio".
std::span<const Command> SoundCommands();

// `info` for sounds: the loader, format, channels, bits, rate, frames and length of the sound at `url`;
// false when no sample loader takes it.
bool DescribeSound(const Ref<String>& url, std::FILE* out);

// Writes `sample` to `path` as a RIFF WAVE file of integer PCM in the sample's own layout (8-bit unsigned or
// 16-bit little-endian, big-endian samples turned little-endian) and rate. False when the file cannot be
// written.
bool WriteWav(const Ref<TAudioSample>& sample, const Ref<String>& path);

} // namespace vanta::asset
