#include "engine/blake3_chunks.h"

Blake3ChunksFunction blake3ChunksAvx2() {
    return nullptr;
}
