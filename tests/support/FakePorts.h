#pragma once
// Every port the form is built from, faked, and the one place a test's set
// of ports is put together: ports() hands the form (or a subsystem built
// alone) the fake of each port, or the test's own object where use() gave
// one. A fixture with a real port (the Win32 window, a transport) declares it
// under the fake's name, so its tests reach the real one, and hands it over
// with use().

#include <memory>

#include "fakes/FakeDataProtection.h"
#include "fakes/FakeFolderChanges.h"
#include "fakes/FakeHttp.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeProcess.h"
#include "fakes/FakeRegistry.h"
#include "fakes/FakeShell.h"
#include "fakes/FakeWindow.h"
#include "shell/Form1.h"
#include "support/CountingFileSystem.h"

namespace hb::test {

class FakePorts {
public:
    FakePorts();
    FakePorts(const FakePorts&) = delete;
    FakePorts& operator=(const FakePorts&) = delete;

    // The ports as they stand now: whatever `files` holds at the call, and
    // the test's own object wherever use() gave one.
    Ports ports();

    FakePorts& use(MainWindow& own) { window_ = &own; return *this; }
    FakePorts& use(MessageBoxes& own) { boxes_ = &own; return *this; }
    FakePorts& use(Registry& own) { registry_ = &own; return *this; }
    FakePorts& use(HttpFactory& own) { http_ = &own; return *this; }
    FakePorts& use(FileSystem& own) { files_ = &own; return *this; }
    FakePorts& use(Shell& own) { shell_ = &own; return *this; }
    FakePorts& use(TrayWindow& own) { trayWindow_ = &own; return *this; }
    FakePorts& use(Process& own) { process_ = &own; return *this; }
    FakePorts& use(Codepage& own) { codepage_ = &own; return *this; }
    FakePorts& use(DataProtection& own) { protection_ = &own; return *this; }
    // Without one the form has no notifications: every rescan walks.
    FakePorts& use(FolderChanges& own) { folderChanges_ = &own; return *this; }

    FakeWindow window;
    FakeMessageBoxes boxes;
    FakeRegistry registry;
    FakeHttpFactory http;
    // The platform's real file system (tests root it in a temporary
    // folder), behind `counter`, which counts and fails what a test asks.
    std::unique_ptr<FileSystem> files;
    CountingFileSystem* counter = nullptr;
    FakeShell shell;
    FakeTrayWindow trayWindow;
    FakeProcess process;
    Latin1Codepage codepage;
    FakeDataProtection protection;
    // Handed over only after use(changes).
    FakeFolderChanges changes;

private:
    MainWindow* window_ = nullptr;
    MessageBoxes* boxes_ = nullptr;
    Registry* registry_ = nullptr;
    HttpFactory* http_ = nullptr;
    FileSystem* files_ = nullptr;
    Shell* shell_ = nullptr;
    TrayWindow* trayWindow_ = nullptr;
    Process* process_ = nullptr;
    Codepage* codepage_ = nullptr;
    DataProtection* protection_ = nullptr;
    FolderChanges* folderChanges_ = nullptr;
};

}  // namespace hb::test
