#pragma once

#include <QByteArray>
#include <QObject>

// AES block cipher over OpenSSL's EVP interface. One object holds one set of parameters; the key and the
// initialisation vector are given per call. Results come back as raw bytes (no text encoding).
class QAESEncryption : public QObject
{
    Q_OBJECT
public:
    enum Aes { AES_128, AES_192, AES_256 };
    enum Mode { ECB, CBC };
    enum Padding { PKCS7, NONE };

    explicit QAESEncryption(Aes level, Mode mode, Padding padding = PKCS7, QObject *parent = nullptr);

    // Returns the cipher bytes, or an empty array when the key or IV has the wrong length, or (without
    // padding) the input is not a whole number of blocks.
    QByteArray encode(const QByteArray &rawText, const QByteArray &key, const QByteArray &iv = QByteArray()) const;
    // Returns the plain bytes; *ok tells a failure (wrong key, broken padding, truncated input) apart from an
    // empty plain text.
    QByteArray decode(const QByteArray &rawText, const QByteArray &key, const QByteArray &iv = QByteArray(),
                      bool *ok = nullptr) const;

    int keyLength() const;
    static constexpr int blockLength = 16;

private:
    QByteArray run(bool encrypt, const QByteArray &input, const QByteArray &key, const QByteArray &iv,
                   bool *ok) const;

    Aes m_level;
    Mode m_mode;
    Padding m_padding;
};
