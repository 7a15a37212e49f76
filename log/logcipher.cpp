#include "logcipher.h"

#include "qaesencryption.h"

#include <QTextCodec>

const char logCipherKey[] = "qrtvmwe##K#4839Z";

namespace {
QByteArray keyBytes()
{
    return QByteArray(logCipherKey, sizeof(logCipherKey) - 1);
}
} // namespace

QString encryptLogText(const QString &text)
{
    QAESEncryption cipher(QAESEncryption::AES_128, QAESEncryption::ECB, QAESEncryption::PKCS7);
    return QString::fromLatin1(cipher.encode(text.toUtf8(), keyBytes()).toBase64());
}

QString decryptLogText(const QString &line, bool *ok)
{
    if (ok)
        *ok = false;
    const QByteArray encoded = line.trimmed().toLatin1();
    const auto decoded = QByteArray::fromBase64Encoding(encoded, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty() || decoded.decoded.size() % QAESEncryption::blockLength != 0)
        return {};

    QAESEncryption cipher(QAESEncryption::AES_128, QAESEncryption::ECB, QAESEncryption::PKCS7);
    bool decodedOk = false;
    const QByteArray plain = cipher.decode(decoded.decoded, keyBytes(), QByteArray(), &decodedOk);
    if (!decodedOk)
        return {};

    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(plain.constData(), plain.size(), &state);
    if (state.invalidChars > 0 || state.remainingChars > 0)
        return {};
    if (ok)
        *ok = true;
    return text;
}
