#include "EventOut.h"

namespace ks {

EventOut::EventOut()
{
    setType(OUT_EVENT);
}

} // namespace ks
