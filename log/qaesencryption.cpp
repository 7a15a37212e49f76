#include "qaesencryption.h"

#include <openssl/evp.h>

#include <memory>

namespace {
const EVP_CIPHER *cipherFor(QAESEncryption::Aes level, QAESEncryption::Mode mode)
{
    const bool ecb = mode == QAESEncryption::ECB;
    switch (level) {
    case QAESEncryption::AES_128:
        return ecb ? EVP_aes_128_ecb() : EVP_aes_128_cbc();
    case QAESEncryption::AES_192:
        return ecb ? EVP_aes_192_ecb() : EVP_aes_192_cbc();
    case QAESEncryption::AES_256:
        return ecb ? EVP_aes_256_ecb() : EVP_aes_256_cbc();
    }
    return nullptr;
}

struct CipherContextDeleter
{
    void operator()(EVP_CIPHER_CTX *ctx) const { EVP_CIPHER_CTX_free(ctx); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;
} // namespace

QAESEncryption::QAESEncryption(Aes level, Mode mode, Padding padding, QObject *parent)
    : QObject(parent), m_level(level), m_mode(mode), m_padding(padding)
{
}

int QAESEncryption::keyLength() const
{
    switch (m_level) {
    case AES_128:
        return 16;
    case AES_192:
        return 24;
    case AES_256:
        return 32;
    }
    return 0;
}

QByteArray QAESEncryption::encode(const QByteArray &rawText, const QByteArray &key, const QByteArray &iv) const
{
    return run(true, rawText, key, iv, nullptr);
}

QByteArray QAESEncryption::decode(const QByteArray &rawText, const QByteArray &key, const QByteArray &iv,
                                  bool *ok) const
{
    return run(false, rawText, key, iv, ok);
}

QByteArray QAESEncryption::run(bool encrypt, const QByteArray &input, const QByteArray &key, const QByteArray &iv,
                               bool *ok) const
{
    if (ok)
        *ok = false;
    if (key.size() != keyLength())
        return {};
    const bool needsIv = m_mode != ECB;
    if (needsIv && iv.size() != blockLength)
        return {};

    CipherContext ctx(EVP_CIPHER_CTX_new());
    if (!ctx)
        return {};
    const auto *keyBytes = reinterpret_cast<const unsigned char *>(key.constData());
    const auto *ivBytes = needsIv ? reinterpret_cast<const unsigned char *>(iv.constData()) : nullptr;
    if (EVP_CipherInit_ex(ctx.get(), cipherFor(m_level, m_mode), nullptr, keyBytes, ivBytes, encrypt ? 1 : 0) != 1)
        return {};
    EVP_CIPHER_CTX_set_padding(ctx.get(), m_padding == PKCS7 ? 1 : 0);

    QByteArray output(input.size() + blockLength, Qt::Uninitialized);
    auto *out = reinterpret_cast<unsigned char *>(output.data());
    int written = 0;
    if (EVP_CipherUpdate(ctx.get(), out, &written, reinterpret_cast<const unsigned char *>(input.constData()),
                         input.size())
        != 1)
        return {};
    int finalWritten = 0;
    if (EVP_CipherFinal_ex(ctx.get(), out + written, &finalWritten) != 1)
        return {};
    output.truncate(written + finalWritten);
    if (ok)
        *ok = true;
    return output;
}
