#pragma once
// Change notifications for a folder tree: whether a file or folder name
// anywhere below a folder was created, deleted or renamed, known without
// listing the tree.

#include <memory>
#include <string>

namespace hb {

enum class TreeState {
    Unchanged,  // no name changed since the last look
    Changed,    // some name changed; the watch is re-armed
    Lost,       // the watch can tell no more (an error, an overflow, the folder went away or was replaced)
};

// One watched tree, alive as long as this object.
class TreeWatch {
public:
    virtual ~TreeWatch() = default;
    // Never waits. Changed means a change since the watch began or since the
    // last call; the watch is re-armed before returning, so a change after
    // this call shows at the next. After Lost the watch says nothing more
    // and must be replaced.
    virtual TreeState poll() = 0;
};

class FolderChanges {
public:
    virtual ~FolderChanges() = default;
    // Watches the folder and everything below it; nothing when the system
    // cannot (a missing folder, a drive without notifications). The caller
    // lists the tree once after the watch began: under Wine a folder that
    // was already there joins the watch only when it is next opened.
    virtual std::unique_ptr<TreeWatch> watchTree(const std::wstring& folder) = 0;
};

}  // namespace hb
