#include "report/project_info.h"

#include "report/program_identity.h"

namespace pile::report {

namespace {

// The version comes from the project's CMake version (one place for the number).
#define PILE_WIDEN2(x) u##x
#define PILE_WIDEN(x) PILE_WIDEN2(x)
constexpr std::u16string_view kVersion = PILE_WIDEN(PILE_PROJECT_VERSION);
#undef PILE_WIDEN
#undef PILE_WIDEN2

}  // namespace

ProgramInfo ThisProgram() {
    return {kProgramName, kVersion, kProgramMaker};
}

}  // namespace pile::report
