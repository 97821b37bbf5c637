#include <fstream>
#include <iterator>

#include <openssl/evp.h>

#include "fleet/journal/journal.h"

namespace vorlen::fleet {

std::string FileSha256(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (!in.is_open() || EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_sha256(),
                                    nullptr) != 1) {
        return {};
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        hex += kHex[digest[i] >> 4];
        hex += kHex[digest[i] & 0xF];
    }
    return hex;
}

}  // namespace vorlen::fleet
