#pragma once

/// Registers the program's dialog templates, strings, icons and bitmaps (including the size-grip
/// image the system would provide) with the resource table. Call once before any window opens.
void registerAppResources();
