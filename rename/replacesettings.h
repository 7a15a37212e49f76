#pragma once

#include "rename/regexreplace.h"

#include <QString>

// Settings of the replace-text rule; the fields shared with CustomSettings mean the same there.
struct ReplaceSettings
{
    QString find;
    QString replaceWith;
    bool useRegex = false; // find is a pattern, replaceWith may name its captures
    // The pattern compiled from find and replaceWith; kept current by compilePattern.
    RegexReplace regex;
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

    // Compiles find and replaceWith when they changed since the last compilation, so a change costs one
    // compilation, not one per name.
    void compilePattern()
    {
        if (!useRegex)
            regex = RegexReplace();
        else if (regex.pattern() != find || regex.replacement() != replaceWith)
            regex = RegexReplace(find, replaceWith);
    }
};
