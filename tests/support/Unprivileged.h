#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace testing {

// Root passes every permission check, so a test of an unwritable folder would find it
// writable: while this lives, the process runs without that power (CAP_DAC_OVERRIDE), as a
// user would. Changes nothing for a process that never had it.
class Unprivileged {
public:
    Unprivileged() {
        syscall(SYS_capget, &header_, saved_);
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
        syscall(SYS_capset, &header_, lowered);
    }
    ~Unprivileged() { syscall(SYS_capset, &header_, saved_); }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
};

} // namespace testing
