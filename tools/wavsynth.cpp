// ks-wavsynth: makes the sounds of the game's resource table from arithmetic alone and writes them as
// 44.1 kHz, 16-bit mono WAV files into the directory given as the only argument.
//
//   ks-wavsynth build/kestrane-game
//
// Noise comes from our own fixed-seed xorshift generator, so the same program writes the
// same bytes on every run. Every sound is normalised to a peak of 0.8 of full scale.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "Wav.h"
#include "resources.h"

namespace {

constexpr int RATE = 44100;
constexpr double PI = 3.14159265358979323846;
constexpr double TWO_PI = 2.0 * PI;
constexpr double PEAK = 0.8;

using Signal = std::vector<double>;

int samplesFor(double seconds)
{
    return static_cast<int>(std::lround(seconds * RATE));
}

double timeOf(int sample)
{
    return static_cast<double>(sample) / RATE;
}

// ---- sources ----

// xorshift32: tiny, fast and the same everywhere; each sound seeds its own.
class Noise
{
public:
    explicit Noise(std::uint32_t seed) : state(seed != 0 ? seed : 1u)
    {}

    std::uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }

    // Uniform in [-1, 1].
    double white()
    {
        return next() / 2147483647.5 - 1.0;
    }

    // Uniform in [0, 1).
    double unit()
    {
        return next() / 4294967296.0;
    }

private:
    std::uint32_t state;
};

