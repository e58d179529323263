#pragma once
// The window layer's event queue: what the main window's handling makes of
// close requests, menu and toolbar clicks, and the topic list's reports, plus
// raw key presses. The event loop takes one item per pass.

#include <cstdint>
#include <deque>

namespace quorlin::platform {

// Codes the wait returns. The three queued kinds are far from any raw message
// number; 256 is the raw key press.
constexpr int32_t kCloseEvent = 13116;
constexpr int32_t kCommandEvent = 13101;
constexpr int32_t kControlEvent = 13100;
constexpr int32_t kRawKeyDown = 256;
// A pass for anything else the wait saw (mouse, paint, timers).
constexpr int32_t kOtherMessage = 0;

// Kinds of topic-list report.
constexpr int32_t kRowChosen = 0;
constexpr int32_t kRowDoubleClicked = 2;

struct Event {
    int32_t code = kOtherMessage;
    int32_t number = 0;  // command number, or control number
    int32_t type = 0;    // kind of control report
    bool operator==(const Event&) const = default;
};

class EventQueue {
public:
    // An event equal to the one at the tail is not appended again.
    void post(const Event& event);
    bool take(Event& event);
    bool empty() const { return events_.empty(); }
    void clear() { events_.clear(); }

private:
    std::deque<Event> events_;
};

EventQueue& Queue();

// The first step of each pass: the oldest queued event, or else whatever the
// window system delivers next (blocking until something arrives).
Event WaitForEvent();
// Like WaitForEvent, but never blocks: kOtherMessage when nothing is pending.
Event PollEvent();

}  // namespace quorlin::platform
