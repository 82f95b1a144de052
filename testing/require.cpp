#include "testing/require.h"

#include <cstdio>
#include <cstdlib>

namespace pile::test {

void RequireImpl(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

}  // namespace pile::test
