// An interface file read again: whatever was read before, each opening
// gives the file as it is now.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "KVXHostSupport.hpp"
#include "toolbox_test.hpp"

namespace {

using NibReread = kvx::test::ToolboxTest;

std::string NibTitled(std::string_view title) {
    return R"(<?xml version="1.0" encoding="UTF-8"?><nib><window name="Window" title=")" + std::string(title) +
           R"(" width="100" height="50"/></nib>)";
}

// The title of the window "Window" made from the file at path, or the
// status that opening it gave.
std::string TitleFrom(const std::filesystem::path &path) {
    IBNibRef nib = nullptr;
    const OSStatus opened = KVXCreateNibReferenceWithPath(path.c_str(), &nib);
    if (opened != noErr) return "status " + std::to_string(opened);
    WindowRef window = nullptr;
    EXPECT_EQ(CreateWindowFromNib(nib, CFSTR("Window"), &window), noErr);
    DisposeNibReference(nib);
    kvx::CFHolder<CFStringRef> title;
    EXPECT_EQ(CopyWindowTitleAsCFString(window, title.out()), noErr);
    DisposeWindow(window);
    return kvx::ToUTF8(title.get());
}

TEST_F(NibReread, EachOpeningReadsTheFileAsItIsNow) {
    const auto folder = std::filesystem::path(::testing::TempDir()) / ("kvx-nib-reread-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const auto write = [](const std::filesystem::path &path, std::string_view text) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    };
    const auto first = folder / "first.nib";
    const auto second = folder / "second.nib";

    write(first, NibTitled("One"));
    EXPECT_EQ(TitleFrom(first), "One");
    EXPECT_EQ(TitleFrom(first), "One");
    // Same size, same path, at once: only the bytes tell the files apart.
    write(first, NibTitled("Two"));
    EXPECT_EQ(TitleFrom(first), "Two");
    write(second, NibTitled("Six"));
    EXPECT_EQ(TitleFrom(second), "Six");
    EXPECT_EQ(TitleFrom(first), "Two");
    write(first, "<nib><window");
    EXPECT_EQ(TitleFrom(first), "status " + std::to_string(kKVXNibMalformedErr));
    std::filesystem::remove(first);
    EXPECT_EQ(TitleFrom(first), "status " + std::to_string(kIBCarbonRuntimeCantFindNibFile));
    std::filesystem::remove_all(folder);
}

}  // namespace
