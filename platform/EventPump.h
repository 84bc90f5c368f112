#pragma once

namespace platform {

class EventPump {
public:
    virtual ~EventPump() = default;
    // Handles the pending window events once, then returns.
    virtual void processEvents() = 0;
};

} // namespace platform
