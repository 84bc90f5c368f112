#pragma once
#include <QString>

namespace platform {

// The skin library: the window's look comes from a style sheet file that is
// attached at start-up and detached at unload. Nothing that these calls
// return is used, and a missing skin file changes nothing.
class SkinH {
public:
    virtual ~SkinH() = default;
    virtual void SkinHme() = 0;
    virtual void SkinH_AttachEx(const QString& skinFile, const QString& password) = 0;
    virtual void SkinH_Detach() = 0;
};

} // namespace platform
