#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace rdp::freerdp {

// Where a connection is in its life. The worker, the watchdog and the GUI thread move it
// only through SessionLife::apply or change, so that a step taken on one thread is never overtaken
// by a stale decision of another.
enum class SessionState {
    Idle,         // not started
    Connecting,   // the first attempt is under way
    Connected,    // the link is up; input flows
    LinkLost,     // the link broke; the next reconnection attempt is pending
    Reconnecting, // a reconnection attempt is under way
    TimedOut,     // the watchdog fired during an attempt: that attempt has failed
    Closing,      // this side asked to end; nothing brings the session back
    Ended,        // the worker has finished
};

enum class SessionEvent {
    Start,          // the worker begins
    Up,             // an attempt brought the link up
    Lost,           // the link broke, or an attempt failed with tries left
    Retry,          // a reconnection attempt begins
    DeadlineMissed, // the watchdog fired
    CloseRequested, // Disconnect() or the control going away
    Finished,       // the worker is done
};

// The state's name as the log shows it ("Connecting").
const char* StateName(SessionState state);

// The transition table: the next state, or nothing when the event does not apply.
std::optional<SessionState> NextState(SessionState from, SessionEvent event);

// An attempt (first connection or reconnection) is in progress: a blocked connect may
// need its sockets shut down to be interrupted.
bool IsAttempting(SessionState state);

// The one state of a session, shared by its threads.
class SessionLife {
public:
    SessionState state() const { return state_.load(); }
    // Applies the event; false (and no change) when it does not apply in the current state.
    bool apply(SessionEvent event) { return change(event).has_value(); }
    // Applies the event and answers the state it replaced, read in the same step: nothing
    // when the event does not apply.
    std::optional<SessionState> change(SessionEvent event);
    // Waits until the state is Ended, at most `milliseconds`; true when it is.
    bool waitEnded(int milliseconds);
    bool closing() const;

private:
    std::atomic<SessionState> state_{SessionState::Idle};
    std::mutex endMutex_;
    std::condition_variable endCv_;
};

} // namespace rdp::freerdp
