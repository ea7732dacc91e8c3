// reticle: written by the game work
