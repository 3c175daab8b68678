// The game's two pieces of music, written as chords and melodies and rendered by the synthesiser.
//
// "intro/intromusic.ogg": a nocturne in A minor at 84 beats a minute, 16 bars (45.7 s): pad, bell
// arpeggios, bass and a flute; the melody grows in the second half and the last bar's E major leads back
// into the first bar's A minor.
// "DATAS/music-level1.ogg": a walking theme in D minor at 112 beats a minute, 32 bars (68.6 s): bass in
// eighths, plucked sixteenth arpeggios, drums, a saw lead in three sections, and a snare fill that runs
// back into the start.
#include "tools/media/Encoders.h"
#include "tools/media/Media.h"
#include "tools/media/Synth.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace vanta::media {
namespace {

// The loudest sample of each piece: -3.1 dBFS, leaving room for the encoder's small overshoots.
constexpr double PEAK = 0.70;

struct Timing
{
    double bpm;
    int stepsPerBar; // 8: eighths, 16: sixteenths

    double Step() const { return 60.0 / bpm * 4 / stepsPerBar; }
    double At(int bar, double step) const { return (bar * stepsPerBar + step) * Step(); }
    std::size_t Frames(int bars) const
    {
        return static_cast<std::size_t>(std::lround(bars * stepsPerBar * Step() * SAMPLE_RATE));
    }
};

// A chord as its pitch classes, root first.
struct Chord
{
    std::vector<int> tones;
};

Chord ParseChord(const std::string& name)
{
    const int root = ParsePitch(name.substr(0, name[1] == '#' || name[1] == 'b' ? 2 : 1) + "4") % 12;
    const bool minor = name.find('m') != std::string::npos;
    Chord chord{{root, (root + (minor ? 3 : 4)) % 12, (root + 7) % 12}};
    if (name.back() == '7') chord.tones.push_back((root + 10) % 12);
    return chord;
}

// The pitch of class `pitchClass` at or above `low` (within an octave of it).
int Place(int pitchClass, int low)
{
    int pitch = low - ((low % 12) - pitchClass + 12) % 12;
    if (pitch < low) pitch += 12;
    return pitch;
}

// A deterministic small variation for note `index`, in -1 .. 1.
double Wobble(int index)
{
    return Hash01(index, 17, 4242) * 2 - 1;
}

// Adds a melody written as "D5:4 F5:2 r:2 ..." (pitch or r for a rest, then the length in steps) from the
// start of `bar`; notes sound for `legato` of their length.
void AddMelody(Track& track, const Timing& timing, int bar, const std::string& text, double velocity,
               double legato = 0.92)
{
    double step = 0;
    int index = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string token = text.substr(at, end - at);
        at = end + 1;
        if (token.empty()) continue;
        const std::size_t colon = token.find(':');
        if (colon == std::string::npos) throw std::logic_error("melody token without a length: " + token);
        const double length = std::stod(token.substr(colon + 1));
        const std::string name = token.substr(0, colon);
        if (name != "r") {
            const int pitch = ParsePitch(name);
            if (pitch < 0) throw std::logic_error("not a note: " + name);
            track.notes.push_back({timing.At(bar, step), length * timing.Step() * legato, static_cast<double>(pitch),
                                   velocity * (1 + 0.06 * Wobble(index++))});
        }
        step += length;
    }
}

void AddDrum(Track& track, const Timing& timing, int bar, double step, double velocity)
{
    track.notes.push_back({timing.At(bar, step), 0.05, 60, velocity});
}

