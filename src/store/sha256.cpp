#include "store/sha256.h"

#include <openssl/evp.h>

#include <new>

namespace veil {

struct Sha256::Context {
    EVP_MD_CTX* ctx = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(ctx); }
};

Sha256::Sha256() : m_context(std::make_unique<Context>()) {
    if (!m_context->ctx || EVP_DigestInit_ex(m_context->ctx, EVP_sha256(), nullptr) != 1)
        throw std::bad_alloc();
}

Sha256::~Sha256() = default;

void Sha256::addData(const char* data, qint64 size) { EVP_DigestUpdate(m_context->ctx, data, size_t(size)); }

QByteArray Sha256::result() {
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned int length = 0;
    EVP_DigestFinal_ex(m_context->ctx, reinterpret_cast<unsigned char*>(digest.data()), &length);
    digest.resize(int(length));
    return digest;
}

} // namespace veil
