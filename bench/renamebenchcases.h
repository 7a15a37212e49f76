#pragma once

// The rename rules the recomputation benchmarks time, each with its target for 3000 rows.
#include "hub/channels.h"
#include "rename/renamesettings.h"

#include <QList>
#include <QString>

#include <functional>

namespace RenameBenchCases {

struct Case
{
    const char *label;
    QString key;
    std::function<void()> configure;
    double targetMs;
};

inline void setCustom(const QString &key, const std::function<void(CustomSettings &)> &edit)
{
    CustomSettings s;
    edit(s);
    *customSettings(key) = s;
}

// The rename job's conflicting case: every row proposes one and the same name (旅行 plus the row's extension),
// which resolution turns into 旅行(1) … 旅行(2999). Its recomputation costs what "custom, text" does.
inline Case oneNameForAll()
{
    const QString fc = Channel::FileCustomRename;
    return {"custom, one name for all", fc, [=] { setCustom(fc, [](CustomSettings &s) { s.text = "旅行"; }); }, 30};
}

inline QList<Case> cases()
{
    const QString fc = Channel::FileCustomRename;
    const QString fi = Channel::FileInsertRename;
    const QString fr = Channel::FileReplaceRename;
    const QString fd = Channel::FileDeleteRename;
    return {
        {"custom, text", fc, [=] { setCustom(fc, [](CustomSettings &s) { s.text = "新名称"; }); }, 30},
        {"custom, digits 3", fc,
         [=] {
             setCustom(fc, [](CustomSettings &s) {
                 s.text = "报告";
                 s.numberingEnabled = true;
                 s.startNumber = 1;
                 s.numberIncrement = 1;
                 s.numberDigits = 3;
                 s.numberPosition = 1;
             });
         },
         30},
        {"custom, letters", fc,
         [=] {
             setCustom(fc, [](CustomSettings &s) {
                 s.numberingEnabled = true;
                 s.numberType = 1;
             });
         },
         30},
        {"custom, random 8", fc,
         [=] {
             setCustom(fc, [](CustomSettings &s) {
                 s.numberingEnabled = true;
                 s.numberType = 2;
                 s.randomRule = 2;
                 s.randomLength = 8;
             });
         },
         30},
        {"custom, current time", fc,
         [=] {
             setCustom(fc, [](CustomSettings &s) {
                 s.numberingEnabled = true;
                 s.numberType = 3;
                 s.timeStyle = 5;
             });
         },
         30},
        {"custom, modification time", fc,
         [=] {
             setCustom(fc, [](CustomSettings &s) {
                 s.numberingEnabled = true;
                 s.numberType = 3;
                 s.timeSource = 2;
                 s.timeStyle = 6;
             });
         },
         30},
        {"custom, words + extension", fc,
         [=] {
             setCustom(fc, [](CustomSettings &s) {
                 s.caseMode = 5;
                 s.extensionEnabled = true;
                 s.extensionMode = 1;
                 s.extensionFind = "t";
                 s.extensionReplace = "T";
             });
         },
         30},
        {"insert, after 5", fi,
         [=] {
             setCustom(fi, [](CustomSettings &s) {
                 s.text = "插入";
                 s.insertPosition = 2;
                 s.insertAfter = 5;
             });
         },
         30},
        {"replace + delimiter", fr,
         [=] {
             ReplaceSettings s;
             s.find = "2021";
             s.replaceWith = "2022";
             s.delimiter = "_";
             s.caseMode = 3;
             *replaceSettings(fr) = s;
         },
         30},
        {"replace, pattern + captures", fr,
         [=] {
             ReplaceSettings s;
             s.useRegex = true;
             s.find = QStringLiteral("报告_(\\d{4})_(\\p{Han}+)");
             s.replaceWith = QStringLiteral("\\2-\\1");
             s.compilePattern();
             *replaceSettings(fr) = s;
         },
         30},
        {"delete from end", fd,
         [=] {
             DeleteSettings s;
             s.deleteMode = 1;
             s.deleteFromEnd = 1;
             s.deleteStart = 1;
             s.deleteCount = 2;
             *deleteSettings(fd) = s;
         },
         30},
        {"custom, pinyin", fc,
         [=] {
             setCustom(fc, [](CustomSettings &s) {
                 s.pinyin = 1;
                 s.caseMode = 1;
             });
         },
         60},
        {"custom, to traditional", fc, [=] { setCustom(fc, [](CustomSettings &s) { s.chineseScript = 1; }); }, 60},
        {"replace, to simplified", fr,
         [=] {
             ReplaceSettings s;
             s.chineseScript = 2;
             *replaceSettings(fr) = s;
         },
         60},
    };
}

} // namespace RenameBenchCases

