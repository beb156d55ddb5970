// Script lines run through the stand-in Layout while what the host and the
// module print is captured: the text, and the error the script stopped with.
#ifndef MORVANE_TESTS_SUPPORT_CAPTURED_SCRIPT_H
#define MORVANE_TESTS_SUPPORT_CAPTURED_SCRIPT_H

#include "host/commands/script.h"
#include "host/common/host_error.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

struct CapturedScript {
    std::string printed;
    bool failed = false;
    std::string error; // the message the script stopped with
};

inline CapturedScript runCaptured(host::ScriptRunner& runner, const std::string& lines) {
    CapturedScript result;
    testing::internal::CaptureStdout();
    std::istringstream in(lines);
    try {
        runner.run(in, "t");
    } catch (const host::HostError& e) {
        result.failed = true;
        result.error = e.what();
    }
    std::cout.flush();
    result.printed = testing::internal::GetCapturedStdout();
    return result;
}

#endif
