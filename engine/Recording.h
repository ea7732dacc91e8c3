/// @file Recording.h
/// The recording file: what a session's input was, step by step, and a digest of every frame
/// it drew (FrameDigest), so that a replay can feed the same input and check that it draws
/// the same frames. Recorder writes it as the game goes; Replayer reads it.
///
/// Layout, all numbers little-endian:
///  - 8 bytes "KSREC\r\n\x1a" (a text-mode copy or a cut-off first line shows at once), then
///    the format version as 2 bytes;
///  - blocks, each a 4-byte length, a 4-byte checksum of its records and the records. The
///    first block is the header: the game's name (a length byte and 1 to 64 printable ASCII
///    characters), the random seed (4 bytes), the frame time in milliseconds, the window's
///    width and height in pixels and its columns and rows (2 bytes each). Every later block
///    holds whole steps: a step's inputs in the order they were delivered, then its frame's
///    digest, which ends the step. The last block of a whole recording ends with the end
///    mark, which counts the steps.
///
/// A recording cut short (a game killed while it recorded) ends inside a block or without
/// the end mark: the whole steps before that are still a recording.
///
///     Recording r;
///     std::string reason;
///     if (r.parse(bytes, reason) == -1) log(reason);
///     r.getSteps(); r.inputsOf(0); r.frameOf(0);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ks {

const int RECORDING_VERSION = 1;           ///< the format this engine writes and reads
const int RECORDING_NAME_MAX = 64;         ///< longest game name, in bytes
const int RECORDING_BLOCK_MAX = 1 << 20;   ///< largest block, in bytes (a second of play is far less)
const long RECORDING_FILE_MAX = 64L << 20; ///< largest file read, in bytes (days of play)

/// One input of a step: a key or mouse event the input manager delivered, or the answer the
/// game got when it asked whether a key was held.
struct RecordedInput
{
    enum Kind : uint8_t
    {
        KEY = 1,           ///< key: Keyboard::Key, value: EventKeyboardAction
        MOUSE_MOVED = 2,   ///< x, y: pixels of the grid's drawing area (the window's, less a letterbox)
        MOUSE_CLICKED = 3, ///< key: Mouse::Button
        KEY_HELD = 4,      ///< key: Keyboard::Key, value: 1 held, 0 not (sent when it changes)
    };
    Kind kind = KEY;
    int key = -1;  ///< key or button, as in the engine's events
    int value = 0; ///< action of a KEY, held state of a KEY_HELD
    int32_t x = 0; ///< MOUSE_MOVED only
    int32_t y = 0; ///< MOUSE_MOVED only
};

/// What makes one run of a game differ from another besides its input.
struct RecordingHeader
{
    std::string game;  ///< the name of the game that recorded
    uint32_t seed = 0; ///< what rand() was seeded with
    int frameTime = 0; ///< milliseconds per step
    int width = 0;     ///< the grid's drawing area in pixels (mouse positions are in these)
    int height = 0;    ///< its height in pixels
    int columns = 0;   ///< columns of the character grid
    int rows = 0;      ///< rows of the character grid
};

class Recording
{
public:
    /// Reads a whole file's bytes. 0, or -1 with why in reason (one short phrase, such as
    /// "is not a recording" or "is damaged at byte 120 (unknown record 0x09)"). A recording
    /// cut short parses, with isComplete() false.
    int parse(const std::string& bytes, std::string& reason);

    const RecordingHeader& getHeader() const;
    /// Whole steps recorded.
    int getSteps() const;
    /// True when the file ended with its end mark (the game closed it).
    bool isComplete() const;
    /// The inputs of step (0 <= step < getSteps()), in order: count of them in count.
    const RecordedInput* inputsOf(int step, int& count) const;
    /// The digest of step's frame.
    uint32_t frameOf(int step) const;

    /// The file's start: signature, version and the header block.
    static std::string encodeStart(const RecordingHeader& header);
    /// Appends one input's record.
    static void encodeInput(std::string& records, const RecordedInput& input);
    /// Appends the record that ends a step with its frame's digest.
    static void encodeFrame(std::string& records, uint32_t digest);
    /// Appends the end mark of a recording of steps steps.
    static void encodeEnd(std::string& records, uint32_t steps);
    /// Records wrapped into a block, ready to be written.
    static std::string encodeBlock(const std::string& records);

private:
    int parseHeader(const std::string& block, std::string& reason);
    int parseRecords(const std::string& block, long offset, std::string& reason);

    RecordingHeader header;
    std::vector<RecordedInput> inputs;
    std::vector<uint32_t> stepStart; ///< index of each step's first input in inputs
    std::vector<uint32_t> frames;    ///< digest of each step's frame
    uint32_t pending = 0;            ///< inputs of the step not yet ended by its frame
    bool complete = false;
};

} // namespace ks
