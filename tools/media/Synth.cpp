// The synthesiser: oscillators, filters, envelopes, instruments, the effects and the loop renderer.
//
// [SECTION] Building blocks: polyBLEP saw, TPT state-variable filter, ADSR envelope, noise
// [SECTION] Instruments: one function per voice, each adding one note to a mono buffer
// [SECTION] Effects: ping-pong delay and a Schroeder-Moorer reverb (parallel combs, serial all-passes)
// [SECTION] Loop rendering: notes folded around the loop, effects run over two laps, the second kept
#include "tools/media/Synth.h"

#include "tools/media/Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vanta::media {
namespace {

constexpr double PI = 3.14159265358979323846;
constexpr double TAU = 2 * PI;
constexpr double DT = 1.0 / SAMPLE_RATE;

// ---------------------------------------------------------------------------------------------------------
// [SECTION] Building blocks

double Frequency(double pitch)
{
    return 440.0 * std::pow(2.0, (pitch - 69) / 12.0);
}

// The polyBLEP correction that takes the aliasing out of a naive saw's jump.
double PolyBlep(double t, double dt)
{
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

class Saw
{
public:
    explicit Saw(double phase = 0) : phase_(phase) {}
    double Next(double frequency)
    {
        const double dt = frequency * DT;
        const double value = 2 * phase_ - 1 - PolyBlep(phase_, dt);
        phase_ += dt;
        if (phase_ >= 1) phase_ -= 1;
        return value;
    }

private:
    double phase_;
};

// Zavalishin's topology-preserving state-variable filter: stable under fast cutoff changes.
class Filter
{
public:
    // Low-pass output; `resonance` 0 .. ~0.9.
    double LowPass(double input, double cutoff, double resonance)
    {
        Step(input, cutoff, resonance);
        return low_;
    }
    double HighPass(double input, double cutoff, double resonance)
    {
        Step(input, cutoff, resonance);
        return high_;
    }
    double BandPass(double input, double cutoff, double resonance)
    {
        Step(input, cutoff, resonance);
        return band_;
    }

private:
    void Step(double input, double cutoff, double resonance)
    {
        cutoff = std::clamp(cutoff, 20.0, SAMPLE_RATE * 0.45);
        const double g = std::tan(PI * cutoff * DT);
        const double k = 2 - 2 * resonance;
        high_ = (input - (k + g) * s1_ - s2_) / (1 + g * (k + g));
        band_ = g * high_ + s1_;
        s1_ = g * high_ + band_;
        low_ = g * band_ + s2_;
        s2_ = g * band_ + low_;
    }

    double s1_ = 0, s2_ = 0, low_ = 0, band_ = 0, high_ = 0;
};

// Attack, decay to sustain while held, release after `held` seconds; linear attack, exponential-like
// curves elsewhere. Level at time t (seconds from the note's start).
struct Envelope
{
    double attack, decay, sustain, release;

    double At(double t, double held) const
    {
        auto holding = [&](double s) {
            if (s < attack) return s / attack;
            return sustain + (1 - sustain) * std::exp(-(s - attack) / std::max(decay, 1e-4));
        };
        if (t < held) return holding(t);
        return holding(held) * std::exp(-(t - held) / std::max(release, 1e-4) * 4.6); // -40 dB after `release`
    }
    // Seconds after the end of the hold until the level is negligible.
    double Tail() const { return release * 1.2; }
};

// White noise from a seed.
class Noise
{
public:
    explicit Noise(std::uint64_t seed) : random_(seed) {}
    double Next() { return random_.Uniform() * 2 - 1; }

private:
    Random random_;
};

// ---------------------------------------------------------------------------------------------------------
// [SECTION] Instruments

// Each instrument adds one note, starting at sample `start`, to `out` (which it may not overrun).
using Buffer = std::vector<double>;

void Add(Buffer& out, std::size_t index, double value)
{
    if (index < out.size()) out[index] += value;
}

std::size_t Samples(double seconds)
{
    return static_cast<std::size_t>(std::max(0.0, seconds) * SAMPLE_RATE);
}

// A 2-ms fade at a note's very start keeps every onset free of clicks.
double Onset(double t)
{
    return std::min(1.0, t / 0.002);
}

void Flute(Buffer& out, std::size_t start, const Note& note, std::uint64_t seed)
{
    const Envelope env{0.08, 0.4, 0.8, 0.35};
    const double f = Frequency(note.pitch);
    Noise breath(seed);
    Filter breathFilter;
    double phase = 0;
    const std::size_t count = Samples(note.length + env.Tail());
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * DT;
        const double vibrato = 1 + 0.004 * SmoothStep(0.25, 0.6, t) * std::sin(TAU * 5.2 * t);
        phase += f * vibrato * DT;
        phase -= std::floor(phase);
        const double triangle = 4 * std::abs(phase - 0.5) - 1;
        const double tone = 0.7 * triangle + 0.5 * std::sin(TAU * phase);
        const double air = breathFilter.BandPass(breath.Next(), f * 2, 0.5) * 0.12;
        Add(out, start + i, (tone + air) * env.At(t, note.length) * note.velocity);
    }
}

void Lead(Buffer& out, std::size_t start, const Note& note, std::uint64_t)
{
    const Envelope env{0.01, 0.25, 0.7, 0.25};
    const double f = Frequency(note.pitch);
    Saw a(0.0), b(0.37);
    Filter filter;
    const std::size_t count = Samples(note.length + env.Tail());
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * DT;
        const double vibrato = 1 + 0.003 * SmoothStep(0.2, 0.5, t) * std::sin(TAU * 5.5 * t);
        const double raw = 0.5 * (a.Next(f * vibrato * 1.004) + b.Next(f * vibrato * 0.996));
        const double cutoff = f * (2.5 + 5 * std::exp(-t / 0.15));
        Add(out, start + i, filter.LowPass(raw, cutoff, 0.3) * env.At(t, note.length) * note.velocity * Onset(t));
    }
}

