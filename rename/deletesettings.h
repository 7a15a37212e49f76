#pragma once

#include <QString>

// Settings of the delete-text rule; the fields shared with CustomSettings mean the same there.
struct DeleteSettings
{
    int deleteMode = 0;    // 0 delete deleteText, 1 delete by position
    QString deleteText;
    int deleteFromEnd = 0; // mode 1: 0 count from the front of the name, 1 from its end
    int deleteStart = 0;   // mode 1: characters kept before the deleted run
    int deleteCount = 0;   // mode 1: characters deleted
    int caseMode = 0;
    int chineseScript = 0;
    int pinyin = 0;
    bool extensionEnabled = false;
    int extensionMode = 0;
    QString newExtension;
    QString extensionFind;
    QString extensionReplace;
};
