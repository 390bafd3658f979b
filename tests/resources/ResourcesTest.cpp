// Reads the compiled Windows resources (a .res file made from app/resources/rootfinder.rc.in)
// and checks what the executable must carry: the icon group MAINICON, the version
// information and the manifest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t kIcon = 3;
constexpr std::uint16_t kGroupIcon = 14;
constexpr std::uint16_t kVersion = 16;
constexpr std::uint16_t kManifest = 24;

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Little-endian reads; at() turns a truncated structure into a failed test, not a crash.
std::uint16_t U16(const Bytes& bytes, std::size_t at) { return bytes.at(at) | bytes.at(at + 1) << 8; }

std::uint32_t U32(const Bytes& bytes, std::size_t at)
{
    return U16(bytes, at) | std::uint32_t(U16(bytes, at + 2)) << 16;
}

std::size_t Align4(std::size_t offset) { return (offset + 3) & ~std::size_t(3); }

// A NUL-terminated UTF-16 text holding only ASCII; advances `at` past the terminator.
std::string ReadText(const Bytes& bytes, std::size_t& at)
{
    std::string text;
    for (std::uint16_t unit; (unit = U16(bytes, at)) != 0; at += 2) text += unit < 0x80 ? char(unit) : '?';
    at += 2;
    return text;
}

// A resource type or name: an ordinal, or a text.
struct ResourceId {
    std::uint16_t ordinal = 0;
    std::string text;
};

ResourceId ReadId(const Bytes& bytes, std::size_t& at)
{
    if (U16(bytes, at) == 0xFFFF) {
        at += 4;
        return {U16(bytes, at - 2), {}};
    }
    return {0, ReadText(bytes, at)};
}

struct Resource {
    ResourceId type;
    ResourceId name;
    Bytes data;
};

// A .res file is a run of entries, each a header (sizes, type, name, flags) then the data,
// both padded to four bytes; the first entry is an empty marker.
std::vector<Resource> ParseRes(const Bytes& file)
{
    std::vector<Resource> resources;
    for (std::size_t entry = 0; entry < file.size();) {
        const std::uint32_t dataSize = U32(file, entry);
        const std::uint32_t headerSize = U32(file, entry + 4);
        std::size_t at = entry + 8;
        Resource resource;
        resource.type = ReadId(file, at);
        resource.name = ReadId(file, at);
        const std::size_t data = entry + headerSize;
        if (data + dataSize > file.size()) throw std::runtime_error("truncated resource");
        resource.data.assign(file.begin() + data, file.begin() + data + dataSize);
        if (dataSize != 0) resources.push_back(std::move(resource));
        entry = Align4(data + dataSize);
    }
    return resources;
}

class WindowsResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() { resources = ParseRes(ReadFile(ROOTFINDER_RES_FILE)); }

    static const Bytes& Find(std::uint16_t type, const ResourceId& name)
    {
        for (const Resource& resource : resources)
            if (resource.type.ordinal == type && resource.name.ordinal == name.ordinal &&
                resource.name.text == name.text)
                return resource.data;
        throw std::runtime_error("resource not found");
    }

    static inline std::vector<Resource> resources;
};

TEST_F(WindowsResources, IconGroupMainiconHoldsFiveImagesAt32BitsPerPixel)
{
    const Bytes& group = Find(kGroupIcon, {0, "MAINICON"});
    ASSERT_EQ(U16(group, 2), 1) << "not an icon group";
    ASSERT_EQ(U16(group, 4), 5);
    const int expectedSizes[] = {256, 48, 32, 24, 16};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        const std::size_t entry = 6 + 14 * i;
        const int size = expectedSizes[i];
        EXPECT_EQ(group.at(entry), size % 256) << "width (0 stands for 256)";
        EXPECT_EQ(group.at(entry + 1), size % 256) << "height";
        EXPECT_EQ(U16(group, entry + 4), 1) << "planes";
        EXPECT_EQ(U16(group, entry + 6), 32) << "bits per pixel";

        // The image itself must agree with its directory entry.
        const Bytes& image = Find(kIcon, {U16(group, entry + 12), {}});
        EXPECT_EQ(image.size(), U32(group, entry + 8));
        const Bytes pngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        if (image.size() > 26 && std::equal(pngSignature.begin(), pngSignature.end(), image.begin())) {
            // IHDR: big-endian width and height, then bit depth 8 and colour type 6 (RGBA).
            EXPECT_EQ(image.at(18) << 8 | image.at(19), size);
            EXPECT_EQ(image.at(22) << 8 | image.at(23), size);
            EXPECT_EQ(image.at(24), 8);
            EXPECT_EQ(image.at(25), 6);
        } else {
            // BITMAPINFOHEADER: the height counts the colour image and the mask.
            EXPECT_EQ(U32(image, 0), 40u);
            EXPECT_EQ(U32(image, 4), std::uint32_t(size));
            EXPECT_EQ(U32(image, 8), std::uint32_t(2 * size));
            EXPECT_EQ(U16(image, 14), 32);
        }
    }
}

