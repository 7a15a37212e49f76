#include "regexreplace.h"

#include <utility>

RegexReplace::RegexReplace(const QString &pattern, const QString &replacement)
    : m_pattern(pattern),
      m_replacement(replacement),
      m_expression(pattern, QRegularExpression::UseUnicodePropertiesOption)
{
    m_expression.optimize();
    splitReplacement();
}

void RegexReplace::splitReplacement()
{
    QString literal;
    for (int i = 0; i < m_replacement.size(); ++i) {
        const QChar c = m_replacement.at(i);
        const QChar next = i + 1 < m_replacement.size() ? m_replacement.at(i + 1) : QChar();
        if (c != QLatin1Char('\\') || next.isNull()) {
            literal.append(c);
        } else if (next == QLatin1Char('\\')) {
            literal.append(c);
            ++i;
        } else if (next >= QLatin1Char('0') && next <= QLatin1Char('9')) {
            if (!literal.isEmpty())
                m_pieces.append({std::exchange(literal, {}), -1});
            m_pieces.append({QString(), next.digitValue()});
            ++i;
        } else {
            literal.append(c);
        }
    }
    if (!literal.isEmpty())
        m_pieces.append({literal, -1});
}

QString RegexReplace::errorText() const
{
    if (isValid())
        return {};
    return QStringLiteral("正则表达式有误：%1, 位置 %2")
        .arg(m_expression.errorString())
        .arg(m_expression.patternErrorOffset());
}

QString RegexReplace::apply(const QString &text) const
{
    if (!isValid())
        return text;
    QRegularExpressionMatchIterator matches = m_expression.globalMatch(text);
    if (!matches.hasNext())
        return text;
    QString result;
    result.reserve(text.size() + m_replacement.size());
    int copied = 0;
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        result.append(text.midRef(copied, match.capturedStart() - copied));
        for (const Piece &piece : m_pieces) {
            if (piece.group < 0)
                result.append(piece.text);
            else
                result.append(match.capturedRef(piece.group));
        }
        copied = match.capturedEnd();
    }
    result.append(text.midRef(copied));
    return result;
}
