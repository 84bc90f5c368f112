#pragma once
#include "platform/SkinH.h"

namespace platform::qt {

// The skin: a Qt style sheet read from the skin file and applied to the
// whole application; detaching clears it. A missing or unreadable skin file
// changes nothing.
class StyleSheetSkin : public SkinH {
public:
    void SkinHme() override;
    void SkinH_AttachEx(const QString& skinFile, const QString& password) override;
    void SkinH_Detach() override;
};

} // namespace platform::qt
