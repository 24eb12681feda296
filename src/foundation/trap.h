#pragma once
// A routine that can fail traps its error and shows the description through MsgWarn.
#include <exception>
#include <stdexcept>
#include <string>

#include "platform/message_box.h"

// Runs step; a thrown error is shown with tag followed directly by its description.
// Returns false when step failed.
template <typename Step>
bool RunTrapped(Step&& step, const std::string& tag = {}) {
    try {
        step();
        return true;
    } catch (const std::exception& error) {
        MsgWarn(tag + error.what());
    } catch (...) {
        MsgWarn(tag + "不明なエラーが発生しました。");
    }
    return false;
}

// Runs step; a thrown error is passed over without a word.
template <typename Step>
void IgnoringErrors(Step&& step) {
    try {
        step();
    } catch (...) {
    }
}

// A control that a routine was handed does not exist (a name that findChild missed).
template <typename T>
T* RequireControl(T* control) {
    if (!control) throw std::runtime_error("コントロールが見つかりません。");
    return control;
}
