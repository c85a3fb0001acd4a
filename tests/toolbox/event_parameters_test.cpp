// Event parameters: any number of them, each found by its name, replaced
// when set again, and read only as the type it was stored with.
#include <cstdint>

#include "toolbox_test.hpp"

namespace {

using EventParameters = kvx::test::ToolboxTest;

constexpr EventParamType kNumberType = 'long';
constexpr EventParamType kOtherType = 'shrt';

// The number stored under name as kNumberType, or -1.
int32_t Read(EventRef event, EventParamName name) {
    int32_t value = -1;
    ByteCount size = 0;
    if (GetEventParameter(event, name, kNumberType, nullptr, sizeof value, &size, &value) != noErr) return -1;
    EXPECT_EQ(size, sizeof value);
    return value;
}

void Write(EventRef event, EventParamName name, int32_t value, EventParamType type = kNumberType) {
    ASSERT_EQ(SetEventParameter(event, name, type, sizeof value, &value), noErr);
}

TEST_F(EventParameters, ManyNamesEachKeepTheirLastValueAndType) {
    EventRef event = nullptr;
    ASSERT_EQ(CreateEvent(nullptr, kEventClassKeyboard, kEventRawKeyDown, 0, 0, &event), noErr);
    constexpr EventParamName kNames[] = {'aaaa', 'bbbb', 'cccc', 'dddd', 'eeee', 'ffff', 'gggg'};
    for (int32_t index = 0; index < 7; ++index) Write(event, kNames[index], index * 10);
    for (int32_t index = 0; index < 7; ++index) EXPECT_EQ(Read(event, kNames[index]), index * 10) << index;

    // Replacing keeps the others and the count of names.
    Write(event, 'bbbb', 111);
    Write(event, 'ffff', 555);
    EXPECT_EQ(Read(event, 'bbbb'), 111);
    EXPECT_EQ(Read(event, 'ffff'), 555);
    EXPECT_EQ(Read(event, 'aaaa'), 0);
    EXPECT_EQ(Read(event, 'gggg'), 60);
    EXPECT_EQ(Read(event, 'zzzz'), -1);

    // Stored again with another type, a name no longer reads as the first.
    Write(event, 'cccc', 7, kOtherType);
    Write(event, 'gggg', 7, kOtherType);
    EXPECT_EQ(Read(event, 'cccc'), -1);
    EXPECT_EQ(Read(event, 'gggg'), -1);
    ReleaseEvent(event);
}

}  // namespace
