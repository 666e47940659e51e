#pragma once

#include <string_view>

namespace widgets
{

// The program's typeface, on screen and on paper: Debian's IPA P Gothic, a
// Japanese proportional gothic whose Latin letters fit the layout's boxes.
inline constexpr std::string_view FontFamily = "IPAPGothic";

} // namespace widgets
