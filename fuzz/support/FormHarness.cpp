#include "support/FormHarness.h"

namespace hb::fuzz {

FormHarness::FormHarness(MemoryFileSystem& fileSystem) : files(fileSystem) {
    process.exeFolder = kProgramFolder;
    Options options;
    options.updateHost = kUpdateHost;
    Ports ports{window, boxes, registry, http, files, shell, trayWindow, process, codepage, protection};
    form = std::make_unique<Form1>(ports, options);
    window.connect(form.get());
}

}  // namespace hb::fuzz