void Bell(Buffer& out, std::size_t start, const Note& note, std::uint64_t)
{
    const double f = Frequency(note.pitch);
    const double decay = 1.6;
    const std::size_t count = Samples(note.length + decay * 2.5);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * DT;
        const double index = 2.2 * std::exp(-t / 0.25);
        const double modulator = std::sin(TAU * f * 3.5 * t);
        const double amp = std::exp(-t / decay) * (t > note.length ? std::exp(-(t - note.length) / 0.4) : 1);
        Add(out, start + i, std::sin(TAU * f * t + index * modulator) * amp * note.velocity * Onset(t));
    }
}

void Pluck(Buffer& out, std::size_t start, const Note& note, std::uint64_t)
{
    const Envelope env{0.003, 0.18, 0.0, 0.12};
    const double f = Frequency(note.pitch);
    Saw saw;
    Filter filter;
    const std::size_t count = Samples(note.length + env.Tail() + 0.2);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * DT;
        const double cutoff = 300 + 4500 * std::exp(-t / 0.06);
        Add(out, start + i, filter.LowPass(saw.Next(f), cutoff, 0.45) * env.At(t, note.length) * note.velocity);
    }
}

void Pad(Buffer& out, std::size_t start, const Note& note, std::uint64_t seed)
{
    const Envelope env{0.7, 1.0, 0.85, 1.4};
    const double f = Frequency(note.pitch);
    Random random(seed);
    Saw a(random.Uniform()), b(random.Uniform()), c(random.Uniform());
    Filter filter;
    const std::size_t count = Samples(note.length + env.Tail());
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * DT;
        const double raw = (a.Next(f * 1.0041) + b.Next(f * 0.9959) + c.Next(f * 0.5)) / 3;
        const double cutoff = 900 + 400 * std::sin(TAU * 0.15 * t);
        Add(out, start + i, filter.LowPass(raw, cutoff, 0.2) * env.At(t, note.length) * note.velocity);
    }
}

void Bass(Buffer& out, std::size_t start, const Note& note, std::uint64_t)
{
    const Envelope env{0.004, 0.3, 0.6, 0.08};
    const double f = Frequency(note.pitch);
    Saw saw;
    Filter filter;
    const std::size_t count = Samples(note.length + env.Tail());
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * DT;
        const double body = std::sin(TAU * f * t);
        const double edge = filter.LowPass(saw.Next(f), 250 + 700 * std::exp(-t / 0.08), 0.3);
        Add(out, start + i, (0.8 * body + 0.45 * edge) * env.At(t, note.length) * note.velocity);
    }
}

