#include "resources.h"

#include "ResourceManager.h"

namespace ks {

namespace {

enum Kind
{
    SPRITE,
    SOUND,
    MUSIC
};

struct Entry
{
    Kind kind;
    const char* file;
    const char* label;
};

const Entry TABLE[] = {
    {SPRITE, "bullet-spr.txt", "bullet"},
    {SPRITE, "zombie-spr.txt", "zombie"},
    {SPRITE, "hunter-spr.txt", "player"},
    {SPRITE, "gameover-spr.txt", "gameoversprite"},
    {SPRITE, "title-spr.txt", "title"},
    {SPRITE, "reticle.txt", "reticle"},
    {SPRITE, "medicine-spr.txt", "healthpack"},
    {SPRITE, "powerup-magazine.txt", "bulletpack"},
    {SOUND, "gun-shot.wav", "fire"},
    {SOUND, "gun-reload.wav", "reload"},
    {SOUND, "human-damage.wav", "hurt"},
    {SOUND, "medecine.wav", "heal"},
    {SOUND, "powerup-magazin.wav", "bulletpacksound"},
    {SOUND, "zombie-dying.wav", "explode"},
    {SOUND, "zombie-attack.wav", "zombieattack"},
    {SOUND, "zombie-voice.wav", "newzombie"},
    {MUSIC, "background-music.wav", "music"},
    {SOUND, "bomb-explosion.wav", "gameoversound"},
};

} // namespace

int loadGameResources(const std::string& folder)
{
    ResourceManager& resources = ResourceManager::getInstance();
    int failed = 0;
    for (const Entry& e : TABLE)
    {
        const std::string path = folder + e.file;
        int result = 0;
        switch (e.kind)
        {
        case SPRITE: result = resources.loadSprite(path, e.label); break;
        case SOUND: result = resources.loadSound(path, e.label); break;
        case MUSIC: result = resources.loadMusic(path, e.label); break;
        }
        if (result != 0)
            failed++;
    }
    return failed;
}

} // namespace ks
