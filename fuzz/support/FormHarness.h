#pragma once
// A Form1 over fakes of every port and files in memory, for the targets
// that reach a parser only through the program's own handlers. The
// executable's folder is C:\Program, the update server kUpdateHost; no
// game is installed unless a target stores one.

#include <memory>

#include "fakes/FakeHttp.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeProcess.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeDataProtection.h"
#include "fakes/FakeWindow.h"
#include "shell/Form1.h"
#include "support/MemoryFileSystem.h"

namespace hb::fuzz {

inline constexpr wchar_t kProgramFolder[] = L"C:\\Program";
inline constexpr wchar_t kSettingsFile[] = L"C:\\Program\\settings.txt";
inline constexpr wchar_t kExclusionFile[] = L"C:\\Program\\noupload.txt";
inline constexpr wchar_t kLogFile[] = L"C:\\Program\\HoardbookUploader.log";
inline constexpr wchar_t kUpdateHost[] = L"updates.test";

class FormHarness {
public:
    // Files are shared with other harnesses: a second one is the program's
    // next start.
    explicit FormHarness(MemoryFileSystem& files);
    FormHarness(const FormHarness&) = delete;
    FormHarness& operator=(const FormHarness&) = delete;

    // Runs a handler; the program ending itself (a missing game ends it
    // with a box) ends only the handler. Returns whether it ended.
    template <typename Handler>
    bool run(Handler handler) {
        try {
            handler(*form);
            return false;
        } catch (const test::ProcessEnded&) {
            return true;
        }
    }

    MemoryFileSystem& files;
    test::FakeWindow window;
    test::FakeMessageBoxes boxes;
    test::FakeRegistry registry;
    test::FakeHttpFactory http;
    test::FakeShell shell;
    test::FakeTrayWindow trayWindow;
    test::FakeProcess process;
    test::Latin1Codepage codepage;
    test::FakeDataProtection protection;
    std::unique_ptr<Form1> form;
};

}  // namespace hb::fuzz
