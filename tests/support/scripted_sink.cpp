#include "support/scripted_sink.h"

#include <gtest/gtest.h>

ScriptedSink::ScriptedSink() {
    previous_ = SetMessageSink(this);
}

ScriptedSink::~ScriptedSink() {
    SetMessageSink(previous_);
    EXPECT_TRUE(expected_.empty()) << expected_.size() << " expected message box(es) not shown, "
                                   << "first: " << expected_.front().text;
}

ScriptedSink& ScriptedSink::Expect(MsgKind kind, std::string text, int answer) {
    expected_.push_back({kind, std::move(text), answer});
    return *this;
}

int ScriptedSink::Show(MsgKind kind, const std::string& text, const std::string&) {
    shown_.emplace_back(kind, text);
    if (expected_.empty()) {
        ADD_FAILURE() << "unexpected " << MsgKindName(kind) << " box: " << text;
        return kind == MsgKind::OkCancel ? kAnswerCancel
               : kind == MsgKind::YesNo  ? kAnswerNo
                                         : kAnswerOk;
    }
    const Expected next = expected_.front();
    expected_.pop_front();
    EXPECT_EQ(MsgKindName(next.kind), std::string(MsgKindName(kind))) << "box text: " << text;
    if (!next.text.empty()) {
        EXPECT_EQ(next.text, text);
    }
    return next.answer;
}

const char* MsgKindName(MsgKind kind) {
    switch (kind) {
        case MsgKind::Info:
            return "Info";
        case MsgKind::Warn:
            return "Warn";
        case MsgKind::OkCancel:
            return "OkCancel";
        case MsgKind::Plain:
            return "Plain";
        case MsgKind::YesNo:
            return "YesNo";
    }
    return "?";
}
