#include "support/FakePorts.h"

#include "support/TempFolder.h"

namespace hb::test {

namespace {

template <class Port>
Port& OwnOr(Port* own, Port& fake) {
    return own != nullptr ? *own : fake;
}

}  // namespace

FakePorts::FakePorts() {
    auto counting = std::make_unique<CountingFileSystem>(MakeRealFileSystem());
    counter = counting.get();
    files = std::move(counting);
}

Ports FakePorts::ports() {
    return Ports{OwnOr(window_, static_cast<MainWindow&>(window)),
                 OwnOr(boxes_, static_cast<MessageBoxes&>(boxes)),
                 OwnOr(registry_, static_cast<Registry&>(registry)),
                 OwnOr(http_, static_cast<HttpFactory&>(http)),
                 OwnOr(files_, *files),
                 OwnOr(shell_, static_cast<Shell&>(shell)),
                 OwnOr(trayWindow_, static_cast<TrayWindow&>(trayWindow)),
                 OwnOr(process_, static_cast<Process&>(process)),
                 OwnOr(codepage_, static_cast<Codepage&>(codepage)),
                 OwnOr(protection_, static_cast<DataProtection&>(protection)),
                 folderChanges_};
}

FakePorts& FakePorts::use(MainWindow& own) { window_ = &own; return *this; }
FakePorts& FakePorts::use(MessageBoxes& own) { boxes_ = &own; return *this; }
FakePorts& FakePorts::use(Registry& own) { registry_ = &own; return *this; }
FakePorts& FakePorts::use(HttpFactory& own) { http_ = &own; return *this; }
FakePorts& FakePorts::use(FileSystem& own) { files_ = &own; return *this; }
FakePorts& FakePorts::use(Shell& own) { shell_ = &own; return *this; }
FakePorts& FakePorts::use(TrayWindow& own) { trayWindow_ = &own; return *this; }
FakePorts& FakePorts::use(Process& own) { process_ = &own; return *this; }
FakePorts& FakePorts::use(Codepage& own) { codepage_ = &own; return *this; }
FakePorts& FakePorts::use(DataProtection& own) { protection_ = &own; return *this; }
FakePorts& FakePorts::use(FolderChanges& own) { folderChanges_ = &own; return *this; }

}  // namespace hb::test
