// What the cipher module (vellum-cipher.so, the one part of the program
// that links nettle) offers: RC4 with a 40-bit key, the first 5 bytes of
// the MD5 digest of a secret followed by 11 zero bytes, 16 bytes in all.
#pragma once

#include <cstdint>
#include <span>

namespace vellum::system {

struct CipherModule {
    // Runs the cipher keyed by secret over bytes, in place.
    void (*cipher)(std::span<const uint8_t> secret, std::span<uint8_t> bytes);
};

inline constexpr char kCipherModuleFile[] = "vellum-cipher.so";
inline constexpr char kCipherModuleEntry[] = "vellum_cipher_module";

} // namespace vellum::system
