// Bad input of every kind that reaches the engine from outside (sprite files, sound and music
// files, a log that cannot be written, full arrays, a full world): each gets its result and
// its log line, and the program goes on: the very next good file still loads and the log
// still takes lines. One test per kind of input.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "LogManager.h"
#include "Object.h"
#include "ResourceManager.h"
#include "Sprite.h"
#include "TestSupport.h"
#include "WorldManager.h"

using namespace ks;
using ks::test::logMessages;
using ks::test::writeFile;

namespace {

const std::string GOOD_SPRITE = "1\r\n2\r\n1\r\n0\r\nred\r\nok\r\n";
const std::string READ_PAST_END = "Failed reading from sprite file, tried to acces line that does not exist. "
                                  "height is likely set to high, or framcount is likely set to high";

// A mono 16-bit PCM WAV whose header announces `claimed` samples and which holds `samples`.
std::string wavBytes(std::uint32_t samples, std::uint32_t claimed)
{
    std::string bytes;
    auto put = [&bytes](std::uint32_t value, int size) {
        for (int i = 0; i < size; i++)
            bytes += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    bytes += "RIFF";
    put(36 + claimed * 2, 4);
    bytes += "WAVEfmt ";
    put(16, 4);
    put(1, 2);     // PCM
    put(1, 2);     // mono
    put(8000, 4);  // samples per second
    put(16000, 4); // bytes per second
    put(2, 2);     // bytes per frame
    put(16, 2);    // bits per sample
    bytes += "data";
    put(claimed * 2, 4);
    for (std::uint32_t i = 0; i < samples; i++)
        put(static_cast<std::uint16_t>(i % 40 < 20 ? 6000 : -6000), 2);
    return bytes;
}

class BadInput : public ks::test::InTempDir
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(LogManager::getInstance().startUp(), 0);
        ResourceManager::getInstance().startUp();
    }
    void TearDown() override
    {
        ResourceManager::getInstance().shutDown();
        LogManager::getInstance().shutDown();
    }

    // Loads a sprite file made of bytes; the log lines it wrote come back in `logged`.
    int loadSpriteBytes(const std::string& bytes, const std::string& label, std::vector<std::string>& logged)
    {
        writeFile(label + ".txt", bytes);
        const size_t before = logMessages().size();
        int result = ResourceManager::getInstance().loadSprite(label + ".txt", label);
        std::vector<std::string> all = logMessages();
        logged.assign(all.begin() + static_cast<long>(before), all.end());
        return result;
    }

    // A refused file stored nothing, and the engine goes on: a good sprite still loads and the
    // log still takes a line.
    void expectRefusedAndGoesOn(const std::string& label)
    {
        ResourceManager& rm = ResourceManager::getInstance();
        EXPECT_EQ(rm.getSprite(label), nullptr) << label;
        writeFile("good.txt", GOOD_SPRITE);
        EXPECT_EQ(rm.loadSprite("good.txt", "good-after-" + label), 0);
        ASSERT_NE(rm.getSprite("good-after-" + label), nullptr);
        EXPECT_EQ(rm.getSprite("good-after-" + label)->getFrame(0).getString(), "ok");
        EXPECT_EQ(LogManager::getInstance().writeLog("still %s", "logging"), 13);
        EXPECT_EQ(logMessages().back(), "still logging");
    }

    // Every frame of a loaded sprite holds exactly width x height characters (none when either
    // is not positive).
    static void expectFramesMatchHeader(const Sprite* s, int frames, int width, int height)
    {
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->getFrameCount(), frames);
        EXPECT_EQ(s->getWidth(), width);
        EXPECT_EQ(s->getHeight(), height);
        const size_t cells = (width > 0 && height > 0) ? static_cast<size_t>(width) * height : 0;
        for (int i = 0; i < s->getFrameCount(); i++)
            EXPECT_EQ(s->getFrame(i).getString().size(), cells) << "frame " << i;
    }
};

// Lowers this thread's effective capabilities so that root, too, obeys file modes; the
// permitted set keeps them and the destructor raises them again.
class WithoutFileModeOverride
{
public:
    WithoutFileModeOverride()
    {
        header.version = _LINUX_CAPABILITY_VERSION_3;
        header.pid = 0;
        ok = syscall(SYS_capget, &header, saved) == 0;
        if (!ok)
            return;
        __user_cap_data_struct lowered[2] = {saved[0], saved[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ok = syscall(SYS_capset, &header, lowered) == 0;
    }
    ~WithoutFileModeOverride()
    {
        if (ok)
            syscall(SYS_capset, &header, saved);
    }
    bool lowered() const
    {
        return ok;
    }

private:
    __user_cap_header_struct header{};
    __user_cap_data_struct saved[2]{};
    bool ok = false;
};

} // namespace

// ---- sprite files ----

TEST_F(BadInput, SpriteFileMissing)
{
    EXPECT_EQ(ResourceManager::getInstance().loadSprite("no-such-file.txt", "ghost"), -1);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"error opening sprite file for ghost"});
    expectRefusedAndGoesOn("ghost");
}

