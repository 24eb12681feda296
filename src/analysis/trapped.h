#pragma once
// Runs one routine's body and traps its run-time error: the description goes to MsgWarn,
// prefixed by the routine's step tag when it has one, and the routine gives false.
#include <exception>
#include <string>

#include "platform/message_box.h"

template <typename Body>
bool RunTrapped(Body&& body, const std::string& tag = {}) {
    try {
        return body();
    } catch (const std::exception& error) {
        MsgWarn(tag + error.what());
        return false;
    }
}
