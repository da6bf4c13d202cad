#pragma once
// A saved-data file that could not be read: missing, locked or unreadable.

#include <exception>
#include <string>

namespace hb {

class FileReadError : public std::exception {
public:
    explicit FileReadError(std::wstring description) : description_(std::move(description)) {}
    const char* what() const noexcept override { return "a saved-data file could not be read"; }
    // The file's path and the system's reason, for the message log.
    const std::wstring& description() const noexcept { return description_; }

private:
    std::wstring description_;
};

}  // namespace hb
