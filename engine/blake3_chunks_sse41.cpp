#include "engine/blake3_chunks.h"

Blake3ChunksFunction blake3ChunksSse41() {
    return nullptr;
}
