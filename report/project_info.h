// What the cover of a calculation report says about the project, and the program that made it.
#pragma once

#include <string_view>

#include "session/project_info.h"

namespace pile::report {

// The project is the session's: the report prints what it holds.
using session::kProjectFields;
using session::ProjectField;
using session::ProjectInfo;
using session::SetProjectField;

// The program that writes the report, as its cover and 设计依据 name it.
struct ProgramInfo {
    std::u16string_view name;
    std::u16string_view version;
    std::u16string_view maker;
};
// This program: its name and maker as the about box shows them (program_identity.h), and the
// project's version.
ProgramInfo ThisProgram();

}  // namespace pile::report
