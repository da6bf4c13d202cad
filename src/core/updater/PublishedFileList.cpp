#include "updater/PublishedFileList.h"

#include "updater/UpdateTexts.h"

namespace hb {

PublishedFileList FetchFileList(Transfers& transfers, const UpdateSource& source, CheckPace& pace, MessageLog& log) {
    const FailureReport report = pace.nextReport();
    const DownloadResult fetched = transfers.download(source.url(kServerFileListName), report, pace.timeLeftMs());
    if (!fetched) pace.failed(report);
    PublishedFileList list{SplitBoundedFileList(fetched.text.value_or(L"")), L""};
    if (list.listed.names.empty()) {
        list.whyNone = FailureText(fetched, L"is empty");
        return list;
    }
    if (list.listed.refused > 0) {
        log.add(L"Hoardbook update: the file list names " +
                std::to_wstring(list.listed.names.size() + list.listed.refused) + L" files, more than the " +
                std::to_wstring(kMaxListedFiles) + L" an update may have; the other " +
                std::to_wstring(list.listed.refused) + L" are refused");
    }
    return list;
}

}  // namespace hb
