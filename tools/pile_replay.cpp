// pile_replay < steps.tsv > out.tsv: runs a session of calculations and book actions without
// a window and prints what the window would show and what the books would hold.
#include <cstdio>
#include <string>
#include <string_view>

#include "tools/replay_session.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace {

bool ReadAll(std::FILE* file, std::string& text) {
    char chunk[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        text.append(chunk, got);
        if (got < sizeof chunk) {
            return std::ferror(file) == 0;
        }
    }
}

}  // namespace

int main() {
#ifdef _WIN32
    // The format is LF-separated UTF-8 on every system: no CR LF translation.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::string input;
    if (!ReadAll(stdin, input)) {
        std::fputs("pile_replay: cannot read the standard input\n", stderr);
        return 1;
    }
    bool writeFailed = false;
    std::string errors;
    const int status = pile::replay::ReplaySession(
        input,
        [&](std::string_view piece) {
            if (std::fwrite(piece.data(), 1, piece.size(), stdout) != piece.size()) {
                writeFailed = true;
            }
        },
        errors);
    std::fputs(errors.c_str(), stderr);
    if (std::fflush(stdout) != 0 || writeFailed) {
        std::fputs("pile_replay: cannot write the standard output\n", stderr);
        return 1;
    }
    return status;
}
