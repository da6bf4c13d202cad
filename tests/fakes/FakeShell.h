#pragma once
#include <string>
#include <vector>

#include "ports/Shell.h"

namespace hb::test {

class FakeShell : public Shell {
public:
    struct NotifyCall {
        TrayOperation operation;
        NotifyIconRecord record;
    };
    struct ExecuteCall {
        std::wstring operation, file, parameters, directory;
        int showCommand;
    };

    bool notifyIcon(TrayOperation operation, const NotifyIconRecord& data) override {
        notifyCalls.push_back({operation, data});
        if (operation == TrayOperation::Add) {
            // The notification area is not there yet (Explorer starting at logon).
            if (failingAdds > 0) {
                --failingAdds;
                return false;
            }
            iconShown = true;
        }
        if (operation == TrayOperation::Modify) return iconShown;
        if (operation == TrayOperation::Delete) iconShown = false;
        return true;
    }
    std::intptr_t findExecutable(const std::wstring& file, const std::wstring& directory,
                                 std::wstring& executable) override {
        lookedUp.push_back(file);
        lookedUpIn.push_back(directory);
        executable = browserPath;
        return browserPath.empty() ? 31 : 42;
    }
    std::intptr_t shellExecute(const std::wstring& operation, const std::wstring& file,
                               const std::wstring& parameters, const std::wstring& directory,
                               int showCommand) override {
        executed.push_back({operation, file, parameters, directory, showCommand});
        return 42;
    }

    std::vector<NotifyCall> notifyCalls;
    bool iconShown = false;
    int failingAdds = 0;  // how many Add calls fail from now on
    std::wstring browserPath = L"C:\\Browser\\browser.exe";
    std::vector<std::wstring> lookedUp;
    std::vector<std::wstring> lookedUpIn;
    std::vector<ExecuteCall> executed;
};

class FakeTrayWindow : public TrayWindow {
public:
    void load() override { ++loadCount; }
    std::uintptr_t handle() const override { return windowHandle; }
    std::uintptr_t icon() const override { return iconHandle; }
    std::wstring caption() const override { return captionText; }
    double twipsPerPixelX() const override { return twipsPerPixel; }
    int loadCount = 0;
    std::uintptr_t windowHandle = 0x1234;
    std::uintptr_t iconHandle = 0x5678;
    std::wstring captionText = L"HoardbookUploader";
    double twipsPerPixel = 15;
};

}  // namespace hb::test