void Kick(Buffer& out, std::size_t start, const Note& note, std::uint64_t)
{
    double phase = 0;
    const std::size_t count = Samples(0.45);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * DT;
        const double f = 45 + 110 * std::exp(-t / 0.03);
        phase += f * DT;
        const double amp = std::exp(-t / 0.16) * Onset(t);
        Add(out, start + i, std::sin(TAU * phase) * amp * note.velocity);
    }
}

void Snare(Buffer& out, std::size_t start, const Note& note, std::uint64_t seed)
{
    Noise noise(seed);
    Filter filter;
    const std::size_t count = Samples(0.3);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * DT;
        const double rattle = filter.BandPass(noise.Next(), 3200, 0.2) * std::exp(-t / 0.07);
        const double tone = std::sin(TAU * 185 * t) * std::exp(-t / 0.04);
        Add(out, start + i, (0.9 * rattle + 0.5 * tone) * note.velocity * Onset(t));
    }
}

void Hat(Buffer& out, std::size_t start, const Note& note, std::uint64_t seed, double attack, double decay)
{
    Noise noise(seed);
    Filter filter;
    const std::size_t count = Samples(decay * 6);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) * DT;
        const double amp = std::min(1.0, t / attack) * std::exp(-t / decay);
        Add(out, start + i, filter.HighPass(noise.Next(), 7000, 0.1) * amp * note.velocity);
    }
}

void Play(Voice voice, Buffer& out, std::size_t start, const Note& note, std::uint64_t seed)
{
    switch (voice) {
    case Voice::Flute: Flute(out, start, note, seed); break;
    case Voice::Lead: Lead(out, start, note, seed); break;
    case Voice::Bell: Bell(out, start, note, seed); break;
    case Voice::Pluck: Pluck(out, start, note, seed); break;
    case Voice::Pad: Pad(out, start, note, seed); break;
    case Voice::Bass: Bass(out, start, note, seed); break;
    case Voice::Kick: Kick(out, start, note, seed); break;
    case Voice::Snare: Snare(out, start, note, seed); break;
    case Voice::Hat: Hat(out, start, note, seed, 0.0005, 0.025); break;
    case Voice::Shaker: Hat(out, start, note, seed, 0.012, 0.03); break;
    }
}

// ---------------------------------------------------------------------------------------------------------
// [SECTION] Effects

// A feedback comb with a one-pole low-pass in its loop (Moorer's damping).
class Comb
{
public:
    explicit Comb(std::size_t length) : line_(length, 0) {}
    double Process(double input, double feedback, double damping)
    {
        const double output = line_[at_];
        stored_ = output * (1 - damping) + stored_ * damping;
        line_[at_] = input + stored_ * feedback;
        at_ = (at_ + 1) % line_.size();
        return output;
    }

private:
    std::vector<double> line_;
    std::size_t at_ = 0;
    double stored_ = 0;
};

class AllPass
{
public:
    explicit AllPass(std::size_t length) : line_(length, 0) {}
    double Process(double input)
    {
        const double delayed = line_[at_];
        const double output = delayed - input;
        line_[at_] = input + delayed * 0.5;
        at_ = (at_ + 1) % line_.size();
        return output;
    }

private:
    std::vector<double> line_;
    std::size_t at_ = 0;
};

// A stereo reverb: eight combs and four all-passes per side, the right side's lines a little longer.
class Reverb
{
public:
    Reverb()
    {
        const std::size_t combs[] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
        const std::size_t passes[] = {556, 441, 341, 225};
        for (int side = 0; side < 2; ++side) {
            for (std::size_t length : combs)
                combs_[side].emplace_back(length + static_cast<std::size_t>(side) * 23);
            for (std::size_t length : passes)
                passes_[side].emplace_back(length + static_cast<std::size_t>(side) * 23);
        }
    }
    void Process(double input, double& left, double& right)
    {
        double* outputs[2] = {&left, &right};
        for (int side = 0; side < 2; ++side) {
            double sum = 0;
            for (Comb& comb : combs_[side])
                sum += comb.Process(input * 0.015, 0.86, 0.3);
            for (AllPass& pass : passes_[side])
                sum = pass.Process(sum);
            *outputs[side] = sum;
        }
    }

private:
    std::vector<Comb> combs_[2];
    std::vector<AllPass> passes_[2];
};