TEST_F(BadInput, SpriteFileEmpty)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("", "hollow", logged), -1);
    EXPECT_EQ(logged, std::vector<std::string>{"Failed reading from sprite file frames hollow"});
    expectRefusedAndGoesOn("hollow");
}

// Tests run as root, which reads any file whatever its mode. With the file-mode override
// capabilities lowered, root is refused a mode-000 file like anybody else, so the loader
// meets a real failure to open.
TEST_F(BadInput, SpriteFileUnreadable)
{
    writeFile("locked.txt", GOOD_SPRITE);
    ASSERT_EQ(chmod("locked.txt", 0), 0);
    {
        WithoutFileModeOverride guard;
        ASSERT_TRUE(guard.lowered());
        int fd = open("locked.txt", O_RDONLY);
        ASSERT_EQ(fd, -1) << "the file is still readable: the test would prove nothing";
        EXPECT_EQ(errno, EACCES);
        EXPECT_EQ(ResourceManager::getInstance().loadSprite("locked.txt", "locked"), -1);
    }
    EXPECT_EQ(logMessages(), std::vector<std::string>{"error opening sprite file for locked"});
    expectRefusedAndGoesOn("locked");
}

// A directory opens for reading but yields no line: it counts as a file without a header.
TEST_F(BadInput, SpriteFileIsADirectory)
{
    std::filesystem::create_directory("folder.txt");
    EXPECT_EQ(ResourceManager::getInstance().loadSprite("folder.txt", "folder"), -1);
    EXPECT_EQ(logMessages(), std::vector<std::string>{"Failed reading from sprite file frames folder"});
    expectRefusedAndGoesOn("folder");
}

// Bytes 0..255 over and over: every header line reads as the number 0, and the colour line
// is no colour, so this loads as a sprite with no frames, and says so about the colour.
TEST_F(BadInput, SpriteFileBinary)
{
    std::string bytes;
    for (int round = 0; round < 16; round++)
        for (int b = 0; b < 256; b++)
            bytes += static_cast<char>(b);
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes(bytes, "binary", logged), 0);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].rfind("Uknown color in sprite binary loaded, color is ", 0), 0u) << logged[0];
    expectFramesMatchHeader(ResourceManager::getInstance().getSprite("binary"), 0, 0, 0);
    // A sprite without frames cannot be drawn; asking for one is reported, not fatal.
    EXPECT_EQ(ResourceManager::getInstance().getSprite("binary")->draw(1, Vector(5, 5)), -1);
    EXPECT_EQ(logMessages().back(), "Failed to draw sprite");
    EXPECT_EQ(ResourceManager::getInstance().unloadSprite("binary"), 0);
    expectRefusedAndGoesOn("binary");
}

TEST_F(BadInput, SpriteHeaderWordsInsteadOfNumbers)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("two\r\nthree\r\none\r\nfour\r\ngreen\r\nabc\r\n", "words", logged), 0);
    EXPECT_TRUE(logged.empty());
    expectFramesMatchHeader(ResourceManager::getInstance().getSprite("words"), 0, 0, 0);
}

TEST_F(BadInput, SpriteWidthZero)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("2\r\n0\r\n2\r\n1\r\nblue\r\n\r\n\r\n\r\n\r\n", "thin", logged), 0);
    EXPECT_TRUE(logged.empty());
    expectFramesMatchHeader(ResourceManager::getInstance().getSprite("thin"), 2, 0, 2);
}

TEST_F(BadInput, SpriteHeightZero)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("2\r\n4\r\n0\r\n1\r\nblue\r\nnever read\r\n", "flat", logged), 0);
    EXPECT_TRUE(logged.empty());
    expectFramesMatchHeader(ResourceManager::getInstance().getSprite("flat"), 2, 4, 0);
}

