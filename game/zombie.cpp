// zombie: written by the game work
