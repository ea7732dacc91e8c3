#pragma once

#include <string>

#include <SFML/Audio.hpp>

namespace ks {

/// Sound: a short sound effect decoded into memory, found by label.
class Sound
{
public:
    Sound();
    ~Sound();

    /// Moves the other entry's samples and label here and rebinds the playable sound to
    /// this entry's buffer; the other entry is left empty. Used to close gaps on unload.
    Sound& operator=(Sound&& other);
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    /// 0, or -1 with the log line "failed to load sound".
    int loadSound(std::string filename);

    /// The label the resource manager finds the sound by.
    ///@{
    void setLabel(std::string newLabel);
    std::string getLabel() const;
    ///@}

    /// Starts or resumes the sound, once unless loop is true.
    void play(bool loop = false);
    /// Stops it; the next play() starts from the beginning.
    void stop();
    /// Pauses it; the next play() resumes.
    void pause();

    /// The playable sound; null until a successful load.
    sf::Sound* getSound() const;

private:
    sf::Sound* sound = nullptr; ///< owned, bound to soundBuffer
    sf::SoundBuffer soundBuffer;
    std::string label;
};

} // namespace ks
