#include "platform/foundation/DeviceRoot.h"

#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

namespace {

TEST(DeviceRoot, DevicePathsResolveUnderTheRootAndNeverAbove) {
    TemporaryRoot root;
    const auto& r = root.path();
    EXPECT_EQ(DeviceRoot::resolve("/User/Library/Preferences/com.quillmoss.corvane.plist"),
              r / "User/Library/Preferences/com.quillmoss.corvane.plist");
    EXPECT_EQ(DeviceRoot::resolve("/Library/Corvane/vault.png"), r / "Library/Corvane/vault.png");
    EXPECT_EQ(DeviceRoot::resolve("/tmp/dpkgl.log"), r / "tmp/dpkgl.log");
    EXPECT_EQ(DeviceRoot::resolve("/../../etc/passwd"), r / "etc/passwd");
    EXPECT_EQ(DeviceRoot::resolve("/tmp/../../x"), r / "x");
}

TEST(DeviceRoot, AProgramInABuildTreeUsesTheBuildTreesDevice) {
    TemporaryRoot root;
    const auto build = root.path() / "build";
    std::filesystem::create_directories(build / "bin");
    std::filesystem::create_directories(build / "device");
    std::ofstream(build / "CMakeCache.txt") << "";
    EXPECT_EQ(DeviceRoot::defaultFor(build / "bin/corvanectl"), build / "device");
}

TEST(DeviceRoot, AnInstalledProgramUsesAFilledHomeRoot) {
    TemporaryRoot root;
    const auto prefix = root.path() / "usr";
    std::filesystem::create_directories(prefix / "bin");
    std::filesystem::create_directories(prefix / "lib/corvane/device/Library/Corvane");
    std::ofstream(prefix / "lib/corvane/device/Library/Corvane/vault.png") << "png";
    const char* oldHome = std::getenv("HOME");
    const std::string saved = oldHome ? oldHome : "";
    ::setenv("HOME", (root.path() / "home").c_str(), 1);
    const auto chosen = DeviceRoot::defaultFor(prefix / "bin/corvanectl");
    ::setenv("HOME", saved.c_str(), 1);
    EXPECT_EQ(chosen, root.path() / "home/.local/share/corvane/device");
    EXPECT_TRUE(std::filesystem::exists(chosen / "Library/Corvane/vault.png"));
}

}  // namespace
