// Start-up of the archive layer's units for the tests, in the program's unit order.
#pragma once

#include "JclBase.h"
#include "JclStrings.h"
#include "JclSysInfo.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

class ArchiveUnitsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        JclBaseInitialization();
        JclStringsInitialization();
        JclSysInfoInitialization();
    }
};

// The message of the exception F raises, or "(nothing raised)".
inline std::string MessageOf(const std::function<void()>& F) {
    try {
        F();
    } catch (const Exception& E) {
        return E.Message();
    }
    return "(nothing raised)";
}
