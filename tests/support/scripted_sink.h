#pragma once
// A message sink for tests: every box the code under test shows must have been
// expected; it records (kind, text) and returns the scripted answer.
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/message_box.h"

class ScriptedSink : public MessageSink {
  public:
    // Installs itself for its lifetime.
    ScriptedSink();
    ~ScriptedSink() override;

    // The next box must be of this kind and text; the answer is returned to the caller.
    // An empty text accepts any text of that kind.
    ScriptedSink& Expect(MsgKind kind, std::string text = {}, int answer = kAnswerOk);
    // Boxes shown so far, in order.
    const std::vector<std::pair<MsgKind, std::string>>& Shown() const { return shown_; }
    // True when every expected box was shown.
    bool AllShown() const { return expected_.empty(); }

    int Show(MsgKind kind, const std::string& text, const std::string& title) override;

  private:
    struct Expected {
        MsgKind kind;
        std::string text;
        int answer;
    };
    std::deque<Expected> expected_;
    std::vector<std::pair<MsgKind, std::string>> shown_;
    MessageSink* previous_ = nullptr;
};

const char* MsgKindName(MsgKind kind);
