// Steps of the current marker still to make. Wheel notches and spinner clicks arrive while a
// step is under way (its refresh delivers pending messages): each is added here, never dropped,
// and the step under way takes them all when it is done.
#pragma once

namespace steps {

class Backlog {
public:
    // The most steps one move takes: a move's steps times 60 twips must fit in 16 bits.
    static constexpr int kMostAtOnce = 546;

    void Add(int n) { pending_ += n; }
    // The steps to make now (positive downwards), at most kMostAtOnce either way; what is left
    // stays for the next move.
    int Take() {
        int n = pending_;
        if (n > kMostAtOnce) {
            n = kMostAtOnce;
        } else if (n < -kMostAtOnce) {
            n = -kMostAtOnce;
        }
        pending_ -= n;
        return n;
    }
    int Pending() const { return pending_; }

private:
    int pending_ = 0;
};

} // namespace steps
