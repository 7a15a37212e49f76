#pragma once

#include "naming/numbering.h"

#include <QString>

// Settings of the custom-name and insert-text rules, with their numbering. The defaults are the start values of
// the panel's controls.
struct CustomSettings : Numbering
{
    QString text;            // custom rule: the new name; insert rule: the text to insert
    int insertPosition = 0;  // 0 at the beginning, 1 at the end, 2 after insertAfter characters
    int insertAfter = 0;
    int caseMode = 0;        // 0 unchanged, 1 first upper, 2 first lower, 3 all upper, 4 all lower, 5 words
    int chineseScript = 0;   // 0 unchanged, 1 simplified to traditional, 2 traditional to simplified
    int pinyin = 0;          // 1 converts Chinese characters to pinyin
    bool autoResolve = true; // resolve naming conflicts when renaming
    int timeSource = 0;      // time numbering: 0 current time, 1 creation time, 2 modification time
    bool extensionEnabled = false;
    int extensionMode = 0;   // 0 set newExtension, 1 replace extensionFind by extensionReplace
    QString newExtension;    // without the dot
    QString extensionFind;
    QString extensionReplace;
    bool numberOnly = false; // the name is the number alone
    bool numberingEnabled = false;
};
