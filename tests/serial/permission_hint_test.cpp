// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/permission_hint.h"

#include <gtest/gtest.h>

namespace {

using platform::NodeAccess;

TEST(PermissionHint, TellsTheCauseThatHolds) {
    const std::string where = "/dev/ttyUSB0 (COM3)";
    const std::vector<std::string> alice{"alice", "users"};
    const std::vector<std::string> dialout{"alice", "users", "dialout"};
    const struct {
        std::optional<NodeAccess> access;
        const char* text;
    } cases[] = {
        // The group may open it and the user is not in it: joining is the remedy.
        {NodeAccess{"root", "dialout", 0660, "alice", alice, alice},
         "No permission on /dev/ttyUSB0 (COM3): join the dialout group (sudo adduser $USER "
         "dialout) and log in again"},
        {NodeAccess{"root", "uucp", 0660, "alice", alice, alice},
         "No permission on /dev/ttyUSB0 (COM3): join the uucp group (sudo adduser $USER uucp) and "
         "log in again"},
        {std::nullopt, "No permission on /dev/ttyUSB0 (COM3): join the dialout group (sudo adduser "
                       "$USER dialout) and log in again"},
        // Joined, but this session started before.
        {NodeAccess{"root", "dialout", 0660, "alice", alice, dialout},
         "No permission on /dev/ttyUSB0 (COM3): you are in the dialout group but this session is "
         "not: log in again"},
        // No group to join.
        {NodeAccess{"root", "root", 0600, "alice", alice, alice},
         "No permission on /dev/ttyUSB0 (COM3): only root may open it (root:root 0600); a udev "
         "rule can give it to the dialout group (GROUP=\"dialout\", MODE=\"0660\"), or ask the "
         "administrator"},
        {NodeAccess{"root", "root", 0660, "alice", alice, alice},
         "No permission on /dev/ttyUSB0 (COM3): only root and the root group may open it "
         "(root:root 0660); a udev rule can give it to the dialout group (GROUP=\"dialout\", "
         "MODE=\"0660\"), or ask the administrator"},
        // The group may not read and write, so being in it does not help.
        {NodeAccess{"root", "dialout", 0640, "alice", dialout, dialout},
         "No permission on /dev/ttyUSB0 (COM3): only root may open it (root:dialout 0640); a udev "
         "rule can give it to the dialout group (GROUP=\"dialout\", MODE=\"0660\"), or ask the "
         "administrator"},
        // Owner, group and mode let this session in: something else refuses.
        {NodeAccess{"root", "dialout", 0660, "alice", dialout, dialout},
         "No permission on /dev/ttyUSB0 (COM3) (root:dialout 0660), though its owner, group and "
         "mode let this session open it: ask the administrator"},
        {NodeAccess{"alice", "alice", 0600, "alice", alice, alice},
         "No permission on /dev/ttyUSB0 (COM3) (alice:alice 0600), though its owner, group and "
         "mode let this session open it: ask the administrator"},
        {NodeAccess{"root", "root", 0666, "alice", alice, alice},
         "No permission on /dev/ttyUSB0 (COM3) (root:root 0666), though its owner, group and mode "
         "let this session open it: ask the administrator"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(serial::noPermissionText(where, c.access), c.text);
    }
}

} // namespace
