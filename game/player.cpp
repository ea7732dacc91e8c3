// player: written by the game work
