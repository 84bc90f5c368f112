#pragma once

namespace joblist {

// Whether a batch is running: the window answers from cmdStart's enabled
// state, which is the only record of it.
class BatchState {
public:
    virtual ~BatchState() = default;
    virtual bool batchRunning() const = 0;
};

} // namespace joblist
