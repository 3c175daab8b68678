// The asset tool's parts: the table of commands and the table of describers, one per kind of asset.
//
// A command receives the arguments after its name and answers the process's exit status: 0 on success,
// 1 when the asset cannot be loaded or written (with one line on standard error), 2 for a usage error
// (the caller then prints the usage text). A describer tries to load a URL as its kind of asset and, when
// it can, writes "key: value" lines about it to standard output.
#pragma once

#include "audio/AudioSample.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "startup/ModuleSequence.h"

#include <span>
#include <string>
#include <vector>

namespace vanta::asset {

// Exit statuses of the tool.
inline constexpr int EXIT_OK = 0;
inline constexpr int EXIT_FAILED = 1;
inline constexpr int EXIT_USAGE = 2;

struct Command
{
    const char* name;
    const char* arguments; // for the usage text, e.g. "URL OUT.png"
    const char* summary;   // one line for the usage text
    int (*run)(const std::vector<std::string>& arguments);
};

// Every command, in the order the usage text lists them.
std::span<const Command> Commands();

struct Describer
{
    const char* kind; // the noun in messages, e.g. "image"
    // Loads `url` as this kind of asset; false when it cannot, else writes its lines and answers true.
    bool (*describe)(const Ref<Object>& url, std::string& out);
};

// Every describer, in the order `info` asks them.
std::span<const Describer> Describers();

// "cannot load <kinds>: <url>", the kinds joined with " or " (for example "image or sound").
std::string CannotLoadMessage(const std::string& url);

// Makes the URL the runtime's string of the 8-bit text.
Ref<Object> UrlOf(const std::string& url);

// The `info` command: describes the asset with the first describer that loads it.
int RunInfo(const std::vector<std::string>& arguments);

// The `convert` command: loads a picture through `LoadPixmap` and writes it with `SavePixmapPNG`.
int RunConvert(const std::vector<std::string>& arguments);

// The picture describer: the loader that took the data, width, height and pixel format.
bool DescribePicture(const Ref<Object>& url, std::string& out);

// The `audio` command: loads a sound through `LoadAudioSample` and writes it as a WAV file.
int RunAudio(const std::vector<std::string>& arguments);

// The sound describer: the loader that took the data, format, channels, bits, rate, frames and length.
bool DescribeSound(const Ref<Object>& url, std::string& out);

// Writes `sample` to `path` as a RIFF WAVE file of integer PCM in the sample's own layout (8-bit unsigned
// or 16-bit little-endian; big-endian samples turned little-endian) and rate. False when the file cannot be
// written.
bool WriteWav(const Ref<TAudioSample>& sample, const Ref<String>& path);

// The font describer: FreeType's format name and, for each face, its name, glyph count and the sizes it
// offers with their line metrics.
bool DescribeFont(const Ref<Object>& url, std::string& out);

// The `text` command: draws a line of text with an image font into a PNG and prints its width and height.
int RunText(const std::vector<std::string>& arguments);

// Channels and bits per value of a sample format.
std::int32_t SampleChannels(std::int32_t format);
std::int32_t SampleBits(std::int32_t format);

// A loader's short name, from its class name without the leading "T" and the trailing "Loader"
// ("PNG" for TPNGLoader, "Ogg" for TOggLoader).
std::string LoaderName(const Object& loader);

// The runtime modules the tool needs (`RunModuleInitialisers`' set): streams with their protocols, pixmaps,
// the image loaders, the sample loaders and the fonts (the built-in bitmap and the FreeType loader).
inline constexpr std::uint32_t ASSET_MODULES = MODULES_LOADERS;

} // namespace vanta::asset