// ---------------------------------------------------------------------------------------------------------
// [SECTION] Loop rendering

// Sums `extended` (a loop plus what sounds past its end) into one lap of `frames`.
Buffer Fold(const Buffer& extended, std::size_t frames)
{
    Buffer lap(frames, 0);
    for (std::size_t i = 0; i < extended.size(); ++i)
        lap[i % frames] += extended[i];
    return lap;
}

} // namespace

int ParsePitch(std::string_view name)
{
    static const int steps[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return -1;
    int pitch = steps[name[0] - 'A'];
    std::size_t at = 1;
    if (name[at] == '#') {
        ++pitch;
        ++at;
    } else if (name[at] == 'b') {
        --pitch;
        ++at;
    }
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '8') return -1;
    return pitch + 12 * (name[at] - '0' + 1);
}

std::vector<float> RenderLoop(const std::vector<Track>& tracks, std::size_t frames, double delaySeconds, double peak)
{
    constexpr std::size_t tail = 6 * SAMPLE_RATE; // longer than any note's release
    Buffer dryLeft(frames, 0), dryRight(frames, 0), delayBus(frames, 0), reverbBus(frames, 0);
    std::uint64_t seed = 1;
    for (const Track& track : tracks) {
        Buffer extended(frames + tail, 0);
        for (const Note& note : track.notes)
            Play(track.voice, extended, Samples(note.time), note, seed++);
        const Buffer lap = Fold(extended, frames);
        const double left = track.gain * std::cos((track.pan + 1) * PI / 4);
        const double right = track.gain * std::sin((track.pan + 1) * PI / 4);
        for (std::size_t i = 0; i < frames; ++i) {
            dryLeft[i] += lap[i] * left;
            dryRight[i] += lap[i] * right;
            delayBus[i] += lap[i] * track.gain * track.delaySend;
            reverbBus[i] += lap[i] * track.gain * track.reverbSend;
        }
    }

    // The effects run over two laps of their (periodic) input and the second lap is kept: by then they
    // carry the end of the first lap into the start, as they would when the game loops the music.
    const std::size_t delayLength = Samples(delaySeconds);
    Buffer echoLeft(delayLength, 0), echoRight(delayLength, 0);
    std::size_t echoAt = 0;
    double echoFilterLeft = 0, echoFilterRight = 0;
    Reverb reverb;
    std::vector<float> out(frames * 2);
    std::vector<double> mix(frames * 2);
    for (std::size_t n = 0; n < frames * 2; ++n) {
        const std::size_t i = n % frames;
        // Ping-pong: the bus enters on the left, each repeat crosses to the other side, a little darker.
        const double fromLeft = echoLeft[echoAt], fromRight = echoRight[echoAt];
        echoFilterLeft += 0.35 * (fromRight * 0.45 + delayBus[i] - echoFilterLeft);
        echoFilterRight += 0.35 * (fromLeft * 0.45 - echoFilterRight);
        echoLeft[echoAt] = echoFilterLeft;
        echoRight[echoAt] = echoFilterRight;
        echoAt = (echoAt + 1) % delayLength;
        double wetLeft = 0, wetRight = 0;
        reverb.Process(reverbBus[i] + (fromLeft + fromRight) * 0.3, wetLeft, wetRight);
        if (n < frames) continue;
        mix[i * 2] = dryLeft[i] + fromLeft * 0.6 + wetLeft;
        mix[i * 2 + 1] = dryRight[i] + fromRight * 0.6 + wetRight;
    }
    double largest = 1e-9;
    for (double v : mix)
        largest = std::max(largest, std::abs(v));
    for (std::size_t i = 0; i < mix.size(); ++i)
        out[i] = static_cast<float>(mix[i] / largest * peak);
    return out;
}

} // namespace vanta::media
