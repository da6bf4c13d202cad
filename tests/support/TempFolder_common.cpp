#include "support/TempFolder.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace hb::test {

TempFolder::TempFolder() {
    std::random_device random;
    auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = base / ("hbtest-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::wstring TempFolder::corePath() const { return path_.wstring(); }

std::wstring TempFolder::corePath(const std::filesystem::path& relative) const {
    return (path_ / relative).wstring();
}

void TempFolder::write(const std::filesystem::path& relative, const std::string& bytes) const {
    auto full = path_ / relative;
    std::filesystem::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + full.string());
}

std::string TempFolder::read(const std::filesystem::path& relative) const {
    std::ifstream in(path_ / relative, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + (path_ / relative).string());
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempFolder::exists(const std::filesystem::path& relative) const {
    return std::filesystem::exists(path_ / relative);
}

}  // namespace hb::test
