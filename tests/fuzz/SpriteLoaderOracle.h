// SpriteLoaderOracle: checks, for any bytes at all, that ResourceManager::loadSprite keeps
// its promises. Shared by the libFuzzer target and the plain regression tests.
//
//   ks::fuzz::prepareLoader();                        // once per process, in a scratch directory
//   std::string broken = ks::fuzz::checkSpriteBytes(bytes);
//   if (!broken.empty()) ... // the first promise that did not hold
//
// The promises: the result is 0 or -1; a file that the format accepts loads and one it
// rejects does not, with the exact log lines the format names; on -1 nothing is stored;
// on 0 the sprite has the header's frame count, size, slowdown and colour and every frame
// holds its rows' characters; loading the next file still works (the program goes on).
#pragma once

#include <string>

namespace ks::fuzz {

// Opens the log and the resource manager in the working directory and fills the sprite
// array to one below its capacity, so that every check can see whether a load stored one
// sprite, none, or more.
void prepareLoader();

// Writes bytes to a sprite file in the working directory, loads it and checks the result.
// Empty when every promise held, otherwise a description of the first broken one. Leaves
// the resource manager as prepareLoader() left it.
std::string checkSpriteBytes(const std::string& bytes);

} // namespace ks::fuzz
