// The toolbar library's window hooks go when a test executable ends, as they
// do when the program ends. Include this header in one source of each test
// executable that makes windows with toolbar buttons.
#pragma once

#include "toolbars/BarCommon.h"

#include <gtest/gtest.h>

namespace hookshutdown {

class HookShutdownEnvironment : public ::testing::Environment {
public:
    void TearDown() override { ShutdownHooks(); }
};

inline ::testing::Environment* const kHookShutdown =
    ::testing::AddGlobalTestEnvironment(new HookShutdownEnvironment);

}  // namespace hookshutdown
