#pragma once

#include <QString>

// Settings of the replace-text rule; the fields shared with CustomSettings mean the same there.
struct ReplaceSettings
{
    QString find;
    QString replaceWith;
    int caseMode = 0;
    int chineseScript = 0;
    int pinyin = 0;
    QString delimiter; // the parts of the name around it swap places
    bool autoResolve = true;
    bool extensionEnabled = false;
    int extensionMode = 0;
    QString newExtension;
    QString extensionFind;
    QString extensionReplace;
};
