#pragma once

#include <QString>

// Settings of the custom-name and insert-text rules. The defaults are the start values of the panel's controls.
struct CustomSettings
{
    QString text;            // custom rule: the new name; insert rule: the text to insert
    int insertPosition = 0;  // 0 at the beginning, 1 at the end, 2 after insertAfter characters
    int insertAfter = 0;
    int caseMode = 0;        // 0 unchanged, 1 first upper, 2 first lower, 3 all upper, 4 all lower, 5 words
    int chineseScript = 0;   // 0 unchanged, 1 simplified to traditional, 2 traditional to simplified
    int pinyin = 0;          // 1 converts Chinese characters to pinyin
    bool autoResolve = true; // resolve naming conflicts when renaming
    int numberPosition = 0;  // 0 before the name, 1 after it, 2 after numberAfter characters
    int numberAfter = 0;
    int numberType = 0;      // 0 digits, 1 letter, 2 random characters, 3 time
    int startNumber = 0;
    int numberIncrement = 0;
    int numberDigits = 1;    // minimum width, zero-padded
    int randomRule = 0;      // pool of randomString
    int randomLength = 1;
    int timeSource = 0;      // 0 current time, 1 creation time, 2 modification time
    int timeStyle = 0;       // index into the time styles
    int startLetter = 1;     // 1 = a ... 26 = z
    int letterIncrement = 1;
    bool extensionEnabled = false;
    int extensionMode = 0;   // 0 set newExtension, 1 replace extensionFind by extensionReplace
    QString newExtension;    // without the dot
    QString extensionFind;
    QString extensionReplace;
    bool numberOnly = false; // the name is the number alone
    bool numberingEnabled = false;
};
