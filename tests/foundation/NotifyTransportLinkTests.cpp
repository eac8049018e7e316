// A notification folder of the device that is a link leading out of the root is not used: no
// pipe is made there, and none of the pipes there is written to or removed; a link in the folder
// is no process's pipe.

#include "platform/foundation/NotifyTransport.h"

#include "tests/support/TemporaryRoot.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TEST(NotifyTransportLink, AFolderBehindALinkIsNeitherListenedInNorPostedTo) {
    TemporaryRoot root;
    TemporaryRoot outside;
    DeviceRoot::set(root.path());
    ASSERT_EQ(::mkfifo((outside.path() / "424242").c_str(), 0600), 0);
    std::filesystem::create_directories(root.path() / "var/run");
    std::filesystem::create_directory_symlink(outside.path(), root.path() / "var/run/notify");

    NotifyTransport transport(root.path() / "var/run/notify");
    EXPECT_EQ(transport.listen(), -1);
    EXPECT_FALSE(transport.post("name"));

    EXPECT_TRUE(std::filesystem::is_fifo(outside.path() / "424242"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(outside.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(NotifyTransportLink, APipeReachedThroughALinkHearsNoPost) {
    TemporaryRoot outside;
    TemporaryRoot root;
    const auto pipe = outside.path() / "424242";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::filesystem::create_directories(root.path() / "var/run/notify");
    std::filesystem::create_symlink(pipe, root.path() / "var/run/notify/515151");

    NotifyTransport transport(root.path() / "var/run/notify");
    EXPECT_TRUE(transport.post("name"));

    char buffer[64];
    EXPECT_LE(::read(reader, buffer, sizeof buffer), 0);
    ::close(reader);
}

}  // namespace
