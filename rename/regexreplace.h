#pragma once

#include <QRegularExpression>
#include <QString>
#include <QVector>

// A find-and-replace by regular expression (Unicode, case-sensitive), compiled once and then applied to many
// names. In the replacement, \0 stands for the whole match and \1 ... \9 for the captured groups (empty when
// the pattern has no such group), \\ for one backslash; any other backslash is kept as it is.
class RegexReplace
{
public:
    RegexReplace() = default;
    RegexReplace(const QString &pattern, const QString &replacement);

    const QString &pattern() const { return m_pattern; }
    const QString &replacement() const { return m_replacement; }
    bool isValid() const { return m_expression.isValid(); }
    // "正则表达式有误：<Qt's message>, 位置 N" for an invalid pattern; empty otherwise.
    QString errorText() const;

    // Every match of text, left to right, replaced; an empty match is replaced too and the search goes on
    // one character further. An invalid pattern leaves text as it is.
    QString apply(const QString &text) const;

private:
    void splitReplacement();

    // The replacement split once: literal text, or the number of a group (-1 for none).
    struct Piece
    {
        QString text;
        int group = -1;
    };

    QString m_pattern;
    QString m_replacement;
    QRegularExpression m_expression;
    QVector<Piece> m_pieces;
};
