#pragma once

/// The processors this process may run on (its affinity mask, so that `taskset -c 0` counts
/// one), at least 1.
int usableProcessors();
