/// @file Replayer.h
/// Plays a recording (Recording.h) back: step by step it hands the input manager the
/// recorded inputs in place of the window's, answers which keys are held as the recording
/// says, and compares each frame's digest with the recorded one. The first frame that differs
/// gets one log line naming its step.
///
///     Replayer replayer;
///     if (replayer.open("run.ksr", "kestrane") == 0)   // else: a log line, play live
///         for each step: beginStep(step); ...inputs()...; endStep(step, digest);
#pragma once

#include <cstdint>
#include <string>

#include "Recording.h"

namespace ks {

class Replayer
{
public:
    /// Reads file and checks that game recorded it. 0, or -1 with one log line
    /// ("Replay: FILE is not a recording" and the like) and nothing to replay.
    int open(const std::string& file, const std::string& game);

    /// The header of the open recording.
    const RecordingHeader& getHeader() const;

    /// True while there are recorded steps left to play.
    bool isActive() const;

    /// Makes step the current one: its inputs and held keys come from the recording.
    void beginStep(int step);

    /// The current step's inputs, in order (count of them in count).
    const RecordedInput* inputs(int& count) const;

    /// Whether key is held in the current step, as recorded.
    bool keyHeld(int key) const;

    /// Checks the current step's frame against the recording (logging the first that
    /// differs). Returns true when this was the last recorded step; the replay is over.
    bool endStep(uint32_t digest);

    /// Frames that differed from the recording so far.
    int getMismatches() const;

private:
    static const int KEYS = 68; ///< Keyboard::Key values -1..66, shifted by 1

    Recording recording;
    std::string name; ///< the file, for log lines
    int step = -1;    ///< the current step; -1 before the first
    bool active = false;
    bool held[KEYS] = {}; ///< recorded held state per key
    int mismatches = 0;
};

} // namespace ks
