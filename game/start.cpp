// start: written by the game work
