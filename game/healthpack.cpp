// healthpack: written by the game work
