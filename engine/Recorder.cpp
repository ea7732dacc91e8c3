#include "Recorder.h"

#include "LogManager.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace ks {

namespace {

const int64_t FLUSH_MICROSECONDS = 1000000 / 2; // twice a second: a killed game loses at most a second

} // namespace

Recorder::~Recorder()
{
    close();
}

int Recorder::open(const std::string& name, const RecordingHeader& header)
{
    close();
    // A new file beside the target, in the same folder, so that the rename cannot cross
    // file systems.
    std::vector<char> pattern(name.begin(), name.end());
    const std::string suffix = ".part-XXXXXX";
    pattern.insert(pattern.end(), suffix.begin(), suffix.end());
    pattern.push_back('\0');
    const int fd = mkstemp(pattern.data());
    if (fd == -1 || (file = fdopen(fd, "wb")) == nullptr)
    {
        LogManager::getInstance().writeLog("Record: can not write %s: %s", name.c_str(), strerror(errno));
        if (fd != -1)
            ::close(fd), unlink(pattern.data());
        return -1;
    }
    // mkstemp makes the file private; a recording is made to be passed on.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    target = name;
    partName = pattern.data();
    records = Recording::encodeStart(header);
    steps = 0;
    memset(answered, -1, sizeof answered);
    memset(recorded, 0, sizeof recorded);
    sinceFlush.delta();
    // The header goes out now; the file keeps its temporary name until the first steps.
    fwrite(records.data(), 1, records.size(), file);
    fflush(file);
    records.clear();
    return 0;
}

bool Recorder::isOpen() const
{
    return file != nullptr;
}

void Recorder::input(const RecordedInput& recorded)
{
    if (file != nullptr)
        Recording::encodeInput(records, recorded);
}

bool Recorder::keyHeld(int key, bool live)
{
    if (file == nullptr || key < -1 || key + 1 >= KEYS)
        return live;
    int8_t& answer = answered[key + 1];
    if (answer == -1)
    {
        answer = live ? 1 : 0;
        if (recorded[key + 1] != answer)
        {
            recorded[key + 1] = answer;
            RecordedInput held;
            held.kind = RecordedInput::KEY_HELD;
            held.key = key;
            held.value = answer;
            Recording::encodeInput(records, held);
        }
    }
    return answer == 1;
}

void Recorder::endStep(uint32_t digest)
{
    if (file == nullptr)
        return;
    Recording::encodeFrame(records, digest);
    steps++;
    memset(answered, -1, sizeof answered);
    if (sinceFlush.split() >= FLUSH_MICROSECONDS)
        flush();
}

void Recorder::flush()
{
    sinceFlush.delta();
    if (!records.empty())
    {
        const std::string block = Recording::encodeBlock(records);
        records.clear();
        if (fwrite(block.data(), 1, block.size(), file) != block.size() || fflush(file) != 0)
            LogManager::getInstance().writeLog("Record: writing %s failed: %s", target.c_str(), strerror(errno));
    }
    // The open file follows its rename: later blocks land in the file under its real name.
    if (!partName.empty())
    {
        if (rename(partName.c_str(), target.c_str()) != 0)
            LogManager::getInstance().writeLog("Record: can not rename %s to %s: %s", partName.c_str(), target.c_str(),
                                               strerror(errno));
        partName.clear();
    }
}

void Recorder::close()
{
    if (file == nullptr)
        return;
    Recording::encodeEnd(records, steps);
    flush();
    fclose(file);
    file = nullptr;
}

} // namespace ks