// No row can be shorter than nothing, so a negative width refuses the first row.
TEST_F(BadInput, SpriteWidthNegative)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("1\r\n-3\r\n1\r\n1\r\nblue\r\nabc\r\n", "minus", logged), -1);
    EXPECT_EQ(logged, std::vector<std::string>{"Error in loading in sprite on line 1 frame 1 it had length 4 expeted "
                                               "-3 sprite minus not loaded. error line: abc\r"});
    expectRefusedAndGoesOn("minus");
}

// A negative height asks for no rows: the frames are made empty, and an empty frame draws
// nothing.
TEST_F(BadInput, SpriteHeightNegative)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("2\r\n3\r\n-2\r\n1\r\nblue\r\n", "sunk", logged), 0);
    EXPECT_TRUE(logged.empty());
    expectFramesMatchHeader(ResourceManager::getInstance().getSprite("sunk"), 2, 3, -2);
}

TEST_F(BadInput, SpriteFrameCountNegative)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("-1\r\n2\r\n1\r\n1\r\nblue\r\nab\r\n", "backwards", logged), -1);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("backwards"), std::string::npos) << logged[0];
    expectRefusedAndGoesOn("backwards");
}

// A row of a million characters is still a row: the sprite loads with all of them.
TEST_F(BadInput, SpriteWidthMillion)
{
    const std::string row(1000000, '#');
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("1\r\n1000000\r\n1\r\n1\r\nwhite\r\n" + row + "\r\n", "wide", logged), 0);
    EXPECT_TRUE(logged.empty());
    const Sprite* s = ResourceManager::getInstance().getSprite("wide");
    expectFramesMatchHeader(s, 1, 1000000, 1);
    EXPECT_EQ(s->getFrame(0).getString(), row);
}

TEST_F(BadInput, SpriteHeightMillion)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("1\r\n2\r\n1000000\r\n1\r\nwhite\r\nab\r\ncd\r\n", "tall", logged), -1);
    EXPECT_EQ(logged, std::vector<std::string>{READ_PAST_END});
    expectRefusedAndGoesOn("tall");
}

TEST_F(BadInput, SpriteFrameCountMillion)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("1000000\r\n2\r\n1\r\n1\r\nwhite\r\nab\r\ncd\r\n", "many", logged), -1);
    EXPECT_EQ(logged, std::vector<std::string>{READ_PAST_END});
    expectRefusedAndGoesOn("many");
}

// Frames without rows take nothing from the file, so nothing bounds their number but the
// loader: a million of them is refused instead of allocated.
TEST_F(BadInput, SpriteMillionFramesWithoutRows)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("1000000\r\n2\r\n0\r\n1\r\nwhite\r\n", "rowless", logged), -1);
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_NE(logged[0].find("rowless"), std::string::npos) << logged[0];
    expectRefusedAndGoesOn("rowless");
}

// The largest numbers a header can hold must not overflow anything on the way to a refusal.
TEST_F(BadInput, SpriteNumbersAtTheIntLimit)
{
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("2147483647\r\n2\r\n1\r\n1\r\nwhite\r\nab\r\n", "maxframes", logged), -1);
    EXPECT_EQ(logged, std::vector<std::string>{READ_PAST_END});
    EXPECT_EQ(loadSpriteBytes("1\r\n2147483647\r\n1\r\n1\r\nwhite\r\nab\r\n", "maxwidth", logged), -1);
    EXPECT_EQ(logged, std::vector<std::string>{"Error in loading in sprite on line 1 frame 1 it had length 3 expeted "
                                               "2147483647 sprite maxwidth not loaded. error line: ab\r"});
    EXPECT_EQ(loadSpriteBytes("1\r\n2\r\n2147483647\r\n1\r\nwhite\r\nab\r\n", "maxheight", logged), -1);
    EXPECT_EQ(logged, std::vector<std::string>{READ_PAST_END});
    expectRefusedAndGoesOn("maxframes");
}

// NUL bytes are characters like any other: kept in the frame, not taken as an end.
TEST_F(BadInput, SpriteRowsWithNulBytes)
{
    const std::string row1("a\0c", 3);
    const std::string row2("\0\0\0", 3);
    std::vector<std::string> logged;
    EXPECT_EQ(loadSpriteBytes("1\r\n3\r\n2\r\n1\r\nyellow\r\n" + row1 + "\r\n" + row2 + "\r\n", "nul", logged), 0);
    EXPECT_TRUE(logged.empty());
    const Sprite* s = ResourceManager::getInstance().getSprite("nul");
    expectFramesMatchHeader(s, 1, 3, 2);
    EXPECT_EQ(s->getFrame(0).getString(), row1 + row2);
}

