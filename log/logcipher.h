#pragma once

#include <QString>

// The enciphered form of one log line: AES-128-ECB with PKCS#7 padding over the UTF-8 bytes, in Base64.
QString encryptLogText(const QString &text);

// The reverse of encryptLogText, for reading a log back. *ok is false for a line that is not valid Base64,
// not a whole number of cipher blocks, badly padded, or not UTF-8.
QString decryptLogText(const QString &line, bool *ok = nullptr);

// The fixed key of the log files, used as is.
extern const char logCipherKey[];
