#include "OcrSettings.h"

namespace pwt::ocr {

std::optional<OcrMode> parseOcrMode(const std::string& text)
{
    if (text == "auto")
        return OcrMode::Auto;
    if (text == "always")
        return OcrMode::Always;
    if (text == "never")
        return OcrMode::Never;
    return std::nullopt;
}

} // namespace pwt::ocr
