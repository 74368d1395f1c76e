#pragma once

// libquor.so is built with hidden visibility; what the system offers to its
// users is marked with QUOR_EXPORT.
#define QUOR_EXPORT __attribute__((visibility("default")))
