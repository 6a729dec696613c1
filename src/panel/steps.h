// Moves of the current marker still to make. Wheel notches, spinner clicks and line keys arrive
// while a move is under way (its refresh delivers pending messages): each is added here, never
// dropped, and made in the order it came once the move under way is done. Moves one after another
// in the same direction and unit are made as one (one picture where they end); a change of
// direction is kept apart, so that one stopped at the monitor's edge does not cancel the next.
#pragma once

#include <cstdlib>
#include <deque>

namespace steps {

enum class Unit { Step, Line };

struct Move {
    Unit unit = Unit::Step;
    int n = 0; // positive downwards; 0: nothing to make
};

class Backlog {
public:
    // The most steps one move takes: a move's steps times 60 twips must fit in 16 bits.
    static constexpr int kMostAtOnce = 546;

    void Add(Unit unit, int n) {
        if (n == 0) {
            return;
        }
        if (!queue_.empty() && queue_.back().unit == unit && (queue_.back().n > 0) == (n > 0)) {
            queue_.back().n += n;
        } else {
            queue_.push_back({unit, n});
        }
    }
    // The next move to make, a step move at most kMostAtOnce either way (what is left of it stays
    // first in line).
    Move Take() {
        if (queue_.empty()) {
            return {};
        }
        Move m = queue_.front();
        if (m.unit == Unit::Step && std::abs(m.n) > kMostAtOnce) {
            m.n = m.n > 0 ? kMostAtOnce : -kMostAtOnce;
            queue_.front().n -= m.n;
        } else {
            queue_.pop_front();
        }
        return m;
    }
    bool Empty() const { return queue_.empty(); }

private:
    std::deque<Move> queue_;
};

} // namespace steps
