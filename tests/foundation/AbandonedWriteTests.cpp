// What a writer killed mid-write leaves behind, and what the next write makes of it; a write the
// readers would refuse.

#include "platform/foundation/PreferencesFile.h"
#include "platform/foundation/PropertyList.h"

#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(AbandonedWrite, TheNextWriteRemovesTemporaryFilesOfDeadWritersOnly) {
    TemporaryRoot root;
    const auto file = root.path() / "s.plist";
    root.write("/.s.plist.dead01.writing", "half a file");   // its writer was killed
    root.write("/.s.plist.live01.writing", "being written");  // its writer holds it
    root.write("/s.plist.backup", "someone's own copy");
    root.write("/.other.plist.dead02.writing", "another file's");
    const int live = ::open((root.path() / ".s.plist.live01.writing").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    ASSERT_TRUE(writePropertyListFile(file, PlistValue(PlistDictionary{{"k", PlistValue(1)}})));
    ::close(live);

    EXPECT_FALSE(std::filesystem::exists(root.path() / ".s.plist.dead01.writing"));
    EXPECT_TRUE(std::filesystem::exists(root.path() / ".s.plist.live01.writing"));
    EXPECT_EQ(fileBytes(root.path() / "s.plist.backup"), "someone's own copy");
    EXPECT_TRUE(std::filesystem::exists(root.path() / ".other.plist.dead02.writing"));
    EXPECT_EQ(entriesIn(root.path()), 4u);
}

TEST(AbandonedWrite, AFileTheReadersWouldRefuseIsNotWrittenAndTheOldOneStays) {
    TemporaryRoot root;
    const auto file = root / "/User/Library/Preferences/s.plist";
    ASSERT_EQ(setPrefsValue(file, "a", PlistValue(std::string(1000, 'a'))), "");
    const auto before = fileBytes(file);
    const std::string huge(kMaxPropertyListBytes, 'b');
    EXPECT_FALSE(writePropertyListFile(file, PlistValue(PlistDictionary{{"b", PlistValue(huge)}})));
    EXPECT_EQ(errno, EFBIG);
    const auto error = setPrefsValue(file, "b", PlistValue(huge));
    EXPECT_NE(error.find("4 MiB"), std::string::npos) << error;
    EXPECT_EQ(fileBytes(file), before);
    EXPECT_EQ(entriesIn(file.parent_path()), 2u);  // the file and its lock, no temporary file
    EXPECT_TRUE(std::filesystem::is_regular_file(prefsLockFileOf(file)));
}

}  // namespace
