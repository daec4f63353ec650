#pragma once

// KESTROVA_ADDRESS_SANITIZER is 1 in a build with AddressSanitizer, 0 otherwise. gcc says so with
// __SANITIZE_ADDRESS__; clang 14 defines no such macro and answers __has_feature instead.
#if defined(__SANITIZE_ADDRESS__)
#define KESTROVA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTROVA_ADDRESS_SANITIZER 1
#endif
#endif
#ifndef KESTROVA_ADDRESS_SANITIZER
#define KESTROVA_ADDRESS_SANITIZER 0
#endif
