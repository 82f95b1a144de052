// The program as its about box and its calculation reports name it, in one place for both: a
// report must name the program that made it and its maker, and say the same as the about box.
#pragma once

namespace pile::report {

inline constexpr char16_t kProgramName[] = u"嵌岩桩承载力计算";
inline constexpr char16_t kProgramMaker[] = u"本程序的作者";

}  // namespace pile::report
