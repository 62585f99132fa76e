#pragma once
// Include in one file of a test program: under the address sanitizer, freed blocks are filled, so
// that reading a string's block after it moved shows as wrong text. (Without the sanitizer such a
// read ends in a crash once the old block is unmapped.)

#if defined(__SANITIZE_ADDRESS__)
extern "C" const char* __asan_default_options() { return "max_free_fill_size=1048576"; }
#endif
