#include "program/tick.h"

namespace tick {

Plan Choose(const std::vector<MarkerState>& markers) {
    Plan plan;
    for (std::size_t i = 0; i < markers.size(); ++i) {
        const MarkerState& m = markers[i];
        if (m.exists && m.refreshing) {
            return Plan{{}, true};
        }
        // A marker still in its tick is passed over, never ticked twice: it takes the next tick.
        if (m.exists && !m.hidden && !m.ticking) {
            plan.markers.push_back(i);
        }
    }
    return plan;
}

} // namespace tick
