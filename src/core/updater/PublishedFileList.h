#pragma once
// The check's second stage: the list of the add-on's files.

#include <string>

#include "net/Transfers.h"
#include "ports/MessageLog.h"
#include "updater/CheckPace.h"
#include "updater/FileList.h"
#include "updater/UpdateSource.h"

namespace hb {

struct PublishedFileList {
    BoundedFileList listed;
    // Without names: why, in words that follow "the list of its files ".
    std::wstring whyNone;
};

// The source's file list, bounded to kMaxListedFiles names (the log says
// when more were listed).
PublishedFileList FetchFileList(Transfers& transfers, const UpdateSource& source, CheckPace& pace, MessageLog& log);

}  // namespace hb