std::vector<Track> IntroTracks(const Timing& timing)
{
    const std::vector<std::string> chords = {"Am", "F", "C",  "G",  "Am", "F", "Dm", "E",
                                             "F",  "G", "Em", "Am", "Dm", "G", "Am", "E7"};
    Track pad{Voice::Pad, 0.30, 0.0, 0.0, 0.65, {}};
    Track bells{Voice::Bell, 0.20, 0.35, 0.35, 0.45, {}};
    Track bass{Voice::Bass, 0.45, 0.0, 0.0, 0.1, {}};
    Track flute{Voice::Flute, 0.30, -0.2, 0.3, 0.4, {}};
    Track kick{Voice::Kick, 0.40, 0.0, 0.0, 0.05, {}};
    Track rim{Voice::Snare, 0.45, 0.1, 0.2, 0.6, {}};
    Track shaker{Voice::Shaker, 0.35, 0.45, 0.0, 0.2, {}};
    const double bar = timing.stepsPerBar * timing.Step();
    for (int b = 0; b < static_cast<int>(chords.size()); ++b) {
        const Chord chord = ParseChord(chords[static_cast<std::size_t>(b)]);
        for (int tone : chord.tones)
            pad.notes.push_back({timing.At(b, 0), bar * 0.98, static_cast<double>(Place(tone, 55)), 0.5});
        const int root = Place(chord.tones[0], 33);
        bass.notes.push_back({timing.At(b, 0), timing.Step() * 2.8, static_cast<double>(root), 0.8});
        bass.notes.push_back(
            {timing.At(b, 4), timing.Step() * 2.8, static_cast<double>(b % 2 != 0 ? root + 7 : root), 0.6});
        // Arpeggio: quarters in the first half, eighths in the second.
        const int up[4] = {Place(chord.tones[0], 64), Place(chord.tones[1], 64), Place(chord.tones[2], 64),
                           Place(chord.tones[0], 64) + 12};
        const int pattern[8] = {0, 1, 2, 3, 2, 1, 2, 1};
        for (int s = 0; s < 8; s += (b < 8 ? 2 : 1)) {
            bells.notes.push_back({timing.At(b, s), timing.Step() * 0.9, static_cast<double>(up[pattern[s]]),
                                   (s % 2 == 0 ? 0.5 : 0.32) * (1 + 0.08 * Wobble(b * 8 + s))});
        }
        AddDrum(kick, timing, b, 0, 0.9);
        if (b >= 8) {
            AddDrum(kick, timing, b, 5, 0.45);
            AddDrum(rim, timing, b, 4, 0.7);
            for (int s = 0; s < 8; ++s)
                AddDrum(shaker, timing, b, s, s % 2 != 0 ? 0.8 : 0.45);
        }
    }
    // First half: a quiet statement of the theme; second half: the theme rising, ending on the leading tone.
    AddMelody(flute, timing, 0, "E5:4 D5:2 C5:2 A4:6 r:2 G4:2 C5:2 E5:3 D5:1 D5:6 r:2", 0.55);
    AddMelody(flute, timing, 4, "E5:2 A5:2 G5:2 E5:2 F5:4 C5:4 D5:3 E5:1 F5:2 A5:2 G#5:4 B4:4", 0.6);
    AddMelody(flute, timing, 8, "A4:3 C5:1 F5:2 E5:2 D5:3 B4:1 G4:4 E5:2 G5:2 B5:2 A5:1 G5:1 E5:6 r:2", 0.8);
    AddMelody(flute, timing, 12, "F5:3 E5:1 D5:2 A4:2 B4:2 D5:2 G5:3 F5:1 E5:3 C5:1 A4:4 G#4:2 B4:2 E5:2 D5:2", 0.8);
    return {pad, bells, bass, flute, kick, rim, shaker};
}

