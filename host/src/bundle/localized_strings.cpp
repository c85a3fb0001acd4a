// Localized strings from a bundle's English string tables. Each table file
// is read once per bundle; a malformed one is reported once and then acts
// as an empty table, so lookups fall back to the text the caller passed.
#include <array>
#include <cstdio>

#include "bundle.hpp"
#include "core/strings.hpp"
#include "files.hpp"
#include "property_list.hpp"
#include "strings_table.hpp"

namespace kvx::host {
namespace {

constexpr const char *kDefaultTableName = "Localizable";
constexpr const char *kTableExtension = ".strings";
// Where English tables live, in order of preference.
constexpr std::array<const char *, 3> kEnglishFolders = {"English.lproj", "en.lproj", "Base.lproj"};

// The table's file in the first English folder that has one.
std::optional<std::filesystem::path> FindTableFile(const Bundle &bundle, const std::string &name) {
    for (const char *folder : kEnglishFolders) {
        const std::filesystem::path candidate = bundle.resourcesFolder() / folder / (name + kTableExtension);
        std::error_code ignored;
        if (std::filesystem::is_regular_file(candidate, ignored)) return candidate;
    }
    return std::nullopt;
}

CFDictionaryRef LoadTable(const Bundle &bundle, const std::string &name) {
    // A table name is a file name, never a path.
    if (name.empty() || name.find('/') != std::string::npos) return nullptr;
    const auto file = FindTableFile(bundle, name);
    if (!file) return nullptr;
    const auto bytes = ReadWholeFile(*file);
    if (!bytes) {
        std::fprintf(stderr, "kvx: cannot read the string table %s; using the default texts\n", file->c_str());
        return nullptr;
    }
    std::string error;
    CFDictionaryRef table = CreateStringsTable(*bytes, error);
    if (table == nullptr) {
        std::fprintf(stderr, "kvx: the string table %s is malformed (%s); using the default texts\n",
                     file->c_str(), error.c_str());
        return nullptr;
    }
    MakePropertyListConstant(table);
    return table;
}

CFDictionaryRef TableFor(Bundle &bundle, const std::string &name) {
    return bundle.table(name, [&bundle, &name] { return LoadTable(bundle, name); });
}

}  // namespace
}  // namespace kvx::host

extern "C" CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value,
                                                   CFStringRef tableName) {
    CFStringRef fallback = value != nullptr ? value : key;
    kvx::host::Bundle *opened = kvx::host::BundleFrom(bundle);
    if (opened == nullptr || key == nullptr) return static_cast<CFStringRef>(CFRetain(fallback));
    const std::string name = tableName != nullptr ? kvx::host::ToUTF8(tableName) : kvx::host::kDefaultTableName;
    CFDictionaryRef table = kvx::host::TableFor(*opened, name);
    const void *text = table != nullptr ? CFDictionaryGetValue(table, key) : nullptr;
    return static_cast<CFStringRef>(CFRetain(text != nullptr ? text : fallback));
}
