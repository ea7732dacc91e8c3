#include "Replayer.h"

#include "LogManager.h"

#include <cstdio>

namespace ks {

int Replayer::open(const std::string& file, const std::string& game)
{
    *this = Replayer();
    LogManager& log = LogManager::getInstance();
    FILE* in = fopen(file.c_str(), "rb");
    if (in == nullptr)
    {
        log.writeLog("Replay: can not open %s", file.c_str());
        return -1;
    }
    // Read at most one byte more than a recording may have, so that a larger file is refused
    // without reading it all.
    std::string bytes;
    char chunk[65536];
    size_t got;
    while (bytes.size() <= static_cast<size_t>(RECORDING_FILE_MAX) && (got = fread(chunk, 1, sizeof chunk, in)) > 0)
        bytes.append(chunk, got);
    fclose(in);

    std::string reason;
    if (recording.parse(bytes, reason) == -1)
    {
        log.writeLog("Replay: %s %s; playing live", file.c_str(), reason.c_str());
        return -1;
    }
    const RecordingHeader& header = recording.getHeader();
    if (header.game != game)
    {
        log.writeLog("Replay: %s is a recording of %s, not of %s; playing live", file.c_str(), header.game.c_str(),
                     game.c_str());
        return -1;
    }
    if (recording.getSteps() == 0)
        log.writeLog("Replay: %s holds no whole step", file.c_str());
    else if (!recording.isComplete())
        log.writeLog("Replay: %s stops after step %d without its end mark (the recording game was stopped)",
                     file.c_str(), recording.getSteps() - 1);
    name = file;
    active = recording.getSteps() > 0;
    return 0;
}

const RecordingHeader& Replayer::getHeader() const
{
    return recording.getHeader();
}

bool Replayer::isActive() const
{
    return active;
}

void Replayer::beginStep(int newStep)
{
    step = newStep;
    if (!active || step >= recording.getSteps())
        return;
    int count = 0;
    const RecordedInput* in = recording.inputsOf(step, count);
    for (int i = 0; i < count; i++)
        if (in[i].kind == RecordedInput::KEY_HELD)
            held[in[i].key + 1] = in[i].value != 0;
}

const RecordedInput* Replayer::inputs(int& count) const
{
    count = 0;
    if (!active || step < 0 || step >= recording.getSteps())
        return nullptr;
    return recording.inputsOf(step, count);
}

bool Replayer::keyHeld(int key) const
{
    return key >= -1 && key + 1 < KEYS && held[key + 1];
}

bool Replayer::endStep(uint32_t digest)
{
    if (!active || step < 0 || step >= recording.getSteps())
        return false;
    if (digest != recording.frameOf(step) && mismatches++ == 0)
        LogManager::getInstance().writeLog("Replay: the frame of step %d differs from the recording", step);
    if (step + 1 < recording.getSteps())
        return false;
    active = false;
    LogManager::getInstance().writeLog("Replay: end of %s after step %d, %d frames unlike the recording", name.c_str(),
                                       step, mismatches);
    return true;
}

int Replayer::getMismatches() const
{
    return mismatches;
}

} // namespace ks