// ---- sounds and music ----

TEST_F(BadInput, SoundFileMissing)
{
    ResourceManager& rm = ResourceManager::getInstance();
    EXPECT_EQ(rm.loadSound("no-such.wav", "ghost"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"failed to load sound", "Unable to load from file"}));
    EXPECT_EQ(rm.getSound("ghost"), nullptr);
    writeFile("good.wav", wavBytes(800, 800));
    EXPECT_EQ(rm.loadSound("good.wav", "good"), 0);
}

TEST_F(BadInput, SoundFileNotAWav)
{
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("words.wav", "this is a text file, not a sound\n");
    EXPECT_EQ(rm.loadSound("words.wav", "words"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"failed to load sound", "Unable to load from file"}));
    EXPECT_EQ(rm.getSound("words"), nullptr);
    writeFile("good.wav", wavBytes(800, 800));
    EXPECT_EQ(rm.loadSound("good.wav", "good"), 0);
    ASSERT_NE(rm.getSound("good"), nullptr);
    rm.getSound("good")->play(false);
}

// Cut inside the header, and cut inside the samples (the header promises 4000, the file
// holds 100): both are refused whole.
TEST_F(BadInput, SoundFileTruncated)
{
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("header.wav", wavBytes(4000, 4000).substr(0, 20));
    writeFile("samples.wav", wavBytes(100, 4000));
    EXPECT_EQ(rm.loadSound("header.wav", "header"), -1);
    EXPECT_EQ(rm.loadSound("samples.wav", "samples"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"failed to load sound", "Unable to load from file",
                                                       "failed to load sound", "Unable to load from file"}));
    EXPECT_EQ(rm.getSound("header"), nullptr);
    EXPECT_EQ(rm.getSound("samples"), nullptr);
    writeFile("good.wav", wavBytes(800, 800));
    EXPECT_EQ(rm.loadSound("good.wav", "good"), 0);
}

TEST_F(BadInput, MusicFileNotAWav)
{
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("words.wav", "this is a text file, not music\n");
    EXPECT_EQ(rm.loadMusic("words.wav", "words"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"failed to load music from file", "Unable to load from file"}));
    writeFile("good.wav", wavBytes(800, 800));
    EXPECT_EQ(rm.loadMusic("good.wav", "good"), 0);
}

// Music is streamed: a file whose samples stop early opens fine, and playing it simply
// ends early.
TEST_F(BadInput, MusicFileTruncated)
{
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("header.wav", wavBytes(4000, 4000).substr(0, 20));
    EXPECT_EQ(rm.loadMusic("header.wav", "header"), -1);
    EXPECT_EQ(logMessages(), (std::vector<std::string>{"failed to load music from file", "Unable to load from file"}));

    writeFile("samples.wav", wavBytes(100, 4000));
    EXPECT_EQ(rm.loadMusic("samples.wav", "samples"), 0);
    Music* music = rm.getMusic("samples");
    ASSERT_NE(music, nullptr);
    music->play(true);
    usleep(100000);
    music->stop();
    EXPECT_EQ(logMessages().back(), "found music");
}

// ---- the log ----

// "Kestrane Log.log" is a directory, so the file cannot be made, even by root. The log then
// drops every line, writes nowhere, and everything that logs goes on.
TEST_F(BadInput, LogFileCannotBeCreated)
{
    LogManager& log = LogManager::getInstance();
    log.shutDown();
    std::filesystem::remove(LOGFILE_NAME);
    std::filesystem::create_directory(LOGFILE_NAME);

    EXPECT_EQ(log.startUp(), -1);
    EXPECT_LT(log.writeLog("lost %d", 1), 0);
    ResourceManager& rm = ResourceManager::getInstance();
    EXPECT_EQ(rm.loadSprite("no-such-file.txt", "ghost"), -1);
    writeFile("good.txt", GOOD_SPRITE);
    EXPECT_EQ(rm.loadSprite("good.txt", "good"), 0);
    EXPECT_EQ(rm.getSprite("missing"), nullptr);
    EXPECT_TRUE(std::filesystem::is_directory(LOGFILE_NAME));
    EXPECT_TRUE(std::filesystem::is_empty(LOGFILE_NAME));
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator("."))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{LOGFILE_NAME, "good.txt"}));
    log.shutDown();
}

// ---- full arrays ----

