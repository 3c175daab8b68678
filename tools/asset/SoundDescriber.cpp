// Describing a sound: which sample loader took it and the sample it made.
#include "audio/AudioSample.h"
#include "runtime/Error.h"
#include "tools/asset/AssetTool.h"

#include <cstdio>

namespace vanta::asset {
namespace {

const char* FormatName(std::int32_t format)
{
    static const char* const names[] = {"unknown",    "SF_MONO8",      "SF_MONO16LE",  "SF_MONO16BE",
                                        "SF_STEREO8", "SF_STEREO16LE", "SF_STEREO16BE"};
    return format >= SF_MONO8 && format <= SF_STEREO16BE ? names[format] : names[0];
}

} // namespace

bool DescribeSound(const Ref<Object>& url, std::string& out)
{
    Ref<TAudioSampleLoader> loader;
    Ref<TAudioSample> sample;
    try {
        sample = LoadAudioSample(url, &loader);
    } catch (const Exception&) {
        return false;
    }
    if (sample.IsNull()) return false;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", sample->hertz > 0 ? double(sample->length) / sample->hertz : 0.0);
    out += "kind: sound\n";
    out += "loader: " + LoaderName(*loader) + "\n";
    out += std::string("format: ") + FormatName(sample->format) + "\n";
    out += "channels: " + std::to_string(SampleChannels(sample->format)) + "\n";
    out += "bits: " + std::to_string(SampleBits(sample->format)) + "\n";
    out += "rate: " + std::to_string(sample->hertz) + "\n";
    out += "frames: " + std::to_string(sample->length) + "\n";
    out += std::string("seconds: ") + seconds + "\n";
    return true;
}

} // namespace vanta::asset
