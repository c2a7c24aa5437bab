#include "engine/xxh3_functions.h"

const Xxh3Functions* xxh3FunctionsPortable() {
    return &FUNCTIONS;
}
