#pragma once
// Units and measures every stage shares: the layout works in points, the
// model and the .doc in twips and half-points, and both need Word's limits
// and the usual distance between lines.
#include <algorithm>
#include <cmath>

namespace pwt {

inline constexpr int kTwipsPerPoint = 20;
inline constexpr int kHalfPointsPerPoint = 2;

// Word's smallest and largest font sizes, in half-points (1 pt, 1638 pt).
inline constexpr int kMinHalfPoints = 2;
inline constexpr int kMaxHalfPoints = 3276;
// Word's largest page side: 22 inches.
inline constexpr int kMaxPageTwips = 31680;

// Line spacing in 240ths of a line ("auto" rule): 240 is single.
inline constexpr int kSingleLineSpacing = 240;
// The pitch of single-spaced text (baseline to baseline) in ems of its size:
// what typesetters use (120 %)...
inline constexpr double kDefaultPitchEm = 1.2;
// ...and what Word's single spacing gives for common fonts.
inline constexpr double kSingleLineEm = 1.17;

inline int twips(double points) { return static_cast<int>(std::lround(points * kTwipsPerPoint)); }
inline double points(int twips) { return static_cast<double>(twips) / kTwipsPerPoint; }

// A size in points as Word stores it, within Word's range.
inline int halfPoints(double points)
{
    return std::clamp(static_cast<int>(std::lround(points * kHalfPointsPerPoint)), kMinHalfPoints, kMaxHalfPoints);
}

} // namespace pwt
