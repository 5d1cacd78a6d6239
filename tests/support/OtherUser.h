#pragma once

#include <sys/types.h>
#include <unistd.h>

namespace rdp::test {

// The user "nobody": a second user for files of another user in a folder both may write.
inline constexpr uid_t kOtherUser = 65534;
inline constexpr gid_t kOtherGroup = 65534;

// While it lives, this process acts as the other user (its effective ids); only a process
// running as root can. Check active() and skip the test when it is false.
class AsOtherUser final {
public:
    AsOtherUser()
        : active_(::geteuid() == 0 && ::setegid(kOtherGroup) == 0 && ::seteuid(kOtherUser) == 0) {}
    ~AsOtherUser() {
        if (active_) {
            [[maybe_unused]] const int u = ::seteuid(0);
            [[maybe_unused]] const int g = ::setegid(0);
        }
    }
    AsOtherUser(const AsOtherUser&) = delete;
    AsOtherUser& operator=(const AsOtherUser&) = delete;
    bool active() const { return active_; }

private:
    bool active_;
};

} // namespace rdp::test
