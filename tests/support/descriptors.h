#pragma once

// How many file descriptors the process has open: counted before and after some work, it shows
// a descriptor the work left open.
int openDescriptorCount();