TEST_F(BadInput, FiveHundredAndOneSprites)
{
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("good.txt", GOOD_SPRITE);
    for (int i = 0; i < MAX_SPRITES; i++)
        ASSERT_EQ(rm.loadSprite("good.txt", "s" + std::to_string(i)), 0) << i;
    const size_t before = logMessages().size();
    EXPECT_EQ(rm.loadSprite("good.txt", "one-too-many"), -1);
    EXPECT_EQ(logMessages().size(), before);
    EXPECT_EQ(rm.getSprite("s499")->getFrame(0).getString(), "ok");
    // Making room lets the next one in.
    EXPECT_EQ(rm.unloadSprite("s0"), 0);
    EXPECT_EQ(rm.loadSprite("good.txt", "one-too-many"), 0);
}

TEST_F(BadInput, FiftyOneSounds)
{
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("good.wav", wavBytes(80, 80));
    for (int i = 0; i < MAX_SOUNDS; i++)
        ASSERT_EQ(rm.loadSound("good.wav", "s" + std::to_string(i)), 0) << i;
    EXPECT_EQ(rm.loadSound("good.wav", "one-too-many"), -1);
    EXPECT_EQ(logMessages().back(), "Sound array full.");
    EXPECT_EQ(rm.getSound("one-too-many"), nullptr);
    ASSERT_NE(rm.getSound("s49"), nullptr);
    rm.getSound("s49")->play(false);
    EXPECT_EQ(rm.unloadSound("s0"), 0);
    EXPECT_EQ(rm.loadSound("good.wav", "one-too-many"), 0);
}

TEST_F(BadInput, FiftyOneMusics)
{
    ResourceManager& rm = ResourceManager::getInstance();
    writeFile("good.wav", wavBytes(80, 80));
    for (int i = 0; i < MAX_MUSICS; i++)
        ASSERT_EQ(rm.loadMusic("good.wav", "m" + std::to_string(i)), 0) << i;
    EXPECT_EQ(rm.loadMusic("good.wav", "one-too-many"), -1);
    EXPECT_EQ(logMessages().back(), "Sound array full.");
    EXPECT_EQ(rm.getMusic("one-too-many"), nullptr);
    ASSERT_NE(rm.getMusic("m49"), nullptr);
    // Music entries are never reused, so the array stays full even after an unload.
    EXPECT_EQ(rm.unloadMusic("m0"), 0);
    EXPECT_EQ(rm.loadMusic("good.wav", "still-too-many"), -1);
}

// ---- a full world ----

namespace {

int deleted = 0;

class Counted : public Object
{
public:
    Counted()
    {
        setType("counted");
    }
    ~Counted() override
    {
        deleted++;
    }
};

} // namespace

// The 2001st object is lost silently; the world keeps its 2000, moves, collides and draws
// them, and deletes each exactly once.
TEST_F(BadInput, WorldFullAtTwoThousandObjects)
{
    WorldManager& world = WorldManager::getInstance();
    world.startUp();
    deleted = 0;
    std::vector<Object*> made;
    for (int i = 0; i < MAX_OBJECTS; i++)
    {
        Object* o = new Counted;
        // Side by side, every tenth moving into its neighbour's cell: collisions in a full world.
        o->setPosition(Vector(static_cast<float>(i % 80), static_cast<float>(i / 80)));
        o->setSolidness(i % 2 ? PASSABLE : BLOCKING);
        if (i % 10 == 0)
            o->setVelocity(Vector(1, 0));
        made.push_back(o);
    }
    ASSERT_EQ(world.getAllObjects().getCount(), MAX_OBJECTS);

    Object* extra = new Counted;
    EXPECT_EQ(world.getAllObjects().getCount(), MAX_OBJECTS);
    EXPECT_EQ(world.objectsOfType("counted").getCount(), MAX_OBJECTS);
    for (int step = 0; step < 3; step++)
    {
        world.update();
        world.draw();
    }
    EXPECT_EQ(world.getAllObjects().getCount(), MAX_OBJECTS);
    EXPECT_EQ(deleted, 0);

    // Room again after a deletion: the next object is kept.
    world.markForDelete(made[0]);
    world.update();
    EXPECT_EQ(deleted, 1);
    Object* kept = new Counted;
    EXPECT_EQ(world.getAllObjects().getCount(), MAX_OBJECTS);
    EXPECT_EQ(world.getAllObjects()[MAX_OBJECTS - 1]->getId(), kept->getId());

    world.shutDown();
    EXPECT_EQ(deleted, MAX_OBJECTS + 1);
    EXPECT_EQ(world.getAllObjects().getCount(), 0);
    // The lost object never belonged to the world; it is ours to free.
    delete extra;
}
