#pragma once
// A new, empty folder of the test's own in the system's temporary folder,
// private to the user like mkdtemp's (which Windows does not have).
#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace qmb::test {

inline std::filesystem::path neuerOrdner(const std::string& vorsilbe) {
    namespace fs = std::filesystem;
    std::random_device zufall;
    for (;;) {
        const fs::path p = fs::path(::testing::TempDir()) / (vorsilbe + std::to_string(zufall()));
        if (fs::create_directory(p)) {
            fs::permissions(p, fs::perms::owner_all);
            return p;
        }
    }
}

} // namespace qmb::test
