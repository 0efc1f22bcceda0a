// Keeps the garbage collector from running while a result is built. The entries made so far
// and the Array they go into are all live, so a collection in the middle would find no
// garbage: it would only mark the half-built result again, once per collection, and on a
// large result that is most of the cost of building it. Wherever the step lets other threads
// run or calls out to Ruby code (its ticks, the time-limit prompt), the collector is on again
// meanwhile. Under GC.stress it runs as asked, so that a missing guard still shows.
#pragma once

#include <ruby.h>

namespace binding {

class CollectorHold {
public:
    CollectorHold();
    ~CollectorHold();
    CollectorHold(const CollectorHold &) = delete;
    CollectorHold &operator=(const CollectorHold &) = delete;

    // While one lives, the collector runs as it would without a hold.
    class Pause {
    public:
        Pause();
        ~Pause();
        Pause(const Pause &) = delete;
        Pause &operator=(const Pause &) = delete;

    private:
        CollectorHold *paused_;
        bool retake_;  // whether the hold had the collector off
    };

private:
    void take();
    void give_back();

    bool held_ = false;  // false when the collector was already off (the caller's), or stressed
    CollectorHold *outer_;
};

}  // namespace binding
