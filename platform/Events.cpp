#include "platform/Events.h"

#include <QCoreApplication>
#include <QEventLoop>

namespace quorlin::platform {

void EventQueue::post(const Event& event) {
    if (!events_.empty() && events_.back() == event) return;
    events_.push_back(event);
}

bool EventQueue::take(Event& event) {
    if (events_.empty()) return false;
    event = events_.front();
    events_.pop_front();
    return true;
}

EventQueue& Queue() {
    static EventQueue queue;
    return queue;
}

namespace {
Event NextQueuedOr(Event fallback) {
    Event event;
    return Queue().take(event) ? event : fallback;
}
}  // namespace

Event WaitForEvent() {
    Event event;
    if (Queue().take(event)) return event;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return NextQueuedOr(Event{});
}

Event PollEvent() {
    Event event;
    if (Queue().take(event)) return event;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return NextQueuedOr(Event{});
}

}  // namespace quorlin::platform
