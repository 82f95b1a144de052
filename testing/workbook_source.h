// Workbooks made in the tests: a zip (minizip's writer) of the parts given.
#pragma once

#include <zip.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "testing/workbook_parts.h"

namespace pile::schedule::testing {

// `repeat` copies of the last part's bytes are written, to make large parts cheaply.
inline std::string ZipOf(const std::vector<Part>& parts, std::size_t repeat = 1) {
    static std::atomic<int> counter{0};
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("pile-workbook-" + std::to_string(counter++) + "-" +
                                        std::to_string(std::random_device{}()) + ".zip");
    zipFile zip = zipOpen64(path.string().c_str(), APPEND_STATUS_CREATE);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Part& part = parts[i];
        zipOpenNewFileInZip64(zip, part.name.c_str(), nullptr, nullptr, 0, nullptr, 0, nullptr,
                              part.stored ? 0 : Z_DEFLATED, part.stored ? 0 : 1, 1);
        for (std::size_t n = 0; n < (i + 1 == parts.size() ? repeat : 1); ++n) {
            zipWriteInFileInZip(zip, part.bytes.data(), static_cast<unsigned>(part.bytes.size()));
        }
        zipCloseFileInZip(zip);
    }
    zipClose(zip, nullptr);
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::filesystem::remove(path);
    return bytes;
}

}  // namespace pile::schedule::testing
