#pragma once
// Marks the time an event handler runs. Windows discarded meanwhile are
// deleted only after the outermost handler has returned.
namespace ui::detail {

class EventScope {
public:
    EventScope();
    ~EventScope();
    EventScope(const EventScope &) = delete;
    EventScope &operator=(const EventScope &) = delete;

    static bool active();
};

}  // namespace ui::detail
