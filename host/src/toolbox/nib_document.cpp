#include "nib_document.hpp"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <pugixml.hpp>
#include <set>
#include <tuple>

#include <sys/stat.h>

#include "KVXHost.h"
#include "core/strings.hpp"

namespace kvx::host {
namespace {

constexpr std::string_view kNibElement = "nib";
constexpr std::string_view kWindowElement = "window";
constexpr std::string_view kControlElement = "control";
constexpr std::string_view kItemElement = "item";

// Attribute names.
constexpr const char *kNameAttribute = "name";
constexpr const char *kTitleAttribute = "title";
constexpr const char *kXAttribute = "x";
constexpr const char *kYAttribute = "y";
constexpr const char *kWidthAttribute = "width";
constexpr const char *kHeightAttribute = "height";
constexpr const char *kKindAttribute = "kind";
constexpr const char *kSignatureAttribute = "signature";
constexpr const char *kIdAttribute = "id";
constexpr const char *kTopAttribute = "top";
constexpr const char *kLeftAttribute = "left";
constexpr const char *kBottomAttribute = "bottom";
constexpr const char *kRightAttribute = "right";
constexpr const char *kEnabledAttribute = "enabled";
constexpr const char *kValueAttribute = "value";
constexpr const char *kMenuAttribute = "menu";
constexpr const char *kTextAttribute = "text";

constexpr std::string_view kTrue = "true";
constexpr std::string_view kFalse = "false";
constexpr std::string_view kNoMenu = "none";

constexpr size_t kSignatureLength = 4;
// Deeper nesting than any real pane, and shallow enough that reading a
// hostile file cannot exhaust the stack.
constexpr int kMaxNesting = 32;

struct KindName {
    std::string_view name;
    OSType kind;
};
constexpr KindName kKinds[] = {{"userpane", kControlKindUserPane},
                               {"popup", kControlKindPopupButton},
                               {"edittext", kControlKindEditUnicodeText},
                               {"statictext", kControlKindStaticText}};

// The attributes that each element may carry.
const std::set<std::string_view> kWindowAttributes = {kNameAttribute,  kTitleAttribute, kXAttribute,
                                                      kYAttribute,     kWidthAttribute, kHeightAttribute};
const std::set<std::string_view> kCommonControlAttributes = {
    kKindAttribute, kSignatureAttribute, kIdAttribute,    kTitleAttribute,  kTopAttribute,
    kLeftAttribute, kBottomAttribute,    kRightAttribute, kEnabledAttribute};
const std::set<std::string_view> kPopupAttributes = {kValueAttribute, kMenuAttribute};
const std::set<std::string_view> kEditTextAttributes = {kTextAttribute};

// Thrown inside this file only, to leave a nested read at the first
// problem; ReadNibFile turns it into its result.
struct Malformed {
    std::string message;
};

class Reader {
public:
    explicit Reader(std::string_view source) : source_(source) {}

    NibDocument read(const pugi::xml_document &xml) const;

private:
    [[noreturn]] void fail(const pugi::xml_node &node, const std::string &message) const;
    void requireNoText(const pugi::xml_node &node) const;
    void checkAttributes(const pugi::xml_node &node, const std::set<std::string_view> &allowed,
                         const std::set<std::string_view> &alsoAllowed = {}) const;
    long integer(const pugi::xml_node &node, const char *name, long lowest, long highest) const;
    long optionalInteger(const pugi::xml_node &node, const char *name, long lowest, long highest,
                         long fallback) const;
    bool flag(const pugi::xml_node &node, const char *name, bool fallback) const;
    OSType kind(const pugi::xml_node &node) const;
    OSType signature(const pugi::xml_node &node) const;
    std::u16string itemText(const pugi::xml_node &item) const;
    WindowDescription window(const pugi::xml_node &node) const;
    ControlDescription control(const pugi::xml_node &node, int depth) const;
    void popupItems(const pugi::xml_node &node, ControlDescription &popup) const;

