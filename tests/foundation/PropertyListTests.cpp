#include "platform/foundation/PropertyList.h"

#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <optional>
#include <string>
#include <vector>

namespace {

PlistValue everyKind() {
    return PlistValue(PlistDictionary{
        {"bool", PlistValue(true)},
        {"int", PlistValue(-42)},
        {"big", PlistValue(std::int64_t{1} << 40)},
        {"real", PlistValue(0.85)},
        {"string", PlistValue("{0.850, 0.850, 0.850, 0.850} & <tags>")},
        {"data", PlistValue(PlistData{{0, 1, 2, 255}})},
        {"date", PlistValue(PlistDate{86400})},  // XML dates keep whole seconds
        {"array", PlistValue(PlistArray{PlistValue(1), PlistValue("two"), PlistValue(PlistArray{})})},
        {"dict", PlistValue(PlistDictionary{{"inner", PlistValue(false)}})},
    });
}

// An XML property list of arrays nested `depth` deep.
std::string deepXml(int depth) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">";
    for (int i = 0; i < depth; ++i) xml += "<array>";
    for (int i = 0; i < depth; ++i) xml += "</array>";
    return xml + "</plist>";
}

TEST(PropertyList, EveryKindSurvivesAWriteAndReadInBothForms) {
    TemporaryRoot root;
    for (const auto format : {PlistFormat::Xml, PlistFormat::Binary}) {
        const auto file = root.path() / "p.plist";
        ASSERT_TRUE(writePropertyListFile(file, everyKind(), format));
        const auto read = readPropertyListFile(file);
        ASSERT_TRUE(read.value);
        EXPECT_EQ(*read.value, everyKind());
    }
    EXPECT_EQ(fileBytes(root.path() / "p.plist").substr(0, 8), "bplist00");
}

TEST(PropertyList, BadFilesReadAsNothingWithTheReason) {
    TemporaryRoot root;
    const std::string xml = propertyListBytes(everyKind());
    const std::string binary = propertyListBytes(everyKind(), PlistFormat::Binary);
    struct Case {
        const char* name;
        std::string bytes;
        PlistReadError error;
    };
    const Case cases[] = {
        {"empty", "", PlistReadError::NotPropertyList},
        {"text", "hello, world", PlistReadError::NotPropertyList},
        {"truncated xml", xml.substr(0, xml.size() / 2), PlistReadError::NotPropertyList},
        {"truncated binary", binary.substr(0, binary.size() - 10), PlistReadError::NotPropertyList},
        {"binary garbage", std::string("bplist00\xff\xfe\x00\x01garbage", 19), PlistReadError::NotPropertyList},
        {"deep nesting", deepXml(5000), PlistReadError::NotPropertyList},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        root.write("/f.plist", c.bytes);
        const auto read = readPropertyListFile(root / "/f.plist");
        EXPECT_FALSE(read.value);
        EXPECT_EQ(read.error, c.error);
    }
    EXPECT_EQ(readPropertyListFile(root / "/absent.plist").error, PlistReadError::NotFound);
}

TEST(PropertyList, NestingBeyondTheLimitIsRefused) {
    PlistValue deep(1);
    for (int i = 0; i < kMaxPropertyListDepth + 1; ++i) deep = PlistValue(PlistArray{deep});
    EXPECT_FALSE(propertyListFromBytes(propertyListBytes(deep)));
    EXPECT_FALSE(propertyListFromBytes(propertyListBytes(deep, PlistFormat::Binary)));
    PlistValue shallow(1);
    for (int i = 0; i < 10; ++i) shallow = PlistValue(PlistArray{shallow});
    EXPECT_TRUE(propertyListFromBytes(propertyListBytes(shallow)));
}

// A binary property list made of the given objects (object 0 is the root), with one-byte
// offsets and references.
std::string binaryPlist(const std::vector<std::string>& objects) {
    std::string bytes = "bplist00";
    std::string offsets;
    for (const auto& object : objects) {
        offsets += static_cast<char>(bytes.size());
        bytes += object;
    }
    const std::size_t table = bytes.size();
    bytes += offsets;
    std::string trailer(32, '\0');
    trailer[6] = 1;  // offset size
    trailer[7] = 1;  // reference size
    trailer[15] = static_cast<char>(objects.size());
    trailer[31] = static_cast<char>(table);
    return bytes + trailer;
}

TEST(PropertyList, BinaryStringsMayHoldAnyCodeUnit) {
    // { "k": "é\0x" } with the value as UTF-16: a NUL inside a string is data, not an end.
    const auto bytes = binaryPlist({
        std::string("\xD1\x01\x02", 3),
        "\x51k",
        std::string("\x63\x00\xE9\x00\x00\x00x", 7),
    });
    const auto value = propertyListFromBytes(bytes);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->as<PlistDictionary>()->at("k"), PlistValue(std::string("\xC3\xA9\0x", 4)));
}

TEST(PropertyList, MalformedBinaryStructureIsRefused) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"reference past the last object", binaryPlist({"\xA1\x05"})},
        {"array that contains itself", binaryPlist({"\xA1\x00"})},
        {"count longer than the data", binaryPlist({"\x5Fhello"})},
        {"key that is not a string", binaryPlist({std::string("\xD1\x01\x01", 3), "\x10\x01"})},
        {"unknown marker", binaryPlist({"\x70"})},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(propertyListFromBytes(bytes));
    }
}

TEST(PropertyList, SharedObjectsCannotMultiplyTheWork) {
    // Each array names the next one twice: 2^60 visits if nobody counted.
    std::vector<std::string> objects;
    for (int i = 0; i < 60; ++i) {
        objects.push_back(std::string("\xA2") + static_cast<char>(i + 1) + static_cast<char>(i + 1));
    }
    objects.push_back("\x09");
    EXPECT_FALSE(propertyListFromBytes(binaryPlist(objects)));
}

