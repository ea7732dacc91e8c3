// player: the hunter. Walks with W, A, S and D (read from the live keyboard state every
// step), fires bullets towards the reticle with the left button, reloads, takes hits from
// zombies, picks up power-ups, keeps the score and draws the head-up display. When its
// health runs out it shows the game-over picture for 270 steps, then clears the world and
// brings back the title screen.
//
// Zombies find it with WorldManager::objectsOfType("player"), check with exists that it is
// still there before each use, and credit it with addScore.
#pragma once

#include "Object.h"

namespace ks {

class player : public Object
{
public:
    // Enters the world at (40, 12), BLOCKING, altitude 2, sprite "player"; starts the
    // music "music" looping. Health 3, magazine 5 of 5, score 0.
    player();
    ~player() override;

    // Step, keyboard, mouse and collision events; only the step event while dead. Always 0.
    int eventHandler(const Event* event) override;

    // Zombies shot so far.
    int getScore() const;

    // One more zombie shot.
    void addScore();

    // True while the player with this id has not been deleted (ids are never reused).
    static bool exists(int id);

private:
    void step();
    void keyboard(const Event* event);
    void mouse(const Event* event);
    void collide(const Event* event);
    void drawHud() const;

    bool upHeld;         // W held when this step read the keyboard
    bool downHeld;       // S held
    bool leftHeld;       // A held
    bool rightHeld;      // D held
    bool dead;           // health reached 0; the game-over sequence runs
    int deathCountdown;  // steps left in the game-over sequence, from 270
    int ammo;            // shots left in the magazine
    int clipSize;        // shots in a full magazine: 5, one more per bullet pack
    int reloadCountdown; // steps until the magazine is full again; 0 = no reload running
    int score;           // zombies shot
    int health;          // hit points, 3 at the start, no upper limit
};

} // namespace ks
