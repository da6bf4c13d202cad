// HoardbookUploader: composes the Windows ports with the core and runs the
// window's message loop.

#include <windows.h>

#include <exception>
#include <memory>
#include <string>

#include "desktop/SysTrayForm.h"
#include "shell/Form1.h"
#include "shell/Startup.h"
#include "updater/UpdateHost.h"
#include "win32/ComInit.h"
#include "win32/ControlIds.h"
#include "win32/Handles.h"
#include "win32/MessageDispatch.h"
#include "win32/SingleInstance.h"
#include "win32/Win32AppIcon.h"
#include "win32/Win32FileSystem.h"
#include "win32/FolderChangesChoice.h"
#include "win32/Win32FolderChanges.h"
#include "win32/Wine.h"
#include "win32/Win32Http.h"
#include "win32/Win32MainWindow.h"
#include "win32/Win32MessageBoxes.h"
#include "win32/Win32Process.h"
#include "win32/Win32Registry.h"
#include "win32/Win32Shell.h"
#include "win32/Win32TrayWindow.h"
#include "win32/Win32WinHttp.h"
#include "win32/Win32DataProtection.h"

namespace {

using namespace hb;
using namespace hb::win32;

// Per session (see win32/SingleInstance.h).
constexpr wchar_t kInstanceMutex[] = L"Local\\HoardbookUploader.SingleInstance";

// The running instance may still be starting; give it a few seconds to
// create its window, then bring that window forward (from the tray too).
void BringRunningInstanceForward() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (HWND running = ::FindWindowW(kMainWindowClass, nullptr)) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(running, &process);
            ::AllowSetForegroundWindow(process);  // we were started by the user, so we may pass the right on
            ::SendMessageTimeoutW(running, BringToFrontMessage(), 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
            return;
        }
        ::Sleep(100);
    }
}

// The program's options. The update server is the build's default unless
// the per-user registry value names another (see updater/UpdateHost.h).
Options MakeOptions(Registry& registry) {
    Options options;
    options.updateHost = ResolveUpdateHost(registry, HOARDBOOK_UPDATE_HOST);
    return options;
}

// WinHTTP on Windows and under Wine alike, so what players run is what the
// tests run: it sends an upload as it is (XMLHTTP follows a redirected POST
// as a GET without the form), caches nothing, checks certificates against
// the system's store and keeps every time limit while data streams. MSXML's
// XMLHTTP remains for a system where WinHTTP cannot be opened, with its
// documented way out when that is missing too.
std::unique_ptr<HttpFactory> MakeHttpFactory() {
    auto winHttp = std::make_unique<WinHttpFactory>();
    if (winHttp->ok()) return winHttp;
    return std::make_unique<Win32HttpFactory>();
}

void RunMessageLoop(HWND mainWindow) {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) DispatchWindowMessage(message, mainWindow);
}

void Run(HINSTANCE instance) {
    ComInit com;  // XMLHTTP needs COM; without it the HTTP port reports the failure itself

    Win32Process process;
    Win32Codepage codepage;
    Win32DataProtection protection;
    Win32Registry registry;
    std::unique_ptr<HttpFactory> http = MakeHttpFactory();
    Win32FileSystem files;
    Win32FolderChanges notifications;
    ScheduledWalks scheduledWalks(process);
    FolderChanges& folderChanges = win32::FolderChangesFor(win32::RunningUnderWine(), notifications, scheduledWalks);
    Win32Shell shell;

    Win32MainWindow window(instance);
    AppIcon trayIcon(instance, ::GetSystemMetrics(SM_CXSMICON));
    Win32TrayWindow trayWindow(instance, trayIcon.get());
    Win32MessageBoxes boxes([&window] { return window.handle(); });

    Ports ports{window, boxes, registry, *http, files, shell, trayWindow, process, codepage, protection, &folderChanges};
    Form1 form(ports, MakeOptions(registry));
    SysTrayForm trayForm(form.systray(), window, trayWindow);

    ErrorReporter report = [&form](const std::wstring& message) { form.AddMessage(message); };
    window.setErrorReporter(report);
    trayWindow.setErrorReporter(report);
    window.connect(&form);
    trayWindow.connect(&trayForm);
    process.setMainWindow(window.handle());

    window.load();
    DisplayAfterLoad(window, form.systray().iconPresent());
    RunMessageLoop(window.handle());
    // The loop ends only with the main window gone; the program then ends
    // as every other way out ends it, the tray icon first.
    form.programExit().endProgram();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    SingleInstance oneCopy(kInstanceMutex);  // held until the process ends
    if (oneCopy.anotherIsRunning()) {
        BringRunningInstanceForward();
        return 0;
    }
    try {
        Run(instance);  // ends the process when the program ends
    } catch (const std::exception& error) {
        std::string text = std::string("HoardbookUploader could not start: ") + error.what();
        ::MessageBoxA(nullptr, text.c_str(), "HoardbookUploader", MB_OK | MB_ICONHAND);
        return 1;
    }
    return 0;
}