// A binary property list whose root array names one string of `length` bytes `count` times,
// with four-byte offsets and two-byte references.
std::string sharedStringPlist(std::uint32_t length, std::uint32_t count) {
    const auto bigEndian = [](std::uint64_t value, std::size_t size) {
        std::string bytes(size, '\0');
        for (std::size_t i = size; i-- > 0; value >>= 8) bytes[i] = static_cast<char>(value & 0xFF);
        return bytes;
    };
    std::string bytes = "bplist00";
    const std::size_t array = bytes.size();
    bytes += "\xAF\x12" + bigEndian(count, 4);
    for (std::uint32_t i = 0; i < count; ++i) bytes += bigEndian(1, 2);
    const std::size_t string = bytes.size();
    bytes += "\x5F\x12" + bigEndian(length, 4) + std::string(length, 's');
    const std::size_t table = bytes.size();
    bytes += bigEndian(array, 4) + bigEndian(string, 4);
    return bytes + std::string(6, '\0') + '\x04' + '\x02' + bigEndian(2, 8) + bigEndian(0, 8) +
           bigEndian(table, 8);
}

TEST(PropertyList, SharedTextCannotMultiplyTheMemory) {
    // 6 KiB naming one 4 KiB string 1100 times: 4.4 MiB of copies, more than a file may hold.
    EXPECT_FALSE(propertyListFromBytes(sharedStringPlist(4096, 1100)));
    const auto shared = propertyListFromBytes(sharedStringPlist(4096, 1000));
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->as<PlistArray>()->size(), 1000u);
    EXPECT_EQ(shared->as<PlistArray>()->back(), PlistValue(std::string(4096, 's')));
}

TEST(PropertyList, DeepXmlIsRefusedBeforeItIsParsed) {
    EXPECT_FALSE(propertyListFromBytes(deepXml(290000)));
    EXPECT_FALSE(propertyListFromBytes(std::string("<plist><string>a\0b</string></plist>", 36)));
}

TEST(PropertyList, AHugeFileIsRefusedUnread) {
    TemporaryRoot root;
    const auto file = root.path() / "huge.plist";
    { std::ofstream(file) << "<?xml"; }
    std::filesystem::resize_file(file, 100u << 20);  // sparse: no 100 MB written
    EXPECT_EQ(readPropertyListFile(file).error, PlistReadError::TooLarge);
}

TEST(PropertyList, OnlyADictionaryRootReadsAsADictionary) {
    TemporaryRoot root;
    const auto file = root.path() / "a.plist";
    ASSERT_TRUE(writePropertyListFile(file, PlistValue(PlistArray{PlistValue(1)})));
    EXPECT_TRUE(readPropertyListFile(file).value);
    EXPECT_FALSE(readPropertyListDictionary(file));
}

TEST(PropertyList, AtomicWriteLeavesNoTemporaryFileAndMakesFolders) {
    TemporaryRoot root;
    const auto file = root.path() / "new/folder/s.plist";
    ASSERT_TRUE(writePropertyListFile(file, everyKind()));
    ASSERT_TRUE(writePropertyListFile(file, PlistValue(PlistDictionary{{"k", PlistValue(1)}})));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(readPropertyListDictionary(file)->at("k"), PlistValue(1));
}

// Lowers this process's limit on the size of the files it writes, which binds the superuser as
// much as anyone, for as long as it lives; a write past the limit fails with EFBIG instead of
// ending the process.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = bytes;
        applied_ = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool applied() const { return applied_; }

private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
    bool applied_ = false;
};

// Every path under `folder`, relative to it, in order.
std::vector<std::string> everythingUnder(const std::filesystem::path& folder) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        paths.push_back(entry.path().lexically_relative(folder).string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

TEST(PropertyList, AFailedWriteLeavesTheOldFile) {
    // Failures that stop the superuser too: the file-size limit cutting the new bytes short once
    // the temporary file is made, and a file where the target's folder should be.
    struct Case {
        const char* how;
        const char* oldFile;  // the file there before, under the root
        const char* target;   // the path written, under the root
        rlim_t sizeLimit;     // 0 for none
    } cases[] = {
        {"the size limit stops the write half-way", "prefs/s.plist", "prefs/s.plist", 64},
        {"the target's folder is a file", "prefs", "prefs/s.plist", 0},
    };
    const PlistValue larger(PlistDictionary{{"k", PlistValue(std::string(4096, 'x'))}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        TemporaryRoot root;
        const auto old = root.path() / c.oldFile;
        ASSERT_TRUE(writePropertyListFile(old, everyKind()));
        const auto before = fileBytes(old);
        const auto everything = everythingUnder(root.path());
        bool written = true;
        {
            std::optional<FileSizeLimit> limit;
            if (c.sizeLimit) {
                limit.emplace(c.sizeLimit);
                ASSERT_TRUE(limit->applied());
            }
            written = writePropertyListFile(root.path() / c.target, larger);
        }
        EXPECT_FALSE(written);
        EXPECT_EQ(fileBytes(old), before);
        // No temporary file is left behind, and nothing else is made.
        EXPECT_EQ(everythingUnder(root.path()), everything);
    }
}

TEST(PropertyList, AWriteOverAFolderFailsAndKeepsTheFolder) {
    TemporaryRoot root;
    const auto folder = root.path() / "taken";
    std::filesystem::create_directories(folder / "child");
    EXPECT_FALSE(writePropertyListFile(folder, everyKind()));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "child"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root.path()),
                            std::filesystem::directory_iterator()),
              1);
}

}  // namespace
