#pragma once
#include "platform/EventPump.h"

namespace platform::qt {

class QtEventPump : public EventPump {
public:
    void processEvents() override;
};

} // namespace platform::qt
