#pragma once

#include <cstddef>

#include "util/QuorExport.h"

// Bounded copy and append of C strings, with the BSD semantics: the result
// is always terminated when size leaves room for it, and the return value is
// the length the full result would have had, so that a return value of size
// or more tells the caller that the text was cut.

// Copies at most size - 1 characters of src into dst and terminates dst when
// size is not 0. Returns strlen(src).
extern "C" QUOR_EXPORT std::size_t strlcpy(char* dst, char const* src, std::size_t size) noexcept;

// Appends src to the text in dst, using at most size bytes of dst in all.
// Returns the length dst had (at most size) plus strlen(src); dst is left
// untouched when it holds no terminator within size bytes.
extern "C" QUOR_EXPORT std::size_t strlcat(char* dst, char const* src, std::size_t size) noexcept;
