#include "layout/layout_node.h"

#include <climits>
#include <cstdint>

int percentOf(int available, int percent) {
    const std::int64_t value = std::int64_t(available) * percent / 100;
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : int(value);
}
