#include "log/logcipher.h"
#include "log/qaesencryption.h"

#include <QProcess>
#include <QtTest>

namespace {
QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray logKey()
{
    return QByteArray(logCipherKey);
}

// Output of the openssl command line tool for the same input, or a null array when it cannot run.
QByteArray opensslBase64(const QStringList &cipherArgs, const QByteArray &input)
{
    QProcess openssl;
    openssl.start(QStringLiteral("/usr/bin/openssl"), QStringList{QStringLiteral("enc")} + cipherArgs
                                                           + QStringList{QStringLiteral("-base64"), QStringLiteral("-A")});
    if (!openssl.waitForStarted())
        return {};
    openssl.write(input);
    openssl.closeWriteChannel();
    if (!openssl.waitForFinished() || openssl.exitCode() != 0)
        return {};
    return openssl.readAllStandardOutput().trimmed();
}
} // namespace

class TestLogCipher : public QObject
{
    Q_OBJECT
private slots:
    void knownAnswer_data();
    void knownAnswer();
    void paddedFirstBlockIsTheRawBlock();
    void encodedLength_data();
    void encodedLength();
    void agreesWithOpenssl_data();
    void agreesWithOpenssl();
    void logLineAgreesWithOpenssl_data();
    void logLineAgreesWithOpenssl();
    void roundTrip_data();
    void roundTrip();
    void rejectsBrokenLines_data();
    void rejectsBrokenLines();
    void rejectsWrongKeyOrIvLength();
};

// FIPS-197, appendix C: one block under each key size.
void TestLogCipher::knownAnswer_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("cipher");
    const QByteArray key = hex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
    QTest::newRow("AES-128") << int(QAESEncryption::AES_128) << key.left(16)
                             << hex("69c4e0d86a7b0430d8cdb78070b4c55a");
    QTest::newRow("AES-192") << int(QAESEncryption::AES_192) << key.left(24)
                             << hex("dda97ca4864cdfe06eaf70a0ec0d7191");
    QTest::newRow("AES-256") << int(QAESEncryption::AES_256) << key
                             << hex("8ea2b7ca516745bfeafc49904b496089");
}

void TestLogCipher::knownAnswer()
{
    QFETCH(int, level);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, cipher);
    const QByteArray plain = hex("00112233445566778899aabbccddeeff");
    QAESEncryption aes(QAESEncryption::Aes(level), QAESEncryption::ECB, QAESEncryption::NONE);
    QCOMPARE(aes.encode(plain, key).toHex(), cipher.toHex());
    bool ok = false;
    QCOMPARE(aes.decode(cipher, key, QByteArray(), &ok).toHex(), plain.toHex());
    QVERIFY(ok);
}

void TestLogCipher::paddedFirstBlockIsTheRawBlock()
{
    const QByteArray key = hex("000102030405060708090a0b0c0d0e0f");
    QAESEncryption aes(QAESEncryption::AES_128, QAESEncryption::ECB, QAESEncryption::PKCS7);
    const QByteArray cipher = aes.encode(hex("00112233445566778899aabbccddeeff"), key);
    QCOMPARE(cipher.size(), 32);
    QCOMPARE(cipher.left(16).toHex(), QByteArray("69c4e0d86a7b0430d8cdb78070b4c55a"));
    // A whole block of padding (sixteen bytes of 16) follows, enciphered on its own.
    QAESEncryption raw(QAESEncryption::AES_128, QAESEncryption::ECB, QAESEncryption::NONE);
    QCOMPARE(cipher.mid(16).toHex(), raw.encode(QByteArray(16, '\x10'), key).toHex());
}

void TestLogCipher::encodedLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cipherBytes");
    QTest::newRow("empty") << QString() << 16;
    QTest::newRow("15 bytes") << QStringLiteral("Debug: 12345678") << 16;
    QTest::newRow("16 bytes") << QStringLiteral("Debug: 123456789") << 32;
    QTest::newRow("17 bytes") << QStringLiteral("Debug: 1234567890") << 32;
    // Five Chinese characters are 15 UTF-8 bytes; with "!" they fill one block exactly.
    QTest::newRow("16 UTF-8 bytes") << QStringLiteral("\u6587\u4ef6\u540d\u79f0\u9519!") << 32;
}

void TestLogCipher::encodedLength()
{
    QFETCH(QString, text);
    QFETCH(int, cipherBytes);
    const QString line = encryptLogText(text);
    QCOMPARE(line.size(), (cipherBytes + 2) / 3 * 4);
    QCOMPARE(QByteArray::fromBase64(line.toLatin1()).size(), cipherBytes);
}

void TestLogCipher::agreesWithOpenssl_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("cipherName");
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("ecb short") << int(QAESEncryption::ECB) << "-aes-128-ecb" << QByteArray("abc");
    QTest::newRow("ecb 48 bytes") << int(QAESEncryption::ECB) << "-aes-128-ecb" << QByteArray(48, 'x');
    QTest::newRow("cbc") << int(QAESEncryption::CBC) << "-aes-128-cbc" << QByteArray("cipher block chaining text");
}

