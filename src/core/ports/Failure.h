#pragma once
// The one failure type of the core: an operation that could not be done,
// with a description a user can read (the system's or the component's own
// words). Ports throw it (the HTTP object for every failed operation), and
// so does the core where a caller decides how to report (a saved-data file
// that cannot be read).

#include <exception>
#include <string>

namespace hb {

class Failure : public std::exception {
public:
    explicit Failure(std::wstring description) : description_(std::move(description)) {}
    // For the log or a message box.
    const std::wstring& description() const noexcept { return description_; }
    const char* what() const noexcept override { return "an operation failed"; }

private:
    std::wstring description_;
};

}  // namespace hb