// One node of the version information tree: a key, a value and the nodes beneath.
struct VersionNode {
    std::string key;
    Bytes value;
    std::string text; // the value of a text node
    std::vector<VersionNode> children;
};

VersionNode ReadVersionNode(const Bytes& bytes, std::size_t at)
{
    const std::size_t end = at + U16(bytes, at);
    const std::uint16_t valueLength = U16(bytes, at + 2);
    const bool isText = U16(bytes, at + 4) == 1;
    VersionNode node;
    std::size_t cursor = at + 6;
    node.key = ReadText(bytes, cursor);
    cursor = Align4(cursor);
    // A text value's length counts UTF-16 units, a binary one's bytes.
    const std::size_t valueBytes = isText ? 2u * valueLength : valueLength;
    if (isText && valueLength != 0) {
        std::size_t textAt = cursor;
        node.text = ReadText(bytes, textAt);
    }
    node.value.assign(bytes.begin() + cursor, bytes.begin() + cursor + valueBytes);
    for (cursor = Align4(cursor + valueBytes); cursor < end; cursor = Align4(cursor + U16(bytes, cursor)))
        node.children.push_back(ReadVersionNode(bytes, cursor));
    return node;
}

const VersionNode& Child(const VersionNode& node, const std::string& key)
{
    for (const VersionNode& child : node.children)
        if (child.key == key) return child;
    throw std::runtime_error("no " + key + " under " + node.key);
}

TEST_F(WindowsResources, VersionInformationIs1000ForUsEnglish)
{
    const VersionNode root = ReadVersionNode(Find(kVersion, {1, {}}), 0);
    ASSERT_EQ(root.key, "VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), 52u) << "VS_FIXEDFILEINFO";
    EXPECT_EQ(U32(root.value, 0), 0xFEEF04BDu) << "signature";
    EXPECT_EQ(U32(root.value, 8), 0x00010000u) << "file version 1.0";
    EXPECT_EQ(U32(root.value, 12), 0u) << "file version .0.0";
    EXPECT_EQ(U32(root.value, 16), 0x00010000u) << "product version 1.0";
    EXPECT_EQ(U32(root.value, 20), 0u) << "product version .0.0";
    EXPECT_EQ(U32(root.value, 32), 0x4u) << "VOS__WINDOWS32";
    EXPECT_EQ(U32(root.value, 36), 0x1u) << "VFT_APP";

    const VersionNode& stringFileInfo = Child(root, "StringFileInfo");
    ASSERT_EQ(stringFileInfo.children.size(), 1u);
    const VersionNode& table = Child(stringFileInfo, "040904E4");
    std::map<std::string, std::string> strings;
    for (const VersionNode& entry : table.children) strings[entry.key] = entry.text;
    const std::map<std::string, std::string> expected = {{"FileVersion", "1.0.0.0"}, {"ProductVersion", "1.0.0.0"}};
    EXPECT_EQ(strings, expected);

    const VersionNode& translation = Child(Child(root, "VarFileInfo"), "Translation");
    EXPECT_EQ(translation.value, (Bytes{0x09, 0x04, 0xE4, 0x04})) << "0x0409, code page 1252";
}

// The attributes of the first element named `element` whose text contains `marker`.
std::map<std::string, std::string> Attributes(const std::string& xml, const std::string& element,
                                              const std::string& marker)
{
    const std::regex elementPattern("<" + element + R"(\b([^>]*)>)");
    const std::regex attributePattern(R"re(([\w:]+)\s*=\s*"([^"]*)")re");
    for (std::sregex_iterator match(xml.begin(), xml.end(), elementPattern), end; match != end; ++match) {
        const std::string body = (*match)[1];
        if (body.find(marker) == std::string::npos) continue;
        std::map<std::string, std::string> attributes;
        for (std::sregex_iterator a(body.begin(), body.end(), attributePattern); a != end; ++a)
            attributes[(*a)[1]] = (*a)[2];
        return attributes;
    }
    return {};
}

TEST_F(WindowsResources, ManifestAsksForCommonControls6AndAsInvoker)
{
    const Bytes& data = Find(kManifest, {1, {}});
    const std::string manifest(data.begin(), data.end());

    const std::map<std::string, std::string> commonControls = {{"type", "win32"},
                                                               {"name", "Microsoft.Windows.Common-Controls"},
                                                               {"version", "6.0.0.0"},
                                                               {"processorArchitecture", "*"},
                                                               {"publicKeyToken", "6595b64144ccf1df"},
                                                               {"language", "*"}};
    EXPECT_EQ(Attributes(manifest, "assemblyIdentity", "Common-Controls"), commonControls);
    EXPECT_LT(manifest.find("<dependentAssembly>"), manifest.find("Common-Controls"));

    const std::map<std::string, std::string> executionLevel = {{"level", "asInvoker"}, {"uiAccess", "false"}};
    EXPECT_EQ(Attributes(manifest, "requestedExecutionLevel", ""), executionLevel);
}

} // namespace