void TestLogCipher::agreesWithOpenssl()
{
    QFETCH(int, mode);
    QFETCH(QString, cipherName);
    QFETCH(QByteArray, plain);
    if (!QFile::exists(QStringLiteral("/usr/bin/openssl")))
        QSKIP("openssl command line tool not installed");
    const QByteArray key = hex("2b7e151628aed2a6abf7158809cf4f3c");
    const QByteArray iv = hex("000102030405060708090a0b0c0d0e0f");
    QStringList args{cipherName, QStringLiteral("-K"), QString::fromLatin1(key.toHex())};
    if (mode == QAESEncryption::CBC)
        args << QStringLiteral("-iv") << QString::fromLatin1(iv.toHex());
    const QByteArray expected = opensslBase64(args, plain);
    QVERIFY2(!expected.isEmpty(), "openssl enc failed");
    QAESEncryption aes(QAESEncryption::AES_128, QAESEncryption::Mode(mode), QAESEncryption::PKCS7);
    QCOMPARE(aes.encode(plain, key, iv).toBase64(), expected);
}

void TestLogCipher::logLineAgreesWithOpenssl_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("prefix only") << QStringLiteral("Debug: ");
    QTest::newRow("ascii") << QStringLiteral("Warning: QFile::open: No such file or directory");
    QTest::newRow("chinese") << QStringLiteral("Critical: \u6587\u4ef6\u4e0d\u5b58\u5728 C:/\u6d4b\u8bd5/a.txt");
    QTest::newRow("one block") << QStringLiteral("Debug: 123456789");
}

void TestLogCipher::logLineAgreesWithOpenssl()
{
    QFETCH(QString, text);
    if (!QFile::exists(QStringLiteral("/usr/bin/openssl")))
        QSKIP("openssl command line tool not installed");
    const QStringList args{QStringLiteral("-aes-128-ecb"), QStringLiteral("-K"), QString::fromLatin1(logKey().toHex())};
    const QByteArray expected = opensslBase64(args, text.toUtf8());
    QVERIFY2(!expected.isEmpty(), "openssl enc failed");
    QCOMPARE(encryptLogText(text).toLatin1(), expected);
}

void TestLogCipher::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("ascii") << QStringLiteral("Info: started");
    QTest::newRow("chinese") << QStringLiteral("Warning: \u5df2\u7ecf\u4e3a\u60a8\u8fc7\u6ee4%1\u4e2a\u6216\u5df2\u7ecf\u5b58\u5728\u7684\u6587\u4ef6\uff01");
    QTest::newRow("traditional and emoji") << QStringLiteral("Debug: \u6a94\u6848 \U0001F600");
    QTest::newRow("line break inside") << QStringLiteral("Debug: first\nsecond");
    QTest::newRow("long") << QStringLiteral("Debug: ") + QString(5000, QChar(0x540d));
}

void TestLogCipher::roundTrip()
{
    QFETCH(QString, text);
    const QString line = encryptLogText(text);
    QVERIFY(!line.isEmpty());
    static const QRegularExpression base64Line(QStringLiteral("^[A-Za-z0-9+/]+=*$"));
    QVERIFY2(base64Line.match(line).hasMatch(), qPrintable(line));
    bool ok = false;
    QCOMPARE(decryptLogText(line, &ok), text);
    QVERIFY(ok);
    QCOMPARE(decryptLogText(line + "\r\n", &ok), text);
    QVERIFY(ok);
}

void TestLogCipher::rejectsBrokenLines_data()
{
    QTest::addColumn<QString>("line");
    const QString good = encryptLogText(QStringLiteral("Debug: 123456789"));
    QTest::newRow("empty") << QString();
    QTest::newRow("not base64") << QStringLiteral("this is not a log line!");
    QTest::newRow("not whole blocks") << QString::fromLatin1(QByteArray(15, 'a').toBase64());
    // The first block alone ends in the text's last character, which is no valid padding.
    QTest::newRow("padding block cut off")
        << QString::fromLatin1(QByteArray::fromBase64(good.toLatin1()).left(16).toBase64());
    QTest::newRow("torn in the middle") << good.left(good.size() / 2);
}

void TestLogCipher::rejectsBrokenLines()
{
    QFETCH(QString, line);
    bool ok = true;
    QCOMPARE(decryptLogText(line, &ok), QString());
    QVERIFY(!ok);
}

void TestLogCipher::rejectsWrongKeyOrIvLength()
{
    QAESEncryption ecb(QAESEncryption::AES_128, QAESEncryption::ECB);
    QVERIFY(ecb.encode("text", QByteArray(15, 'k')).isEmpty());
    QVERIFY(ecb.encode("text", QByteArray(32, 'k')).isEmpty());
    QAESEncryption cbc(QAESEncryption::AES_128, QAESEncryption::CBC);
    QVERIFY(cbc.encode("text", QByteArray(16, 'k')).isEmpty());
    QVERIFY(!cbc.encode("text", QByteArray(16, 'k'), QByteArray(16, 'i')).isEmpty());
    bool ok = true;
    QVERIFY(cbc.decode(QByteArray(16, 'c'), QByteArray(16, 'k'), QByteArray(8, 'i'), &ok).isEmpty());
    QVERIFY(!ok);
}

QTEST_GUILESS_MAIN(TestLogCipher)
#include "tst_logcipher.moc"
