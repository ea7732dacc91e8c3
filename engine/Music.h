// Music: a long piece streamed from its file while it plays, found by label.
#pragma once

#include <string>

#include <SFML/Audio.hpp>

namespace ks {

class Music
{
public:
    Music();

    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;

    // 0, or -1 with the log line "failed to load music from file".
    int loadMusic(std::string filename);

    void setLabel(std::string newLabel);
    std::string getLabel() const;

    void play(bool loop = true);
    void stop();
    void pause();

    sf::Music* getMusic();

private:
    sf::Music music;
    std::string label;
};

} // namespace ks
