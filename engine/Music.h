#pragma once

#include <string>

#include <SFML/Audio.hpp>

namespace ks {

/// Music: a long piece streamed from its file while it plays, found by label.
class Music
{
public:
    Music();

    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    /// 0, or -1 with the log line "failed to load music from file".
    int loadMusic(std::string filename);

    /// The label the resource manager finds the music by.
    ///@{
    void setLabel(std::string newLabel);
    std::string getLabel() const;
    ///@}

    /// Starts or resumes the music, looping unless loop is false.
    void play(bool loop = true);
    /// Stops it; the next play() starts from the beginning.
    void stop();
    /// Pauses it; the next play() resumes.
    void pause();

    /// The SFML music stream, for what the engine does not offer.
    sf::Music* getMusic();

private:
    sf::Music music;
    std::string label;
};

} // namespace ks
