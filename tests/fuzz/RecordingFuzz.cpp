// libFuzzer target: every input is parsed as a recording file. The reader promises that it
// returns (no crash, no hang, bounded memory), that a refusal says why, and that what it
// accepts is consistent: every step's inputs lie within the file and hold values the engine's
// events can take, and the content written out again reads back the same.
#include "Recording.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

[[noreturn]] void broken(const char* promise, const std::string& detail = "")
{
    std::fprintf(stderr, "recording reader broke a promise: %s %s\n", promise, detail.c_str());
    std::abort();
}

// The recording written out again: the same header, inputs and frames.
std::string rewritten(const ks::Recording& r)
{
    std::string records;
    for (int step = 0; step < r.getSteps(); step++)
    {
        int count = 0;
        const ks::RecordedInput* in = r.inputsOf(step, count);
        for (int i = 0; i < count; i++)
            ks::Recording::encodeInput(records, in[i]);
        ks::Recording::encodeFrame(records, r.frameOf(step));
    }
    ks::Recording::encodeEnd(records, static_cast<uint32_t>(r.getSteps()));
    return ks::Recording::encodeStart(r.getHeader()) + ks::Recording::encodeBlock(records);
}

bool sameContent(const ks::Recording& a, const ks::Recording& b)
{
    if (a.getSteps() != b.getSteps() || a.getHeader().game != b.getHeader().game ||
        a.getHeader().seed != b.getHeader().seed)
        return false;
    for (int step = 0; step < a.getSteps(); step++)
    {
        int na = 0, nb = 0;
        const ks::RecordedInput* ia = a.inputsOf(step, na);
        const ks::RecordedInput* ib = b.inputsOf(step, nb);
        if (na != nb || a.frameOf(step) != b.frameOf(step))
            return false;
        for (int i = 0; i < na; i++)
            if (ia[i].kind != ib[i].kind || ia[i].key != ib[i].key || ia[i].value != ib[i].value ||
                ia[i].x != ib[i].x || ia[i].y != ib[i].y)
                return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    ks::Recording recording;
    std::string reason;
    if (recording.parse(bytes, reason) == -1)
    {
        if (reason.rfind("is ", 0) != 0 && reason.rfind("ends ", 0) != 0)
            broken("a refusal says why:", reason);
        return 0;
    }
    const ks::RecordingHeader& h = recording.getHeader();
    if (h.game.empty() || h.game.size() > static_cast<size_t>(ks::RECORDING_NAME_MAX) || h.frameTime <= 0 ||
        h.width <= 0 || h.height <= 0)
        broken("an accepted header is usable");
    size_t inputs = 0;
    for (int step = 0; step < recording.getSteps(); step++)
    {
        int count = -1;
        const ks::RecordedInput* in = recording.inputsOf(step, count);
        if (count < 0 || (count > 0 && in == nullptr))
            broken("every step has its inputs");
        for (int i = 0; i < count; i++)
            if (in[i].key < -1 || in[i].key > 66 || in[i].value < 0 || in[i].value > 1)
                broken("inputs hold values of the engine's events");
        inputs += static_cast<size_t>(count);
    }
    // Every input and frame took at least two bytes of the file.
    if ((inputs + static_cast<size_t>(recording.getSteps())) * 2 > size)
        broken("the content lies within the file");
    ks::Recording again;
    if (again.parse(rewritten(recording), reason) == -1 || !again.isComplete() || !sameContent(recording, again))
        broken("written out again it reads back the same", reason);
    return 0;
}
