#include "Sound.h"

#include "LogManager.h"
#include "SfmlCompat.h"

#include <utility>

namespace ks {

Sound::Sound() = default;

Sound::~Sound()
{
    // The playable sound goes before the buffer it is bound to.
    delete sound;
}

Sound& Sound::operator=(Sound&& other)
{
    if (this == &other)
        return *this;

    delete sound;
    sound = nullptr;

    if (other.sound != nullptr)
    {
        soundBuffer = other.soundBuffer;
        // Keep the other entry's sf::Sound (and its settings) but bind it to our copy of the
        // samples, so nothing still points at the other entry's buffer.
        sound = other.sound;
        other.sound = nullptr;
        sound->setBuffer(soundBuffer);
        other.soundBuffer = sf::SoundBuffer();
    }
    else if (soundBuffer.getSampleCount() != 0)
    {
        // An entry that never loaded has no samples; ours must not keep stale ones.
        soundBuffer = sf::SoundBuffer();
    }

    label = std::move(other.label);
    other.label.clear();
    return *this;
}

int Sound::loadSound(std::string filename)
{
    if (!compat::loadSoundBuffer(soundBuffer, filename))
    {
        LogManager::getInstance().writeLog("failed to load sound");
        return -1;
    }
    // A reloaded entry gets a fresh sf::Sound on the new samples; the old one is released.
    delete sound;
    sound = new sf::Sound(soundBuffer);
    return 0;
}

void Sound::setLabel(std::string newLabel)
{
    label = std::move(newLabel);
}

std::string Sound::getLabel() const
{
    return label;
}

void Sound::play(bool loop)
{
    if (sound == nullptr)
        return;
    sound->play();
    compat::setLooping(*sound, loop);
}

void Sound::stop()
{
    if (sound != nullptr)
        sound->stop();
}

void Sound::pause()
{
    if (sound != nullptr)
        sound->pause();
}

sf::Sound* Sound::getSound() const
{
    return sound;
}

} // namespace ks
