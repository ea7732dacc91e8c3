// bulletpack: written by the game work
