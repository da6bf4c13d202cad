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

    // The ports as they stand now: a file system swapped into `files` counts.
    Ports ports();

    FakePorts& use(MainWindow& own);
    FakePorts& use(MessageBoxes& own);
    FakePorts& use(Registry& own);
    FakePorts& use(HttpFactory& own);
    FakePorts& use(FileSystem& own);
    FakePorts& use(Shell& own);
    FakePorts& use(TrayWindow& own);
    FakePorts& use(Process& own);
    FakePorts& use(Codepage& own);
    FakePorts& use(DataProtection& own);
    // Without one the form has no notifications: every rescan walks.
    FakePorts& use(FolderChanges& own);

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
