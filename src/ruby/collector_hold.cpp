#include "collector_hold.h"

#include "guard.h"

namespace binding {

namespace {

// The innermost hold of this thread, while no pause lifts it. Another thread may run its own
// step while this one pauses; the collector's switch follows whichever thread runs.
thread_local CollectorHold *active = nullptr;

// GC.stress, which an interpreter embedded without its prelude does not define.
bool collector_stressed() {
    static const ID stress = rb_intern("stress");
    return rb_respond_to(rb_mGC, stress) && RTEST(protect([] { return rb_funcall(rb_mGC, stress, 0); }));
}

}  // namespace

CollectorHold::CollectorHold() : outer_(active) {
    if (!collector_stressed()) take();
    active = this;
}

CollectorHold::~CollectorHold() {
    give_back();
    active = outer_;
}

// Only a collector that is on is turned off, and only a hold that turned it off turns it on.
void CollectorHold::take() { held_ = rb_gc_disable() == Qfalse; }

void CollectorHold::give_back() {
    if (held_) rb_gc_enable();
    held_ = false;
}

CollectorHold::Pause::Pause() : paused_(active), retake_(paused_ && paused_->held_) {
    if (!paused_) return;
    active = nullptr;
    paused_->give_back();
}

CollectorHold::Pause::~Pause() {
    if (!paused_) return;
    if (retake_) paused_->take();
    active = paused_;
}

}  // namespace binding
