// Sounds and vibration on a machine without either device.
#include "system_harness.h"

#include <chrono>

namespace vellum::test {
namespace {

class DeviceTest : public SystemHarness {};

TEST_F(DeviceTest, DeviceCallsCheckTheirArguments)
{
    EXPECT_EQ(Eval("Beep()"), "null");
    EXPECT_EQ(Eval("Beep(1)"), "!errManyArguments");
    EXPECT_EQ(Eval("PlaySound('\\\\a.wav')"), "null");
    EXPECT_EQ(Eval("PlaySound()"), "null");
    EXPECT_EQ(Eval("PlaySound(1, 2)"), "!errManyArguments");
    EXPECT_EQ(Eval("Vibrate('1')"), "!errNumberExpected");
    EXPECT_EQ(Eval("Vibrate(1, 2)"), "!errManyArguments");
    // The rest after the vibration is always waited for.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Eval("Vibrate(-5)"), "null");
    EXPECT_EQ(Eval("Vibrate(0/0)"), "null");
    EXPECT_EQ(Eval("Vibrate(20.9)"), "null");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(770));
}

} // namespace
} // namespace vellum::test
