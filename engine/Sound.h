// Sound: a short sound effect decoded into memory, found by label.
#pragma once

#include <string>

#include <SFML/Audio.hpp>

namespace ks {

class Sound
{
public:
    Sound();
    ~Sound();

    // Moves the other entry's samples and label here and rebinds the playable sound to
    // this entry's buffer; the other entry is left empty. Used to close gaps on unload.
    Sound& operator=(Sound&& other);
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    // 0, or -1 with the log line "failed to load sound".
    int loadSound(std::string filename);

    void setLabel(std::string newLabel);
    std::string getLabel() const;

    void play(bool loop = false);
    void stop();
    void pause();

    // The playable sound; null until a successful load.
    sf::Sound* getSound() const;

private:
    sf::Sound* sound = nullptr; // owned, bound to soundBuffer
    sf::SoundBuffer soundBuffer;
    std::string label;
};

} // namespace ks
