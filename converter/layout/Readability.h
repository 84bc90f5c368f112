#pragma once
// Keeps text readable where the PDF sets it on colour: a paragraph on a
// coloured box or a slide's dark page gets that colour as its shading, and
// light text whose background is not kept (a picture behind it) gets a dark
// shading rather than coming out light on white paper.
#include "FigureFinder.h"
#include "model/Document.h"

#include <optional>
#include <vector>

namespace pwt::layout {

// A background counts as paper, not colour, when every channel is at least this.
inline constexpr std::uint32_t kPaperChannelMin = 0xF0;
// Text whose relative luminance (0 black .. 1 white) is at least this is light:
// unreadable on white paper.
inline constexpr double kLightTextLuminance = 0.75;
// The shading light text gets when the colour it stood on is not known.
inline constexpr std::uint32_t kDarkShadingRgb = 0x404040;

// The colour behind text set in `box`: the last-drawn background that holds
// the box's centre, unless it is paper.
std::optional<std::uint32_t> colourBehind(const pdf::Box& box, const std::vector<Background>& backgrounds);

// Shades `paragraph` with `behind`; light text on no known colour gets kDarkShadingRgb.
void keepReadable(Paragraph& paragraph, std::optional<std::uint32_t> behind);

} // namespace pwt::layout
