// The core tests run in an empty working folder of their own, and fail when
// something is left in it: a test that builds a path without its temporary
// folder writes beside wherever the tests were started (a build folder, a
// checkout) and would go unnoticed.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/TempFolder.h"

namespace hb::test {
namespace {

class WorkingFolderGuard : public ::testing::Environment {
public:
    void SetUp() override {
        started_ = std::filesystem::current_path();
        folder_.emplace();
        std::filesystem::current_path(folder_->path());
    }

    void TearDown() override {
        std::filesystem::current_path(started_);
        std::string left;
        for (const auto& entry : std::filesystem::directory_iterator(folder_->path())) {
            left += " \"" + entry.path().filename().string() + "\"";
        }
        if (!left.empty()) {
            ADD_FAILURE() << "Tests left in the working folder (a path without its temporary folder):" << left;
        }
        folder_.reset();
    }

private:
    std::filesystem::path started_;
    std::optional<TempFolder> folder_;
};

// Registered before main runs; GoogleTest owns it from here on.
[[maybe_unused]] ::testing::Environment* const kGuard =
    ::testing::AddGlobalTestEnvironment(new WorkingFolderGuard);

}  // namespace
}  // namespace hb::test
