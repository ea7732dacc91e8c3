#include "Music.h"

#include "LogManager.h"
#include "SfmlCompat.h"

#include <utility>

namespace ks {

Music::Music() = default;

int Music::loadMusic(std::string filename)
{
    if (!compat::openMusic(music, filename))
    {
        LogManager::getInstance().writeLog("failed to load music from file");
        return -1;
    }
    return 0;
}

void Music::setLabel(std::string newLabel)
{
    label = std::move(newLabel);
}

std::string Music::getLabel() const
{
    return label;
}

void Music::play(bool loop)
{
    music.play();
    compat::setLooping(music, loop);
}

void Music::stop()
{
    music.stop();
}

void Music::pause()
{
    music.pause();
}

sf::Music* Music::getMusic()
{
    return &music;
}

} // namespace ks
