// Checks, for any bytes at all, that ResourceManager::loadSprite and loadUtf8Sprite keep their
// promises: the
// result is 0 or -1; a file the format accepts loads and one it rejects does not, with the log
// lines the format names; on -1 nothing is stored; on 0 the sprite has the header's numbers
// and every frame its rows' characters; the next file still loads. Shared by the libFuzzer
// target and the regression tests.
#pragma once

#include <string>

namespace ks::fuzz {

// Opens the log and the resource manager in the working directory and fills the sprite
// array to one below its capacity, so that every check can see whether a load stored one
// sprite, none, or more.
void prepareLoader();

// Writes bytes to a sprite file in the working directory, loads it with each loader in turn
// and checks the results.
// Empty when every promise held, otherwise a description of the first broken one. Leaves
// the resource manager as prepareLoader() left it.
std::string checkSpriteBytes(const std::string& bytes);

} // namespace ks::fuzz
