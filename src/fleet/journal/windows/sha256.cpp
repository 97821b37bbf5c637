// The profile's SHA-256 from Windows' own CNG. The hash is fed the file in
// pieces through a hash object rather than by BCryptHash, which Windows
// gained only in version 10, while the programs run on Windows 7 too.
#include <windows.h>
#include <bcrypt.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "fleet/journal/journal.h"

namespace vorlen::fleet {
namespace {

struct Sha256 {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;

    Sha256() {
        if (BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM,
                                                         nullptr, 0)) &&
            !BCRYPT_SUCCESS(::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) {
            hash = nullptr;
        }
    }
    ~Sha256() {
        if (hash != nullptr) {
            ::BCryptDestroyHash(hash);
        }
        if (algorithm != nullptr) {
            ::BCryptCloseAlgorithmProvider(algorithm, 0);
        }
    }
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;
};

bool HashAll(std::ifstream& in, BCRYPT_HASH_HANDLE hash) {
    std::vector<char> piece(64 * 1024);
    while (in.read(piece.data(), static_cast<std::streamsize>(piece.size())) || in.gcount() > 0) {
        if (!BCRYPT_SUCCESS(::BCryptHashData(hash, reinterpret_cast<PUCHAR>(piece.data()),
                                             static_cast<ULONG>(in.gcount()), 0))) {
            return false;
        }
    }
    return in.eof();
}

}  // namespace

std::string FileSha256(const std::string& file) {
    std::ifstream in(std::filesystem::path(std::u8string(file.begin(), file.end())),
                     std::ios::binary);
    Sha256 sha;
    unsigned char digest[32];
    if (!in.is_open() || sha.hash == nullptr || !HashAll(in, sha.hash) ||
        !BCRYPT_SUCCESS(::BCryptFinishHash(sha.hash, digest, sizeof digest, 0))) {
        return {};
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (const unsigned char byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 0xF];
    }
    return hex;
}

}  // namespace vorlen::fleet
