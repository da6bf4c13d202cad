#pragma once
#include <deque>
#include <functional>
#include <vector>

#include "ports/MessageBoxes.h"

namespace hb::test {

// Records every box; answers from a script (Yes for questions when empty).
class FakeMessageBoxes : public MessageBoxes {
public:
    BoxAnswer show(const MessageBoxRequest& request) override {
        shown.push_back(request);
        if (onShow) onShow(request);
        if (!answers.empty()) {
            BoxAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return request.buttons == BoxButtons::YesNo ? BoxAnswer::Yes : BoxAnswer::Ok;
    }
    std::vector<MessageBoxRequest> shown;
    std::deque<BoxAnswer> answers;
    std::function<void(const MessageBoxRequest&)> onShow;
};

}  // namespace hb::test
