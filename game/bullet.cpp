// bullet: written by the game work