// Correction that rounds off the saw's jump so it does not alias into a hiss.
double polyBlep(double t, double dt)
{
    if (t < dt)
    {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt)
    {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

// Sawtooth whose frequency may change every sample: the buzz of a voice or a bass string.
class Saw
{
public:
    double next(double freq)
    {
        const double dt = freq / RATE;
        double value = 2.0 * phase - 1.0 - polyBlep(phase, dt);
        phase += dt;
        phase -= std::floor(phase);
        return value;
    }

private:
    double phase = 0.0;
};

// Sine from phase 0, frequency free to glide.
class Sine
{
public:
    double next(double freq)
    {
        const double value = std::sin(TWO_PI * phase);
        phase += freq / RATE;
        phase -= std::floor(phase);
        return value;
    }

private:
    double phase = 0.0;
};

// ---- filters ----

// Second-order section after the well-known audio cookbook formulas; coefficients may be
// reset every sample for sweeps, the state carries over.
class Biquad
{
public:
    enum class Kind
    {
        LowPass,
        HighPass,
        BandPass
    };

    Biquad() = default;
    Biquad(Kind kind, double freq, double q)
    {
        set(kind, freq, q);
    }

    void set(Kind kind, double freq, double q)
    {
        freq = std::fmin(std::fmax(freq, 10.0), 0.45 * RATE);
        const double w0 = TWO_PI * freq / RATE;
        const double cosw = std::cos(w0);
        const double alpha = std::sin(w0) / (2.0 * q);
        const double a0 = 1.0 + alpha;
        switch (kind)
        {
        case Kind::LowPass:
            b0 = (1.0 - cosw) / 2.0;
            b1 = 1.0 - cosw;
            b2 = b0;
            break;
        case Kind::HighPass:
            b0 = (1.0 + cosw) / 2.0;
            b1 = -(1.0 + cosw);
            b2 = b0;
            break;
        case Kind::BandPass:
            // 0 dB at the centre, so formant gains mean what they say.
            b0 = alpha;
            b1 = 0.0;
            b2 = -alpha;
            break;
        }
        b0 /= a0;
        b1 /= a0;
        b2 /= a0;
        a1 = -2.0 * cosw / a0;
        a2 = (1.0 - alpha) / a0;
    }

    double process(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

private:
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
};

// Three band-passes in parallel: the resonances of a throat, which make a buzz a vowel.
class Formants
{
public:
    double process(double x, double f1, double f2, double f3, double g2, double g3)
    {
        band[0].set(Biquad::Kind::BandPass, f1, 5.0);
        band[1].set(Biquad::Kind::BandPass, f2, 7.0);
        band[2].set(Biquad::Kind::BandPass, f3, 9.0);
        return band[0].process(x) + g2 * band[1].process(x) + g3 * band[2].process(x);
    }

private:
    Biquad band[3];
};

// ---- envelopes and finishing ----

// 0 before the start, rising linearly over attack seconds, then 1.
double rise(double t, double attack)
{
    if (t <= 0.0)
        return 0.0;
    return t >= attack ? 1.0 : t / attack;
}

double decay(double t, double tau)
{
    return t <= 0.0 ? 1.0 : std::exp(-t / tau);
}

// Short fades keep a one-shot from starting or stopping with a click.
void fade(Signal& s, double inSeconds, double outSeconds)
{
    const int n = static_cast<int>(s.size());
    const int in = samplesFor(inSeconds);
    const int out = samplesFor(outSeconds);
    for (int i = 0; i < in && i < n; i++)
        s[i] *= static_cast<double>(i) / in;
    for (int i = 0; i < out && i < n; i++)
        s[n - 1 - i] *= static_cast<double>(i) / out;
}

void normalise(Signal& s)
{
    double peak = 0.0;
    for (double v : s)
        peak = std::fmax(peak, std::fabs(v));
    if (peak > 0.0)
        for (double& v : s)
            v *= PEAK / peak;
}

Signal finishOneShot(Signal s, double fadeIn, double fadeOut)
{
    fade(s, fadeIn, fadeOut);
    normalise(s);
    return s;
}

// A struck piece of metal: a few inharmonic modes ringing down, with a noise tick on top.
void addMetalClick(Signal& s, double start, double pitch, double gain, Noise& noise)
{
    static const double modes[][3] = {
        // frequency (Hz), level, ring time (s)
        {2300.0, 1.0, 0.030},
        {3710.0, 0.7, 0.022},
        {5230.0, 0.5, 0.016},
        {7890.0, 0.35, 0.010},
    };
    const int first = samplesFor(start);
    const int length = samplesFor(0.20);
    for (int i = 0; i < length && first + i < static_cast<int>(s.size()); i++)
    {
        const double t = timeOf(i);
        double v = 0.6 * noise.white() * decay(t, 0.0015);
        for (const auto& mode : modes)
            v += mode[1] * std::sin(TWO_PI * mode[0] * pitch * t) * decay(t, mode[2]);
        // By the end the modes are 70 dB down; the last step to silence is taken linearly.
        const double ending = static_cast<double>(length - 1 - i) / length;
        s[first + i] += gain * v * rise(t, 0.0003) * ending;
    }
}

// ---- the sounds ----

// A sharp crack of bright noise on a falling low thump, all gone within a third of a second.
Signal gunShot()
{
    Signal s(samplesFor(0.30));
    Noise noise(0x5EED0001u);
    Biquad crackFilter(Biquad::Kind::HighPass, 2000.0, 0.7);
    Biquad bodyFilter(Biquad::Kind::LowPass, 1800.0, 0.8);
    Biquad tailFilter(Biquad::Kind::LowPass, 500.0, 0.7);
    Sine thump;
    for (std::size_t i = 0; i < s.size(); i++)
    {
        const double t = timeOf(static_cast<int>(i));
        const double n = noise.white();
        const double crack = crackFilter.process(n) * decay(t, 0.012);
        const double body = bodyFilter.process(n) * decay(t, 0.05);
        const double tail = tailFilter.process(n) * decay(t, 0.11);
        const double low = thump.next(45.0 + 110.0 * decay(t, 0.03)) * decay(t, 0.06);
        s[i] = std::tanh(1.6 * (0.9 * crack + 1.2 * body + 0.9 * tail + 0.8 * low));
    }
    return finishOneShot(s, 0.0005, 0.03);
}

// Magazine out, a short metal slide, magazine home: two clicks, the second lower and heavier.
Signal gunReload()
{
    Signal s(samplesFor(0.50));
    Noise noise(0x5EED0002u);
    addMetalClick(s, 0.04, 1.0, 0.8, noise);
    Biquad slide(Biquad::Kind::BandPass, 3200.0, 2.0);
    for (int i = samplesFor(0.09); i < samplesFor(0.24); i++)
    {
        const double u = (timeOf(i) - 0.09) / 0.15;
        s[i] += 0.25 * slide.process(noise.white()) * std::sin(PI * u);
    }
    addMetalClick(s, 0.27, 0.78, 1.0, noise);
    Sine knock;
    for (int i = samplesFor(0.27); i < samplesFor(0.45); i++)
    {
        const double t = timeOf(i) - 0.27;
        s[i] += 0.5 * knock.next(190.0) * decay(t, 0.02) * rise(t, 0.001);
    }
    return finishOneShot(s, 0.001, 0.04);
}

// "Ugh": a voiced buzz through the formants of a dark vowel, its pitch dropping as it fades.
Signal humanDamage()
{
    Signal s(samplesFor(0.35));
    Noise noise(0x5EED0003u);
    Saw glottis;
    Formants throat;
    for (std::size_t i = 0; i < s.size(); i++)
    {
        const double t = timeOf(static_cast<int>(i));
        const double f0 = (105.0 + 70.0 * decay(t, 0.12)) * (1.0 + 0.02 * std::sin(TWO_PI * 7.0 * t));
        const double source = glottis.next(f0) + 0.15 * noise.white();
        const double f1 = 520.0 + 150.0 * decay(t, 0.15);
        const double f2 = 900.0 + 200.0 * decay(t, 0.15);
        const double voice = throat.process(source, f1, f2, 2500.0, 0.6, 0.3);
        const double envelope = rise(t, 0.015) * decay(t - 0.06, 0.09);
        s[i] = std::tanh(2.0 * voice) * envelope;
    }
    return finishOneShot(s, 0.002, 0.03);
}

// Four bell notes climbing a major chord (C E G C), each ringing over the next.
Signal medicine()
{
    Signal s(samplesFor(0.60));
    static const double notes[] = {1046.50, 1318.51, 1567.98, 2093.00};
    for (int n = 0; n < 4; n++)
    {
        const double start = 0.09 * n;
        const double ring = n == 3 ? 0.20 : 0.12;
        for (int i = samplesFor(start); i < static_cast<int>(s.size()); i++)
        {
            const double t = timeOf(i) - start;
            const double f = notes[n];
            const double tone = std::sin(TWO_PI * f * t) + 0.3 * std::sin(TWO_PI * 2.0 * f * t) * decay(t, ring / 3) +
                                0.2 * std::sin(TWO_PI * 2.76 * f * t) * decay(t, ring / 4);
            s[i] += tone * rise(t, 0.002) * decay(t, ring);
        }
    }
    return finishOneShot(s, 0.001, 0.05);
}

// A click, then a square-ish blip sweeping up two octaves.
Signal powerupMagazine()
{
    Signal s(samplesFor(0.40));
    Noise noise(0x5EED0005u);
    addMetalClick(s, 0.0, 1.25, 0.9, noise);
    double phase = 0.0;
    const double start = 0.07;
    const double length = 0.30;
    for (int i = samplesFor(start); i < samplesFor(start + length); i++)
    {
        const double u = (timeOf(i) - start) / length;
        const double f = 330.0 * std::pow(4.0, u);
        phase += f / RATE;
        phase -= std::floor(phase);
        // Odd harmonics only, few enough to stay clean at the top of the sweep.
        const double square =
            std::sin(TWO_PI * phase) + std::sin(TWO_PI * 3.0 * phase) / 3.0 + std::sin(TWO_PI * 5.0 * phase) / 5.0;
        const double envelope = rise(u * length, 0.005) * std::fmin(1.0, (1.0 - u) / 0.2);
        s[i] += 0.55 * square * envelope;
    }
    return finishOneShot(s, 0.0005, 0.02);
}

// A croaking groan whose pitch sinks and whose vowel closes, roughened by gurgling noise.
Signal zombieDying()
{
    Signal s(samplesFor(0.80));
    Noise noise(0x5EED0006u);
    Saw glottis;
    Formants throat;
    Biquad gurgle(Biquad::Kind::LowPass, 18.0, 0.7);
    Biquad breath(Biquad::Kind::LowPass, 1200.0, 0.7);
    const double length = 0.80;
    for (std::size_t i = 0; i < s.size(); i++)
    {
        const double t = timeOf(static_cast<int>(i));
        const double u = t / length;
        const double f0 = 45.0 + 85.0 * std::pow(1.0 - u, 1.5);
        // Slow random swelling of the buzz: the wet, irregular croak.
        const double wobble = 1.0 + 6.0 * gurgle.process(noise.white());
        const double source = glottis.next(f0) * wobble + 0.35 * breath.process(noise.white());
        const double voice = throat.process(source, 700.0 - 350.0 * u, 1100.0 - 450.0 * u, 2400.0, 0.5, 0.2);
        const double envelope = rise(t, 0.03) * (1.0 - u) * (0.6 + 0.4 * std::sin(PI * std::fmin(1.0, 2.0 * u)));
        s[i] = std::tanh(2.5 * voice) * envelope;
    }
    return finishOneShot(s, 0.003, 0.06);
}

// A snarl: a low buzz rattled at 28 Hz, driven hard through an open "ah", with rasping noise.
Signal zombieAttack()
{
    Signal s(samplesFor(0.60));
    Noise noise(0x5EED0007u);
    Saw glottis;
    Formants throat;
    Biquad rasp(Biquad::Kind::HighPass, 1500.0, 0.7);
    Biquad jitter(Biquad::Kind::LowPass, 30.0, 0.7);
    for (std::size_t i = 0; i < s.size(); i++)
    {
        const double t = timeOf(static_cast<int>(i));
        const double contour = 95.0 + 45.0 * std::sin(PI * std::fmin(1.0, t / 0.45));
        const double f0 = contour * (1.0 + 3.0 * jitter.process(noise.white()));
        const double rattle = 0.4 + 0.6 * std::fabs(std::sin(PI * 28.0 * t));
        const double source = glottis.next(f0) * rattle + 0.45 * rasp.process(noise.white());
        const double voice = throat.process(source, 800.0, 1250.0, 2600.0, 0.7, 0.4);
        const double envelope = rise(t, 0.025) * std::fmin(1.0, (0.60 - t) / 0.12);
        s[i] = std::tanh(4.0 * voice) * envelope;
    }
    return finishOneShot(s, 0.002, 0.03);
}

// A long moan: a soft buzz whose pitch wobbles slowly, the mouth opening and closing (oo-oh-oo).
Signal zombieVoice()
{
    Signal s(samplesFor(1.20));
    Noise noise(0x5EED0008u);
    Saw glottis;
    Sine fundamental;
    Formants throat;
    Biquad breath(Biquad::Kind::LowPass, 900.0, 0.7);
    const double length = 1.20;
    for (std::size_t i = 0; i < s.size(); i++)
    {
        const double t = timeOf(static_cast<int>(i));
        const double arc = std::sin(PI * t / length);
        const double f0 = 92.0 + 14.0 * arc + 7.0 * std::sin(TWO_PI * 2.5 * t);
        const double source =
            0.6 * glottis.next(f0) + 0.4 * fundamental.next(f0) + 0.25 * breath.process(noise.white());
        const double voice = throat.process(source, 320.0 + 180.0 * arc, 800.0 + 150.0 * arc, 2300.0, 0.45, 0.1);
        const double envelope = std::fmin(1.0, t / 0.2) * std::fmin(1.0, (length - t) / 0.35);
        s[i] = std::tanh(1.5 * voice) * envelope;
    }
    return finishOneShot(s, 0.002, 0.05);
}

// A blast of noise whose brightness collapses into a long low rumble, a deep thump under it
// and sparse crackle dying away.
Signal bombExplosion()
{
    Signal s(samplesFor(2.00));
    Noise noise(0x5EED0009u);
    Biquad blast;
    Biquad rumble1(Biquad::Kind::LowPass, 120.0, 0.7);
    Biquad rumble2(Biquad::Kind::LowPass, 120.0, 0.7);
    Biquad crackle(Biquad::Kind::BandPass, 2500.0, 1.2);
    Sine thump;
    for (std::size_t i = 0; i < s.size(); i++)
    {
        const double t = timeOf(static_cast<int>(i));
        blast.set(Biquad::Kind::LowPass, 150.0 + 4000.0 * decay(t, 0.15), 0.7);
        const double n = noise.white();
        const double boom = blast.process(n) * decay(t, 0.5);
        const double low = 4.0 * rumble2.process(rumble1.process(n)) * decay(t, 0.9);
        const double deep = thump.next(28.0 + 30.0 * decay(t, 0.1)) * decay(t, 0.3);
        const double spark = noise.unit() < 0.006 * decay(t, 0.35) ? noise.white() * 1.5 * decay(t, 0.5) : 0.0;
        const double crack = crackle.process(spark);
        s[i] = std::tanh(1.8 * (boom + low + 0.9 * deep + 0.5 * crack)) * rise(t, 0.003);
    }
    return finishOneShot(s, 0.0, 0.25);
}

// ---- the music ----

// Dark, slow and loopable: 8 bars at 90 beats a minute in D minor (Dm Bb Gm A, twice).
// Everything but the drone starts and ends inside its own note or bar at silence; the
// drone's frequencies are whole cycles per loop and start at phase 0. So the piece starts
// at 0, ends one sample before 0 again, and loops without a click.
constexpr int BEAT = RATE * 60 / 90; // 29400 samples
constexpr int BAR = 4 * BEAT;
constexpr int BARS = 8;
constexpr int LOOP = BARS * BAR;

// The nearest frequency that fits a whole number of cycles into the loop.
double loopFrequency(double freq)
{
    const double loopSeconds = static_cast<double>(LOOP) / RATE;
    return std::round(freq * loopSeconds) / loopSeconds;
}

double midiFrequency(int note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

void addDrone(Signal& s)
{
    const double voices[][2] = {
        // frequency, level: D2 twice, a hair apart so that they beat slowly, and A2
        {loopFrequency(midiFrequency(38)), 0.20},
        {loopFrequency(midiFrequency(38)) + 3.0 * RATE / LOOP, 0.14},
        {loopFrequency(midiFrequency(45)), 0.08},
    };
    for (int i = 0; i < LOOP; i++)
    {
        const double u = static_cast<double>(i) / LOOP;
        const double breathe = 1.0 + 0.3 * std::sin(TWO_PI * 4.0 * u);
        double v = 0.0;
        for (const auto& voice : voices)
            v += voice[1] * std::sin(TWO_PI * voice[0] * i / RATE);
        s[i] += v * breathe;
    }
}

// Eighth-note bass: a filtered saw plucked on every eighth, the filter closing each time.
void addBass(Signal& s, const int roots[BARS])
{
    static const int pattern[8] = {0, 0, 12, 0, 0, 7, 0, 12};
    const int eighth = BEAT / 2;
    for (int bar = 0; bar < BARS; bar++)
    {
        for (int step = 0; step < 8; step++)
        {
            const int first = bar * BAR + step * eighth;
            const double freq = midiFrequency(roots[bar] + pattern[step]);
            const double accent = step % 2 == 0 ? 1.0 : 0.7;
            Saw saw;
            Biquad filter;
            for (int i = 0; i < eighth; i++)
            {
                const double t = timeOf(i);
                filter.set(Biquad::Kind::LowPass, 180.0 + 900.0 * decay(t, 0.05), 1.2);
                const double ending = std::fmin(1.0, static_cast<double>(eighth - 1 - i) / samplesFor(0.015));
                s[first + i] +=
                    0.35 * accent * filter.process(saw.next(freq)) * rise(t, 0.004) * decay(t, 0.12) * ending;
            }
        }
    }
}

// A heartbeat on beats 1 and 3: two soft low thumps, "lub-dub".
void addHeartbeat(Signal& s)
{
    const int length = samplesFor(0.30);
    for (int beat = 0; beat < BARS * 4; beat += 2)
    {
        for (int hit = 0; hit < 2; hit++)
        {
            const int first = beat * BEAT + hit * samplesFor(0.19);
            const double gain = hit == 0 ? 0.55 : 0.4;
            Sine body;
            for (int i = 0; i < length; i++)
            {
                const double t = timeOf(i);
                const double ending = std::fmin(1.0, static_cast<double>(length - 1 - i) / samplesFor(0.05));
                s[first + i] += gain * body.next(38.0 + 24.0 * decay(t, 0.04)) * decay(t, 0.11) * ending;
            }
        }
    }
}

// A soft pad of the chord, swelling up and away within each bar.
void addPad(Signal& s, const int chords[BARS][3])
{
    for (int bar = 0; bar < BARS; bar++)
    {
        for (int note = 0; note < 3; note++)
        {
            const double freq = midiFrequency(chords[bar][note]);
            for (int i = 0; i < BAR; i++)
            {
                const double u = static_cast<double>(i) / BAR;
                const double t = timeOf(i);
                const double swell = std::pow(std::sin(PI * u), 2.0);
                const double tone = std::sin(TWO_PI * freq * 1.0015 * t) + std::sin(TWO_PI * freq * 0.9985 * t);
                s[bar * BAR + i] += 0.035 * tone * swell;
            }
        }
    }
}

// Quiet ticks of filtered noise on the off-beat eighths: the pulse above the bass.
void addTicks(Signal& s, Noise& noise)
{
    const int eighth = BEAT / 2;
    const int length = samplesFor(0.05);
    for (int step = 1; step < BARS * 8; step += 2)
    {
        Biquad filter(Biquad::Kind::BandPass, 6000.0, 1.5);
        for (int i = 0; i < length; i++)
        {
            const double t = timeOf(i);
            const double ending = static_cast<double>(length - 1 - i) / length;
            s[step * eighth + i] += 0.12 * filter.process(noise.white()) * decay(t, 0.012) * ending;
        }
    }
}

// Wind: band-passed noise that swells over the whole loop and is silent at both ends.
void addWind(Signal& s, Noise& noise)
{
    Biquad filter(Biquad::Kind::BandPass, 420.0, 0.8);
    for (int i = 0; i < LOOP; i++)
    {
        const double u = static_cast<double>(i) / LOOP;
        const double sweep = std::sin(PI * u);
        s[i] += 0.10 * filter.process(noise.white()) * sweep * sweep;
    }
}

Signal backgroundMusic()
{
    Signal s(LOOP);
    Noise noise(0x5EED000Au);
    // Roots around D2 (MIDI 38), one chord per bar.
    static const int roots[BARS] = {38, 34, 31, 33, 38, 34, 31, 33};
    static const int chords[BARS][3] = {
        {62, 65, 69}, {58, 62, 65}, {55, 58, 62}, {57, 61, 64}, {62, 65, 69}, {58, 62, 65}, {55, 58, 62}, {57, 61, 64},
    };
    addDrone(s);
    addBass(s, roots);
    addHeartbeat(s);
    addPad(s, chords);
    addTicks(s, noise);
    addWind(s, noise);
    normalise(s);
    return s;
}

// ---- output ----

// 16-bit samples, clipped at full scale. True if the whole file was written.
bool writeWav(const std::string& path, const Signal& s)
{
    std::vector<std::int16_t> samples;
    for (double v : s)
        samples.push_back(static_cast<std::int16_t>(std::lround(std::fmax(-1.0, std::fmin(1.0, v)) * 32767.0)));
    const std::string bytes = ks::tools::wavBytes(samples, RATE);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// What makes each of the game's sounds, by its label in the game's resource table.
struct Maker
{
    const char* label;
    Signal (*make)();
};

const Maker MAKERS[] = {
    {"fire", gunShot},
    {"reload", gunReload},
    {"hurt", humanDamage},
    {"heal", medicine},
    {"bulletpacksound", powerupMagazine},
    {"explode", zombieDying},
    {"zombieattack", zombieAttack},
    {"newzombie", zombieVoice},
    {"gameoversound", bombExplosion},
    {"music", backgroundMusic},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s <output directory>\n", argc > 0 ? argv[0] : "ks-wavsynth");
        return 2;
    }
    const std::string directory = argv[1];
    for (const ks::GameResource& sound : ks::GAME_RESOURCES)
    {
        if (sound.kind == ks::ResourceKind::SPRITE)
            continue;
        const Maker* maker = nullptr;
        for (const Maker& m : MAKERS)
            if (std::string(m.label) == sound.label)
                maker = &m;
        const std::string path = directory + "/" + sound.file;
        if (maker == nullptr)
        {
            std::fprintf(stderr, "ks-wavsynth: no sound for %s\n", sound.label);
            return 1;
        }
        if (!writeWav(path, maker->make()))
        {
            std::fprintf(stderr, "ks-wavsynth: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
