// The game's resource table: every sprite, sound and the music, from their files in the game
// folder, under the labels the game objects ask for.
//
//   loadGameResources();                  // from the working directory, as the game does
//   loadGameResources("/opt/kestrane/");  // from another folder (the prefix ends in '/')
#pragma once

#include <string>

namespace ks {

// Loads the eighteen resources in the table's order, each file name after folder. A file
// that fails is logged by the resource manager and stays missing; the others still load.
// Returns how many failed.
int loadGameResources(const std::string& folder = "");

} // namespace ks