    std::string_view source_;
};

bool IsText(const pugi::xml_node &node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

long LineOf(std::string_view source, ptrdiff_t offset) {
    const auto end = static_cast<size_t>(std::clamp<ptrdiff_t>(offset, 0, static_cast<ptrdiff_t>(source.size())));
    return 1 + std::count(source.begin(), source.begin() + static_cast<ptrdiff_t>(end), '\n');
}

std::optional<long> ParseInteger(std::string_view text) {
    long value = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

void Reader::fail(const pugi::xml_node &node, const std::string &message) const {
    throw Malformed{"line " + std::to_string(LineOf(source_, node.offset_debug())) + ": " + message};
}

void Reader::requireNoText(const pugi::xml_node &node) const {
    for (const pugi::xml_node &child : node.children())
        if (IsText(child)) fail(child, "text is not allowed in <" + std::string(node.name()) + ">");
}

void Reader::checkAttributes(const pugi::xml_node &node, const std::set<std::string_view> &allowed,
                             const std::set<std::string_view> &alsoAllowed) const {
    std::set<std::string_view> seen;
    for (const pugi::xml_attribute &attribute : node.attributes()) {
        const std::string_view name = attribute.name();
        if (!allowed.contains(name) && !alsoAllowed.contains(name))
            fail(node, "<" + std::string(node.name()) + "> has no attribute \"" + std::string(name) + "\"");
        if (!seen.insert(name).second) fail(node, "attribute \"" + std::string(name) + "\" given twice");
    }
}

long Reader::integer(const pugi::xml_node &node, const char *name, long lowest, long highest) const {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) fail(node, "attribute \"" + std::string(name) + "\" is missing");
    const auto value = ParseInteger(attribute.value());
    if (!value || *value < lowest || *value > highest)
        fail(node, "attribute \"" + std::string(name) + "\" must be a whole number from " + std::to_string(lowest) +
                       " to " + std::to_string(highest));
    return *value;
}

long Reader::optionalInteger(const pugi::xml_node &node, const char *name, long lowest, long highest,
                             long fallback) const {
    return node.attribute(name) ? integer(node, name, lowest, highest) : fallback;
}

bool Reader::flag(const pugi::xml_node &node, const char *name, bool fallback) const {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute) return fallback;
    if (attribute.value() == kTrue) return true;
    if (attribute.value() == kFalse) return false;
    fail(node, "attribute \"" + std::string(name) + "\" must be \"true\" or \"false\"");
}

OSType Reader::kind(const pugi::xml_node &node) const {
    const std::string_view name = node.attribute(kKindAttribute).value();
    if (name.empty()) fail(node, "a control needs a kind");
    for (const KindName &known : kKinds)
        if (known.name == name) return known.kind;
    fail(node, "unknown control kind \"" + std::string(name) + "\"");
}

OSType Reader::signature(const pugi::xml_node &node) const {
    const pugi::xml_attribute attribute = node.attribute(kSignatureAttribute);
    if (!attribute) return 0;
    const std::string_view text = attribute.value();
    const bool printable = std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
    if (text.size() != kSignatureLength || !printable)
        fail(node, "a signature is exactly four printable ASCII characters");
    OSType code = 0;
    for (const char c : text) code = (code << 8) | static_cast<unsigned char>(c);
    return code;
}

std::u16string Reader::itemText(const pugi::xml_node &item) const {
    if (item.first_attribute()) fail(item, "<item> has no attributes");
    std::string text;
    for (const pugi::xml_node &child : item.children()) {
        if (child.type() == pugi::node_element) fail(child, "<item> holds text only");
        if (IsText(child)) text += child.value();
    }
    return FromUTF8(text);
}

void Reader::popupItems(const pugi::xml_node &node, ControlDescription &popup) const {
    const pugi::xml_attribute menu = node.attribute(kMenuAttribute);
    if (menu && menu.value() != kNoMenu) fail(node, "attribute \"menu\" can only be \"none\"");
    popup.hasMenu = !menu;
    for (const pugi::xml_node &child : node.children(kItemElement.data())) {
        if (!popup.hasMenu) fail(child, "a popup without a menu has no items");
        popup.items.push_back(itemText(child));
    }
}

ControlDescription Reader::control(const pugi::xml_node &node, int depth) const {
    if (depth > kMaxNesting) fail(node, "controls are nested too deeply");
    ControlDescription control;
    control.kind = kind(node);
    switch (control.kind) {
    case kControlKindPopupButton: checkAttributes(node, kCommonControlAttributes, kPopupAttributes); break;
    case kControlKindEditUnicodeText: checkAttributes(node, kCommonControlAttributes, kEditTextAttributes); break;
    default: checkAttributes(node, kCommonControlAttributes); break;
    }
    requireNoText(node);

    constexpr long kLowest = std::numeric_limits<SInt16>::min();
    constexpr long kHighest = std::numeric_limits<SInt16>::max();
    const long top = integer(node, kTopAttribute, kLowest, kHighest);
    const long left = integer(node, kLeftAttribute, kLowest, kHighest);
    const long bottom = integer(node, kBottomAttribute, top, kHighest);
    const long right = integer(node, kRightAttribute, left, kHighest);
    control.bounds = Rect{static_cast<SInt16>(top), static_cast<SInt16>(left), static_cast<SInt16>(bottom),
                          static_cast<SInt16>(right)};
    control.id = ControlID{signature(node),
                           static_cast<SInt32>(optionalInteger(node, kIdAttribute, std::numeric_limits<SInt32>::min(),
                                                               std::numeric_limits<SInt32>::max(), 0))};
    control.enabled = flag(node, kEnabledAttribute, true);
    control.title = FromUTF8(node.attribute(kTitleAttribute).value());
    control.text = FromUTF8(node.attribute(kTextAttribute).value());

    for (const pugi::xml_node &child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = child.name();
        if (name == kControlElement && control.kind == kControlKindUserPane)
            control.children.push_back(this->control(child, depth + 1));
        else if (!(name == kItemElement && control.kind == kControlKindPopupButton))
            fail(child, "<" + std::string(name) + "> is not allowed in a control of kind \"" +
                            node.attribute(kKindAttribute).value() + "\"");
    }
    if (control.kind == kControlKindPopupButton) {
        control.value = static_cast<SInt32>(optionalInteger(node, kValueAttribute, std::numeric_limits<SInt32>::min(),
                                                            std::numeric_limits<SInt32>::max(), 1));
        popupItems(node, control);
    }
    return control;
}

WindowDescription Reader::window(const pugi::xml_node &node) const {
    checkAttributes(node, kWindowAttributes);
    requireNoText(node);
    WindowDescription window;
    window.name = node.attribute(kNameAttribute).value();
    if (window.name.empty()) fail(node, "a window needs a name");
    window.title = FromUTF8(node.attribute(kTitleAttribute).value());

    constexpr long kLowest = std::numeric_limits<SInt16>::min();
    constexpr long kHighest = std::numeric_limits<SInt16>::max();
    const long x = optionalInteger(node, kXAttribute, kLowest, kHighest, 0);
    const long y = optionalInteger(node, kYAttribute, kLowest, kHighest, 0);
    const long width = integer(node, kWidthAttribute, 0, kHighest - x);
    const long height = integer(node, kHeightAttribute, 0, kHighest - y);
    window.content = Rect{static_cast<SInt16>(y), static_cast<SInt16>(x), static_cast<SInt16>(y + height),
                          static_cast<SInt16>(x + width)};

    for (const pugi::xml_node &child : node.children()) {
        if (child.type() != pugi::node_element) continue;
        if (std::string_view(child.name()) != kControlElement)
            fail(child, "<" + std::string(child.name()) + "> is not allowed in a window");
        window.controls.push_back(control(child, 1));
    }
    return window;
}

NibDocument Reader::read(const pugi::xml_document &xml) const {
    const pugi::xml_node root = xml.document_element();
    if (std::string_view(root.name()) != kNibElement) fail(root, "the document element must be <nib>");
    checkAttributes(root, {});
    requireNoText(root);
    NibDocument document;
    for (const pugi::xml_node &child : root.children()) {
        if (child.type() != pugi::node_element) continue;
        if (std::string_view(child.name()) != kWindowElement)
            fail(child, "<" + std::string(child.name()) + "> is not allowed in <nib>");
        WindowDescription window = this->window(child);
        if (document.find(window.name) != nullptr) fail(child, "a second window named \"" + window.name + "\"");
        document.windows.push_back(std::move(window));
    }
    return document;
}

// What tells that a file is still the one read before, without reading it:
// where it lives, its size and the times of its last changes.
using FileIdentity = std::tuple<dev_t, ino_t, off_t, time_t, long, time_t, long>;

std::optional<FileIdentity> IdentityOf(const std::string &path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return FileIdentity{status.st_dev,          status.st_ino,          status.st_size,        status.st_mtim.tv_sec,
                        status.st_mtim.tv_nsec, status.st_ctim.tv_sec,  status.st_ctim.tv_nsec};
}

// The last file read whole and well formed, with its document.
struct LastRead {
    std::string path;
    FileIdentity identity;
    std::shared_ptr<const NibDocument> document;
};

}  // namespace

const WindowDescription *NibDocument::find(std::string_view name) const {
    const auto found = std::find_if(windows.begin(), windows.end(),
                                    [&](const WindowDescription &window) { return window.name == name; });
    return found == windows.end() ? nullptr : &*found;
}

std::variant<std::shared_ptr<const NibDocument>, NibProblem> ReadNibFile(const std::string &path) {
    // The same file unchanged since it was last read: its document again,
    // without reading or parsing it once more on each pane open.
    const std::optional<FileIdentity> identity = IdentityOf(path);
    static std::mutex lastReadLock;
    static LastRead lastRead;
    if (identity) {
        const std::lock_guard lock(lastReadLock);
        if (lastRead.document && lastRead.path == path && lastRead.identity == *identity) return lastRead.document;
    }
    std::ifstream file(path, std::ios::binary);
    if (!identity || !file) return NibProblem{kIBCarbonRuntimeCantFindNibFile, path + ": cannot be read"};
    std::string source{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};

    pugi::xml_document xml;
    const pugi::xml_parse_result parsed = xml.load_buffer(source.data(), source.size());
    if (!parsed)
        return NibProblem{kKVXNibMalformedErr, path + ": line " + std::to_string(LineOf(source, parsed.offset)) +
                                                   ": " + parsed.description()};
    std::shared_ptr<const NibDocument> document;
    try {
        document = std::make_shared<const NibDocument>(Reader(source).read(xml));
    } catch (const Malformed &problem) {
        return NibProblem{kKVXNibMalformedErr, path + ": " + problem.message};
    }
    const std::lock_guard lock(lastReadLock);
    lastRead = LastRead{path, *identity, document};
    return document;
}

}  // namespace kvx::host
