#pragma once
// SHA-256 of data fed in pieces, through OpenSSL's libcrypto: it uses the
// processor's SHA instructions where there are some, and so hashes several
// times faster than QCryptographicHash does in Qt 6.4 (which keeps
// verification behind sha256sum; see bench/bench_verify.cpp).

#include <QByteArray>

#include <memory>

namespace veil {

class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void addData(const char* data, qint64 size);
    // The 32 raw bytes; the hash is finished afterwards.
    QByteArray result();

private:
    struct Context;
    std::unique_ptr<Context> m_context;
};

} // namespace veil
