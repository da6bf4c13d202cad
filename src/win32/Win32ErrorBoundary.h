#pragma once
// The boundary between window procedures and the program's handlers: no
// exception may unwind through the system's frames, so every handler runs
// through RunGuarded, which turns a failure into one report.

#include <functional>
#include <string>

namespace hb::win32 {

// Receives "Unexpected error: " and the failure's description.
using ErrorReporter = std::function<void(const std::wstring& message)>;

// Runs the action; any exception it throws is caught and reported (to the
// debugger's output when no reporter is set). Never throws.
void RunGuarded(const ErrorReporter& report, const std::function<void()>& action) noexcept;

}  // namespace hb::win32
