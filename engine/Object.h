#pragma once

#include <string>

#include "Animation.h"
#include "Box.h"
#include "Solidness.h"
#include "Vector.h"

namespace ks {

class Event;

/// Object: the base of every game object. Constructing one (always with new) enters it
/// into the world; from then on the world manager moves, collides, draws and finally
/// deletes it. Game code never deletes an object: it marks it with markForDelete or takes
/// it out with removeObject.
///
/// @code
/// class rock : public Object {
/// public:
///     rock() { setType("rock"); setSprite("rock"); setSolidness(BLOCKING); }
/// };
/// @endcode
class Object
{
public:
    /// Takes the next id and inserts the object into the world.
    Object();

    /// Does not touch the world manager.
    virtual ~Object();

    /// An object is its place in the world: a copy would share its id and box without the
    /// world's collision index knowing, and an assignment would move it behind the index's back.
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    /// The object's id, unique for the run and never reused; the constructor takes the next one.
    ///@{
    void setId(int newId);
    int getId() const;
    ///@}

    /// The type name that game objects recognise each other by (WorldManager::objectsOfType).
    ///@{
    void setType(std::string newType);
    std::string getType() const;
    ///@}

    /// Stores the position; no collision test, no event.
    ///@{
    virtual void setPosition(Vector newPosition);
    Vector getPosition() const;
    ///@}

    /// The base ignores every event and returns 0.
    virtual int eventHandler(const Event* event);

    /// Draws the animation at the position; returns the animation's result.
    virtual int draw();

    /// Drawing layer 0..3 (others are never drawn); always returns 0.
    ///@{
    int setAltitude(int newAltitude);
    int getAltitude() const;
    ///@}

    /// Speed in cells per step, along the direction.
    ///@{
    void setSpeed(float newSpeed);
    float getSpeed() const;
    ///@}

    /// Stored as given, not normalised.
    ///@{
    void setDirection(Vector newDirection);
    Vector getDirection() const;
    ///@}

    /// Splits v into speed (its length) and direction (v normalised).
    ///@{
    void setVelocity(Vector velocity);
    Vector getVelocity() const;
    ///@}

    /// Position plus velocity: where the object will be after one step.
    Vector predictPosition();

    /// True when BLOCKING or PASSABLE: the object takes part in collisions.
    bool isSolid() const;
    /// Stores the solidness unchecked; always returns 0.
    ///@{
    int setSolidness(Solidness newSolidness);
    Solidness getSolidness() const;
    ///@}

    /// Plays the sprite loaded under label and takes the box from it. 0, or -1 when no
    /// sprite has that label (nothing changes then).
    int setSprite(std::string label);

    /// The playback state of the object's sprite.
    ///@{
    void setAnimation(Animation newAnimation);
    Animation getAnimation() const;
    ///@}

    /// Relative to the position.
    ///@{
    void setBox(Box newBox);
    Box getBox() const;
    ///@}

    /// Fixed to the screen (a head-up display, a score): drawn at its position taken as a cell
    /// of the window's grid, wherever the world's view is, and never left out of a frame. It
    /// still moves and collides at that position in the world. False after construction.
    ///@{
    void setScreenFixed(bool fixed = true);
    bool isScreenFixed() const;
    ///@}

private:
    int id;           ///< unique for the run, never reused
    std::string type; ///< empty after construction
    Vector position;  ///< cells; (0, 0) after construction
    Vector direction; ///< (0, 0) after construction
    float speed = 0;  ///< cells per step
    int altitude = 0; ///< drawing layer
    Solidness solidness = NONSOLID;
    Animation animation; ///< no sprite after construction
    Box box;             ///< a point at the position until setSprite
    bool screenFixed = false;

    /// The home (the world) keeps a copy of every object's world box for its collision search,
    /// and is told through ObjectHome whenever the position or the box changes.
    friend class ObjectHome;
    int homeSlot = -1; ///< index in the home's list when last looked up there; -1 when out
};

} // namespace ks
