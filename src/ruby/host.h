// The host's side of a call: its message box, its standard output, and what a running step
// does for the interpreter (honour interrupts, let other threads run, ask the time-limit
// question).
#pragma once

#include <ruby.h>

#include <string>

#include "engine/pace.h"

namespace binding {

// UI.messagebox(text, 4): true when the user answered yes (6).
bool host_says_yes(const std::string &text);

// Writes msg and a newline through $stdout.write; false when it could not be written.
bool write_line(const char *msg);

// The hooks of a step called from Ruby: at each of the step's clock readings, pending
// interrupts (Timeout, Thread#raise, Thread#kill, signals) leave the step and other threads
// get their turn; the time-limit question is put in the words of receiver's "@transl8".
class RubyHooks : public engine::StepHooks {
public:
    explicit RubyHooks(VALUE receiver = Qnil) : receiver_(receiver) {}
    void check_interrupts() override;
    bool ask_abort(const std::string &warning_text) override;

private:
    VALUE receiver_;
};

}  // namespace binding
