// Event parameters: any number of them, each found by its name, replaced
// when set again, and read only as the type it was stored with.
#include <cstdint>

#include "toolbox_test.hpp"

namespace {

using EventParameters = kvx::test::ToolboxTest;

// The number stored under name as a 'long', or -1.
int32_t Read(EventRef event, EventParamName name) {
    int32_t value = -1;
    ByteCount size = 0;
    if (GetEventParameter(event, name, 'long', nullptr, sizeof value, &size, &value) != noErr) return -1;
    EXPECT_EQ(size, sizeof value);
    return value;
}

void Write(EventRef event, EventParamName name, int32_t value, EventParamType type = 'long') {
    ASSERT_EQ(SetEventParameter(event, name, type, sizeof value, &value), noErr);
}

TEST_F(EventParameters, ManyNamesEachKeepTheirLastValueAndType) {
    EventRef event = nullptr;
    ASSERT_EQ(CreateEvent(nullptr, kEventClassKeyboard, kEventRawKeyDown, 0, 0, &event), noErr);
    constexpr EventParamName kNames[] = {'aaaa', 'bbbb', 'cccc', 'dddd', 'eeee', 'ffff', 'gggg'};
    for (int32_t index = 0; index < 7; ++index) Write(event, kNames[index], index * 10);
    Write(event, 'bbbb', 111);
    Write(event, 'cccc', 7, 'shrt');
    const int32_t expected[] = {0, 111, -1, 30, 40, 50, 60};
    for (int32_t index = 0; index < 7; ++index) EXPECT_EQ(Read(event, kNames[index]), expected[index]) << index;
    EXPECT_EQ(Read(event, 'zzzz'), -1);
    ReleaseEvent(event);
}

}  // namespace
