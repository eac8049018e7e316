#include "platform/substrate/SubstrateLoader.h"

#include "platform/foundation/NSLog.h"
#include "platform/foundation/PropertyList.h"
#include "platform/runtime/objc.h"
#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> lines;

void hostPing(id, SEL) { lines.emplace_back("host ping"); }

class Host : public NSObject {
public:
    Host() : NSObject(objc_registerClassPair("TestHost", NSObject::class_())) {}
};

std::string filterFor(const std::string& bundle) {
    return propertyListBytes(PlistValue(PlistDictionary{
        {"Filter", PlistValue(PlistDictionary{
                       {"Bundles", PlistValue(PlistArray{PlistValue(bundle)})}})}}));
}

TEST(SubstrateLoader, LoadsTheModulesWhoseFilterNamesTheHostAndSkipsTheRest) {
    TemporaryRoot root;
    const std::string folder = "/Library/MobileSubstrate/DynamicLibraries/";
    const auto modules = root / folder;
    std::filesystem::create_directories(modules);
    std::filesystem::copy_file(HOOKING_MODULE_PATH, modules / "Hooking.so");
    root.write(folder + "Hooking.plist", filterFor("com.example.host"));
    std::filesystem::copy_file(HOOKING_MODULE_PATH, modules / "Elsewhere.so");
    root.write(folder + "Elsewhere.plist", filterFor("com.example.other"));
    root.write(folder + "Broken.so", "not a library");
    root.write(folder + "Broken.plist", filterFor("com.example.host"));
    root.write(folder + "Unfiltered.so", "no filter beside it");
    root.write(folder + "Garbled.so", "not a library either");
    root.write(folder + "Garbled.plist", "{ unreadable");

    Host host;
    class_replaceMethod(host.isa(), sel_registerName("ping"), reinterpret_cast<IMP>(hostPing));
    setLogToStandardError(false);
    const int sink = addLogSink([](std::string_view line) { lines.emplace_back(line); });
    const auto loaded = MSLoadModulesForHost("com.example.host", "host");
    objc_msgSend(&host, sel_registerName("ping"));
    removeLogSink(sink);
    setLogToStandardError(true);

    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0].name, "Hooking.so");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(lines[0].starts_with("Substrate: skipping Broken.so: "));
    EXPECT_EQ(lines[1], "Substrate: skipping Garbled: its filter Garbled.plist cannot be read");
    EXPECT_EQ(lines[2], "Substrate: skipping Unfiltered.so: it has no filter");
    EXPECT_EQ(lines[3], "replacement ran");
    EXPECT_EQ(lines[4], "host ping");
}

TEST(SubstrateLoader, AFilterAdmitsTheHostItNamesByBundleOrExecutable) {
    const auto filter = [](const char* key, const char* name) {
        const PlistDictionary criteria{{key, PlistValue(PlistArray{PlistValue(name)})}};
        return propertyListBytes(PlistValue(PlistDictionary{{"Filter", PlistValue(criteria)}}));
    };
    const struct {
        const char* name;
        std::string bytes;
        std::optional<bool> admits;
    } cases[] = {
        {"bundle", filter("Bundles", "com.example.host"), true},
        {"executable", filter("Executables", "host"), true},
        {"another host", filter("Bundles", "com.example.other"), false},
        {"no Filter", propertyListBytes(PlistValue(PlistDictionary{})), std::nullopt},
        {"not a dictionary", propertyListBytes(PlistValue(PlistArray{})), std::nullopt},
        {"not a property list", "{ unreadable", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MSFilterAdmitsHost(c.bytes, "com.example.host", "host"), c.admits) << c.name;
    }
}

}  // namespace
