#include "engine/blake3_chunks.h"

Blake3ChunksFunction blake3ChunksAvx512() {
    return nullptr;
}
