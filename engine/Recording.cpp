#include "Recording.h"

#include <cstdio>

namespace ks {

namespace {

const char SIGNATURE[] = "KSREC\r\n\x1a";
const size_t SIGNATURE_SIZE = 8;
const uint8_t FRAME_RECORD = 5;
const uint8_t END_RECORD = 6;
// Highest values the engine's events take: Keyboard::NUM0 and Mouse::MIDDLE.
const int KEY_LAST = 66;
const int BUTTON_LAST = 2;

void put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8 & 0xFF);
}

void put32(std::string& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// FNV-1a: catches the damaged bytes of a copy gone wrong; recordings are not secrets.
uint32_t checksum(const std::string& bytes)
{
    uint32_t h = 2166136261u;
    for (char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return h;
}

// Reads little-endian numbers from bytes; once past the end every read gives 0 and ok()
// turns false.
class Cursor
{
public:
    explicit Cursor(const std::string& bytes, size_t start = 0) : bytes(bytes), at(start)
    {}
    uint32_t take(int size)
    {
        if (at + static_cast<size_t>(size) > bytes.size())
        {
            at = bytes.size() + 1;
            return 0;
        }
        uint32_t v = 0;
        for (int i = 0; i < size; i++)
            v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
        at += static_cast<size_t>(size);
        return v;
    }
    void skip(size_t size)
    {
        at += size;
    }
    bool ok() const
    {
        return at <= bytes.size();
    }
    bool atEnd() const
    {
        return at >= bytes.size();
    }
    size_t offset() const
    {
        return at;
    }

private:
    const std::string& bytes;
    size_t at;
};

std::string damaged(long offset, const std::string& what)
{
    return "is damaged at byte " + std::to_string(offset) + " (" + what + ")";
}

std::string hexByte(unsigned value)
{
    char text[8];
    snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

} // namespace

int Recording::parse(const std::string& bytes, std::string& reason)
{
    *this = Recording();
    if (bytes.size() < SIGNATURE_SIZE || bytes.compare(0, SIGNATURE_SIZE, SIGNATURE, SIGNATURE_SIZE) != 0)
    {
        reason = "is not a recording";
        return -1;
    }
    if (bytes.size() > static_cast<size_t>(RECORDING_FILE_MAX))
    {
        reason = "is too large (" + std::to_string(bytes.size()) + " bytes)";
        return -1;
    }
    Cursor in(bytes, SIGNATURE_SIZE);
    const uint32_t version = in.take(2);
    if (!in.ok())
    {
        reason = "ends inside its header";
        return -1;
    }
    if (version != RECORDING_VERSION)
    {
        reason = "is of version " + std::to_string(version) + "; this game reads version " +
                 std::to_string(RECORDING_VERSION);
        return -1;
    }

    // Blocks until the end mark or the end of the file; a block cut off ends the recording.
    for (bool first = true; !in.atEnd() && !complete; first = false)
    {
        const long start = static_cast<long>(in.offset());
        const uint32_t length = in.take(4);
        const uint32_t sum = in.take(4);
        if (in.ok() && length > static_cast<uint32_t>(RECORDING_BLOCK_MAX))
        {
            reason = damaged(start, "a block of " + std::to_string(length) + " bytes");
            return -1;
        }
        if (!in.ok() || in.offset() + length > bytes.size())
            break;
        const std::string block = bytes.substr(in.offset(), length);
        in.skip(length);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
        // A fuzzer cannot mend a checksum: it gets to the records behind one instead.
        const bool damagedBlock = false;
        (void)sum;
#else
        const bool damagedBlock = checksum(block) != sum;
#endif
        if (damagedBlock)
        {
            reason = damaged(start, "checksum");
            return -1;
        }
        const int result = first ? parseHeader(block, reason) : parseRecords(block, start + 8, reason);
        if (result == -1)
            return -1;
    }
    if (header.game.empty())
    {
        reason = "ends inside its header";
        return -1;
    }
    if (complete && !in.atEnd())
    {
        reason = damaged(static_cast<long>(in.offset()), "bytes after the end mark");
        return -1;
    }
    // The inputs of a step whose frame was never written are not part of the recording.
    inputs.resize(inputs.size() - pending);
    pending = 0;
    return 0;
}

int Recording::parseHeader(const std::string& block, std::string& reason)
{
    Cursor in(block);
    const uint32_t nameLength = in.take(1);
    const size_t nameAt = in.offset();
    in.skip(nameLength);
    header.seed = in.take(4);
    header.frameTime = static_cast<int>(in.take(2));
    header.width = static_cast<int>(in.take(2));
    header.height = static_cast<int>(in.take(2));
    header.columns = static_cast<int>(in.take(2));
    header.rows = static_cast<int>(in.take(2));
    if (!in.ok() || !in.atEnd())
    {
        reason =
            damaged(static_cast<long>(SIGNATURE_SIZE + 10), "a header of " + std::to_string(block.size()) + " bytes");
        return -1;
    }
    if (nameLength == 0 || nameLength > RECORDING_NAME_MAX)
    {
        reason =
            damaged(static_cast<long>(SIGNATURE_SIZE + 10), "a game name of " + std::to_string(nameLength) + " bytes");
        return -1;
    }
    header.game = block.substr(nameAt, nameLength);
    for (char c : header.game)
        if (c < 0x20 || c > 0x7E)
        {
            header.game.clear();
            reason = damaged(static_cast<long>(SIGNATURE_SIZE + 11), "a game name that is not printable");
            return -1;
        }
    if (header.frameTime == 0 || header.width == 0 || header.height == 0 || header.columns == 0 || header.rows == 0)
    {
        header.game.clear();
        reason = damaged(static_cast<long>(SIGNATURE_SIZE + 10), "a frame time or window size of 0");
        return -1;
    }
    return 0;
}

int Recording::parseRecords(const std::string& block, long offset, std::string& reason)
{
    Cursor in(block);
    while (!in.atEnd())
    {
        const long at = offset + static_cast<long>(in.offset());
        const uint32_t tag = in.take(1);
        RecordedInput input;
        input.kind = static_cast<RecordedInput::Kind>(tag);
        bool valid = true;
        switch (tag)
        {
        case RecordedInput::KEY:
        case RecordedInput::KEY_HELD:
            input.key = static_cast<int>(in.take(1)) - 1;
            input.value = static_cast<int>(in.take(1));
            valid = input.key <= KEY_LAST && input.value <= 1;
            break;
        case RecordedInput::MOUSE_MOVED:
            input.x = static_cast<int32_t>(in.take(4));
            input.y = static_cast<int32_t>(in.take(4));
            break;
        case RecordedInput::MOUSE_CLICKED:
            input.key = static_cast<int>(in.take(1)) - 1;
            valid = input.key <= BUTTON_LAST;
            break;
        case FRAME_RECORD:
            frames.push_back(in.take(4));
            stepStart.push_back(static_cast<uint32_t>(inputs.size() - pending));
            pending = 0;
            break;
        case END_RECORD:
            if (in.take(4) != frames.size() || pending != 0)
            {
                reason = damaged(at, "an end mark that does not match its steps");
                return -1;
            }
            complete = true;
            if (!in.atEnd())
            {
                reason = damaged(at + 5, "records after the end mark");
                return -1;
            }
            break;
        default: reason = damaged(at, "unknown record " + hexByte(tag)); return -1;
        }
        if (!in.ok())
        {
            reason = damaged(at, "a record cut off");
            return -1;
        }
        if (!valid)
        {
            reason = damaged(at, "a key or button out of range");
            return -1;
        }
        if (tag < FRAME_RECORD)
        {
            inputs.push_back(input);
            pending++;
        }
    }
    return 0;
}

const RecordingHeader& Recording::getHeader() const
{
    return header;
}

int Recording::getSteps() const
{
    return static_cast<int>(frames.size());
}

bool Recording::isComplete() const
{
    return complete;
}

const RecordedInput* Recording::inputsOf(int step, int& count) const
{
    const size_t s = static_cast<size_t>(step);
    const uint32_t end = s + 1 < stepStart.size() ? stepStart[s + 1] : static_cast<uint32_t>(inputs.size());
    count = static_cast<int>(end - stepStart[s]);
    return inputs.data() + stepStart[s];
}

uint32_t Recording::frameOf(int step) const
{
    return frames[static_cast<size_t>(step)];
}

std::string Recording::encodeStart(const RecordingHeader& h)
{
    std::string out(SIGNATURE, SIGNATURE_SIZE);
    put16(out, RECORDING_VERSION);
    std::string fields;
    fields += static_cast<char>(h.game.size());
    fields += h.game;
    put32(fields, h.seed);
    for (int v : {h.frameTime, h.width, h.height, h.columns, h.rows})
        put16(fields, static_cast<uint32_t>(v));
    return out + encodeBlock(fields);
}

void Recording::encodeInput(std::string& records, const RecordedInput& input)
{
    records += static_cast<char>(input.kind);
    switch (input.kind)
    {
    case RecordedInput::KEY:
    case RecordedInput::KEY_HELD:
        records += static_cast<char>(input.key + 1);
        records += static_cast<char>(input.value);
        break;
    case RecordedInput::MOUSE_MOVED:
        put32(records, static_cast<uint32_t>(input.x));
        put32(records, static_cast<uint32_t>(input.y));
        break;
    case RecordedInput::MOUSE_CLICKED: records += static_cast<char>(input.key + 1); break;
    }
}

void Recording::encodeFrame(std::string& records, uint32_t digest)
{
    records += static_cast<char>(FRAME_RECORD);
    put32(records, digest);
}

void Recording::encodeEnd(std::string& records, uint32_t steps)
{
    records += static_cast<char>(END_RECORD);
    put32(records, steps);
}

std::string Recording::encodeBlock(const std::string& records)
{
    std::string out;
    put32(out, static_cast<uint32_t>(records.size()));
    put32(out, checksum(records));
    return out + records;
}

} // namespace ks
