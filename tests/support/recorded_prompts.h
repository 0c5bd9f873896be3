#pragma once
#include "ondrel/session/prompts.h"
#include <string>
#include <vector>

namespace ondrel::testing {

// Records every message the window would have shown, instead of showing it.
class RecordedPrompts final : public IPrompts {
public:
    struct Message {
        std::string text;
        std::string title;
        bool operator==(const Message&) const = default;
    };

    void MsgBox(const std::string& text, const std::string& title) override
    {
        messages.push_back({text, title});
    }

    std::vector<Message> messages;
};

} // namespace ondrel::testing