std::vector<Track> LevelTracks(const Timing& timing)
{
    const std::vector<std::string> section = {"Dm", "Bb", "C", "A", "Dm", "Bb", "Gm", "A"};
    const std::vector<std::string> bridge = {"Bb", "C", "Am", "Dm", "Gm", "C", "F", "A7"};
    std::vector<std::string> chords;
    for (const auto* part : {&section, &section, &bridge, &section})
        chords.insert(chords.end(), part->begin(), part->end());

    Track pad{Voice::Pad, 0.20, 0.0, 0.0, 0.5, {}};
    Track bass{Voice::Bass, 0.40, 0.0, 0.0, 0.05, {}};
    Track arp{Voice::Pluck, 0.20, 0.3, 0.35, 0.2, {}};
    Track lead{Voice::Lead, 0.40, -0.15, 0.3, 0.3, {}};
    Track bells{Voice::Bell, 0.20, -0.4, 0.4, 0.4, {}};
    Track kick{Voice::Kick, 0.45, 0.0, 0.0, 0.03, {}};
    Track snare{Voice::Snare, 0.70, 0.05, 0.05, 0.3, {}};
    Track hats{Voice::Hat, 0.30, 0.35, 0.0, 0.1, {}};
    const double bar = timing.stepsPerBar * timing.Step();
    const int bars = static_cast<int>(chords.size());
    for (int b = 0; b < bars; ++b) {
        const Chord chord = ParseChord(chords[static_cast<std::size_t>(b)]);
        for (int tone : chord.tones) {
            if (tone == chord.tones[0] || chord.tones.size() < 4 || tone != chord.tones[3]) {
                pad.notes.push_back({timing.At(b, 0), bar * 0.98, static_cast<double>(Place(tone, 57)), 0.5});
            }
        }
        const int root = Place(chord.tones[0], 33);
        const int walk[8] = {0, 0, 12, 0, 7, 0, 12, 10};
        for (int e = 0; e < 8; ++e) {
            const int offset = walk[e] == 10 && chord.tones.size() < 4 ? 7 : walk[e];
            bass.notes.push_back({timing.At(b, e * 2), timing.Step() * 1.5, static_cast<double>(root + offset),
                                  e == 0 ? 0.9 : 0.65 + 0.05 * Wobble(b * 8 + e)});
        }
        const int tones[4] = {Place(chord.tones[0], 62), Place(chord.tones[1], 62), Place(chord.tones[2], 62),
                              Place(chord.tones[0], 62) + 12};
        const int pattern[16] = {0, 1, 2, 3, 2, 1, 2, 3, 0, 2, 1, 3, 2, 1, 3, 2};
        for (int s = 0; s < 16; ++s) {
            arp.notes.push_back({timing.At(b, s), timing.Step() * 0.7, static_cast<double>(tones[pattern[s]]),
                                 (s % 4 == 0 ? 0.8 : 0.55) * (1 + 0.08 * Wobble(b * 16 + s))});
        }
        // Drums: kick on one and three with a push before three, snare on two and four, hats in eighths
        // (sixteenths once the melody is in).
        AddDrum(kick, timing, b, 0, 0.95);
        AddDrum(kick, timing, b, 8, 0.85);
        if (b % 2 == 1) AddDrum(kick, timing, b, 6, 0.55);
        AddDrum(snare, timing, b, 4, 0.8);
        AddDrum(snare, timing, b, 12, 0.85);
        for (int s = 0; s < 16; s += (b < 8 ? 2 : 1))
            AddDrum(hats, timing, b, s, s % 4 == 2 ? 0.8 : (s % 2 != 0 ? 0.35 : 0.55));
    }
    // The last bar's fill runs into the first bar.
    for (int s = 13; s < 16; ++s)
        AddDrum(snare, timing, bars - 1, s, 0.45 + 0.12 * (s - 13));

    AddMelody(bells, timing, 4, "A5:8 F5:8 D5:8 r:8 G5:8 Bb5:8 A5:12 r:4", 0.5);
    const std::string theme1 = "D5:4 F5:2 A5:4 G5:2 F5:2 E5:2 D5:4 C5:2 Bb4:6 r:4 C5:2 E5:2 G5:4 F5:2 E5:2 C5:4 "
                               "E5:8 C#5:4 A4:4";
    const std::string theme2 = "D5:4 F5:2 A5:4 D6:4 C6:2 Bb5:4 A5:2 G5:2 F5:4 D5:4 G5:4 Bb5:4 A5:2 G5:2 F5:2 E5:2 "
                               "E5:6 C#5:2 A4:4 r:4";
    const std::string bridgeLine = "F5:8 D5:8 E5:8 G5:8 A5:6 G5:2 E5:8 F5:12 r:4 D5:4 G5:4 Bb5:4 A5:4 G5:8 E5:4 "
                                   "C5:4 F5:4 A5:4 C6:6 A5:2 C#6:8 E5:4 A5:4";
    AddMelody(lead, timing, 8, theme1, 0.75);
    AddMelody(lead, timing, 12, theme2, 0.8);
    AddMelody(lead, timing, 16, bridgeLine, 0.75, 0.97);
    AddMelody(lead, timing, 24, theme1, 0.8);
    AddMelody(lead, timing, 28, theme2, 0.85);
    return {pad, bass, arp, lead, bells, kick, snare, hats};
}

} // namespace

void WriteMusic(const std::string& directory)
{
    const Timing intro{84, 8};
    WriteOggVorbis(directory + "/intro/intromusic.ogg",
                   RenderLoop(IntroTracks(intro), intro.Frames(16), 0.75 * 60 / 84, PEAK), SAMPLE_RATE, 0.3f, 1);
    const Timing level{112, 16};
    WriteOggVorbis(directory + "/DATAS/music-level1.ogg",
                   RenderLoop(LevelTracks(level), level.Frames(32), 0.75 * 60 / 112, PEAK), SAMPLE_RATE, 0.25f, 2);
}

} // namespace vanta::media
