#pragma once
// Every message box of the program goes through one sink: QMessageBox in the program,
// a scripted sink in tests. Texts are UTF-8.
#include <string>

enum class MsgKind {
    Info,      // OK, information icon
    Warn,      // OK, warning icon
    OkCancel,  // OK and Cancel, question icon, Cancel is the default button
    Plain,     // OK only, no icon
    YesNo,     // Yes and No, no icon, with its own title
};

// The answer codes the callers compare against, one per button.
constexpr int kAnswerOk = 1;
constexpr int kAnswerCancel = 2;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    // Shows one box and returns the user's answer code.
    virtual int Show(MsgKind kind, const std::string& text, const std::string& title) = 0;
};

// Installs a sink; nullptr restores the QMessageBox sink. Returns the previous one.
MessageSink* SetMessageSink(MessageSink* sink);
// Installs a sink for the calling thread alone, ahead of the program's sink; nullptr
// removes it. A box belongs to the main thread: a worker collects its messages so that the
// main thread shows them in their place. Returns the previous one.
MessageSink* SetThreadMessageSink(MessageSink* sink);

void MsgInfo(const std::string& text);
void MsgWarn(const std::string& text);
int MsgOkCancel(const std::string& text);
void MsgPlain(const std::string& text);
int MsgYesNo(const std::string& text, const std::string& title);

// The title every box carries when the caller gives none.
std::string ApplicationTitle();
