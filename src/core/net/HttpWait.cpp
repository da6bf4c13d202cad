#include "net/HttpWait.h"

#include <cstdint>

namespace hb {

std::wstring DeadlineText(std::int64_t deadlineMs) {
    constexpr std::int64_t kMinute = 60000;
    if (deadlineMs >= 2 * kMinute && deadlineMs % kMinute == 0) {
        return std::to_wstring(deadlineMs / kMinute) + L" minutes";
    }
    std::wstring text = std::to_wstring(deadlineMs / 1000);
    const std::int64_t rest = deadlineMs % 1000;
    if (rest != 0) {
        std::wstring fraction = std::to_wstring(1000 + rest).substr(1);
        while (fraction.back() == L'0') fraction.pop_back();
        text += L"." + fraction;
    }
    return text + (deadlineMs == 1000 ? L" second" : L" seconds");
}

namespace {
void GiveUp(HttpRequest& request) {
    try {
        request.abort();
    } catch (const Failure&) {
        // The request is given up either way.
    }
}
}  // namespace

void WaitForCompletion(HttpRequest& request, Process& process, WaitBounds bounds, const bool* cancelled) {
    const std::int64_t start = process.monotonicMs();
    std::int64_t lastMove = start;
    std::uint64_t seen = request.progress();
    bool moved = false;
    while (request.readyState() != 4) {
        const std::int64_t now = process.monotonicMs();
        const std::uint64_t progress = request.progress();
        if (progress != seen) {
            seen = progress;
            lastMove = now;
            moved = true;
        }
        if (cancelled != nullptr && *cancelled) {
            GiveUp(request);
            throw Cancelled();
        }
        // A connection that never completes (a silent server, or Wine's
        // XMLHTTP after a refused connection) would otherwise hold the
        // program forever; one that trickles forever, too.
        // No sign of the server for that long: it reads nothing and sends
        // nothing, whether before its answer or in the middle of a transfer.
        if (now - lastMove >= bounds.idleMs) {
            GiveUp(request);
            throw Failure(L"The server did not answer within " + DeadlineText(bounds.idleMs) +
                          L"; the request was cancelled.");
        }
        if (now - start >= bounds.totalMs) {
            GiveUp(request);
            throw Failure((moved ? L"The transfer did not finish within " : L"The server did not answer within ") +
                          DeadlineText(bounds.totalMs) + L"; the request was cancelled.");
        }
        process.pumpMessages(kHttpPollMs);
    }
}

}  // namespace hb
