// Start-up of the archive layer's units for the tests, in the program's unit order.
#pragma once

#include "JclBase.h"
#include "JclStrings.h"
#include "JclSysInfo.h"

#include <gtest/gtest.h>

class ArchiveUnitsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        JclBaseInitialization();
        JclStringsInitialization();
        JclSysInfoInitialization();
    }
};
