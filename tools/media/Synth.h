// The generator's synthesiser: a handful of instruments built from band-limited oscillators, filters,
// envelopes and noise, a mixer with a stereo delay and a reverb, and the renderer that turns tracks of
// notes into a loop whose end flows into its start.
//
// Everything is computed from the notes and fixed seeds, in double precision, so a song renders to the
// same samples on every run.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vanta::media {

inline constexpr int SAMPLE_RATE = 44100;

// The instruments.
enum class Voice
{
    Flute,  // soft triangle and sine with breath and a slow vibrato
    Lead,   // two detuned saws through a low-pass that opens with each note
    Bell,   // two-operator FM bell, long decay
    Pluck,  // a saw with a fast-closing filter, for arpeggios
    Pad,    // three detuned saws, slow attack and release, dark filter
    Bass,   // sine with a filtered saw on top
    Kick,   // sine falling in pitch
    Snare,  // band of noise and a short tone
    Hat,    // short bright noise
    Shaker, // short bright noise with a soft attack
};

// One note: start and held length in seconds, MIDI pitch (60 is middle C, 69 is 440 Hz), loudness 0 .. 1.
struct Note
{
    double time;
    double length;
    double pitch;
    double velocity;
};

// The notes of one instrument and where they go in the mix: `pan` -1 (left) .. 1 (right), sends 0 .. 1.
struct Track
{
    Voice voice;
    double gain = 1.0;
    double pan = 0.0;
    double delaySend = 0.0;
    double reverbSend = 0.0;
    std::vector<Note> notes;
};

// The mix of `tracks` as a loop of `frames` stereo frames (interleaved left, right): whatever sounds past
// the end (release tails, echoes, reverb) continues at the start, so the loop has no seam. The delay
// repeats after `delaySeconds`. The result is scaled so its largest sample has magnitude `peak`.
std::vector<float> RenderLoop(const std::vector<Track>& tracks, std::size_t frames, double delaySeconds, double peak);

// The MIDI pitch of a note name such as "A4", "C#5" or "Bb3"; -1 when it is not one.
int ParsePitch(std::string_view name);

} // namespace vanta::media
