#pragma once

namespace ks {

class Object;

/// ObjectHome: the world as an object sees it, and no more. An object enters its home when it
/// is constructed and tells it whenever what the home's index of boxes keeps of it changes; it needs to know nothing
/// else of the world. The world manager is the one home and defines home() to return itself, so that this header and
/// Object depend on nothing of the world while the world depends on them.
class ObjectHome
{
public:
    /// The home every object enters: the world manager, made on first use.
    static ObjectHome& home();

    /// Enters p (the Object constructor calls it); 0 even when p could not be kept.
    virtual int insertObject(Object* p) = 0;

    /// p's position, box, solidness, id or screen-fixing has changed; harmless for an object
    /// that is not in the home.
    virtual void boxChanged(Object* p) = 0;

protected:
    ~ObjectHome() = default;

    /// The note an object keeps for its home: its index in the home's list when it was last
    /// looked up there, -1 when it is not in it. Only the home reads and writes it.
    static int& slotNote(Object* p);
};

} // namespace ks
