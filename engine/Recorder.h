/// @file Recorder.h
/// Writes a session into a recording file (Recording.h) as the game goes: the inputs of each
/// step and its frame's digest, flushed to the file at least once a second, so that a game
/// that is killed leaves all but its last second. It writes into a new file beside the one
/// asked for and renames it into place at the first flush, so an existing file is only ever
/// replaced by a whole (if short) recording.
///
///     Recorder recorder;
///     recorder.open("run.ksr", header); // then, every step:
///     recorder.input(...);              // each input delivered
///     recorder.endStep(digest);         // after the frame
///     recorder.close();                 // the end mark
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "Clock.h"
#include "Recording.h"

namespace ks {

class Recorder
{
public:
    Recorder() = default;
    /// Closes the recording.
    ~Recorder();

    /// Starts recording into file. 0, or -1 with a log line naming the file and why.
    int open(const std::string& file, const RecordingHeader& header);

    /// True between a successful open() and close().
    bool isOpen() const;

    /// Records an input of the current step.
    void input(const RecordedInput& recorded);

    /// The answer to "is key held?" for the current step: the first answer the step got
    /// (live, the live state now) holds for the whole step, and a change is recorded.
    bool keyHeld(int key, bool live);

    /// Ends the step with its frame's digest; writes out what is recorded once a second.
    void endStep(uint32_t digest);

    /// Writes the end mark and closes the file (renaming it into place if it was not yet).
    /// Harmless when not open.
    void close();

    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

private:
    static const int KEYS = 68; ///< Keyboard::Key values -1..66, shifted by 1

    /// Writes the records so far as one block and makes sure the file has its name.
    void flush();

    FILE* file = nullptr;
    std::string target;   ///< the name asked for
    std::string partName; ///< the file written until it is renamed; empty once renamed
    std::string records;  ///< records not yet written
    uint32_t steps = 0;   ///< steps ended so far
    Clock sinceFlush;
    int8_t answered[KEYS]; ///< this step's answer per key: -1 not asked yet, else 0 or 1
    int8_t recorded[KEYS]; ///< last held state recorded per key
};

} // namespace ks
