#include "support/FakePorts.h"

#include "support/TempFolder.h"

namespace hb::test {

FakePorts::FakePorts() {
    auto counting = std::make_unique<CountingFileSystem>(MakeRealFileSystem());
    counter = counting.get();
    files = std::move(counting);
}

Ports FakePorts::ports() {
    return Ports{window_ ? *window_ : window,
                 boxes_ ? *boxes_ : boxes,
                 registry_ ? *registry_ : registry,
                 http_ ? *http_ : http,
                 files_ ? *files_ : *files,
                 shell_ ? *shell_ : shell,
                 trayWindow_ ? *trayWindow_ : trayWindow,
                 process_ ? *process_ : process,
                 codepage_ ? *codepage_ : codepage,
                 protection_ ? *protection_ : protection,
                 folderChanges_};
}

}  // namespace hb::test
