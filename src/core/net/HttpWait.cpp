#include "net/HttpWait.h"

#include <cstdint>

namespace hb {

std::wstring DeadlineText(int deadlineMs) {
    std::wstring text = std::to_wstring(deadlineMs / 1000);
    int rest = deadlineMs % 1000;
    if (rest != 0) {
        std::wstring fraction = std::to_wstring(1000 + rest).substr(1);
        while (fraction.back() == L'0') fraction.pop_back();
        text += L"." + fraction;
    }
    return text + (deadlineMs == 1000 ? L" second" : L" seconds");
}

void WaitForCompletion(HttpRequest& request, Process& process, int deadlineMs) {
    const std::int64_t start = process.monotonicMs();
    while (request.readyState() != 4) {
        if (process.monotonicMs() - start >= deadlineMs) {
            // A connection that never completes (a silent server, or Wine's
            // XMLHTTP after a refused connection) would otherwise hold the
            // program forever.
            try {
                request.abort();
            } catch (const Failure&) {
                // The request is given up either way.
            }
            throw Failure(L"The server did not answer within " + DeadlineText(deadlineMs) +
                            L"; the request was cancelled.");
        }
        process.pumpMessages(kHttpPollMs);
    }
}

}  // namespace hb
