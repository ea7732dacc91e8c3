// The game's resource table: every sprite, sound and the music, from their files in the game
// folder, under the labels the game objects ask for. It is the one list of the game's data
// files: the build copies and synthesises from it, and the tests read it.
//
//   loadGameResources();                  // from the working directory, as the game does
//   loadGameResources("/opt/kestrane/");  // from another folder (the prefix ends in '/')
#pragma once

#include <string>

namespace ks {

enum class ResourceKind
{
    SPRITE,
    SOUND,
    MUSIC
};

struct GameResource
{
    ResourceKind kind;
    const char* file;
    const char* label;
};

// In the order the game loads them.
inline constexpr GameResource GAME_RESOURCES[] = {
    {ResourceKind::SPRITE, "bullet-spr.txt", "bullet"},
    {ResourceKind::SPRITE, "zombie-spr.txt", "zombie"},
    {ResourceKind::SPRITE, "hunter-spr.txt", "player"},
    {ResourceKind::SPRITE, "gameover-spr.txt", "gameoversprite"},
    {ResourceKind::SPRITE, "title-spr.txt", "title"},
    {ResourceKind::SPRITE, "reticle.txt", "reticle"},
    {ResourceKind::SPRITE, "medicine-spr.txt", "healthpack"},
    {ResourceKind::SPRITE, "powerup-magazine.txt", "bulletpack"},
    {ResourceKind::SOUND, "gun-shot.wav", "fire"},
    {ResourceKind::SOUND, "gun-reload.wav", "reload"},
    {ResourceKind::SOUND, "human-damage.wav", "hurt"},
    {ResourceKind::SOUND, "medecine.wav", "heal"},
    {ResourceKind::SOUND, "powerup-magazin.wav", "bulletpacksound"},
    {ResourceKind::SOUND, "zombie-dying.wav", "explode"},
    {ResourceKind::SOUND, "zombie-attack.wav", "zombieattack"},
    {ResourceKind::SOUND, "zombie-voice.wav", "newzombie"},
    {ResourceKind::MUSIC, "background-music.wav", "music"},
    {ResourceKind::SOUND, "bomb-explosion.wav", "gameoversound"},
};

// Loads the table's resources in order, each file name after folder. A file that fails is
// logged by the resource manager and stays missing; the others still load. Returns how many
// failed.
int loadGameResources(const std::string& folder = "");

} // namespace ks
