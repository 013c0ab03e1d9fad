#pragma once
// Runs test code without root's rights: as the tests' own user when that is
// not root, and as "nobody" when it is. The code runs in a forked child that
// changes user and calls it directly, so that nothing has to be started from
// the build folder, which the other user may not be allowed to enter (a clone
// in /root or in a folder made by mktemp -d).

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace gnc::test {

struct OtherUser {
    uid_t user = 0;
    gid_t group = 0;
    bool changes_user = false; // the child drops from root to this user
    std::string unavailable;   // why code cannot run as such a user here; empty when it can
};

// The user without root's rights that the tests run code as; a child has
// already tried to become it.
OtherUser unprivileged_user();

struct ChildRun {
    int exit_code = -1;       // what the code returned; -1 when the child did not end by itself
    std::string error_output; // what the child wrote on stderr while running the code
    std::string unavailable;  // why the child did not run the code; empty when it did
};

// Runs `code` in a child as `user`, once the child has found that it may
// enter each of `reachable`; a child still running after `limit_ms` is ended.
ChildRun run_as(const OtherUser& user, const std::function<int()>& code,
                const std::vector<std::string>& reachable = {}, int limit_ms = 20000);

// The first of `folders` that `user` may enter, or empty.
std::string folder_reachable_by(const OtherUser& user, const std::vector<std::string>& folders);

} // namespace gnc::test
