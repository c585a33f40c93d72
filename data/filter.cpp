#include "data/filter.h"

#include "data/data_error.h"
#include "data/expression_parser.h"
#include "data/value_text.h"

#include <QLocale>

SqlCondition SqlCondition::operator&&(const SqlCondition &other) const
{
    if (isEmpty())
        return other;
    if (other.isEmpty())
        return *this;
    return {QStringLiteral("(%1) AND (%2)").arg(sql, other.sql), values + other.values};
}

namespace Filter {

SqlCondition parse(const QString &text, const TableDef &table)
{
    if (text.trimmed().isEmpty())
        return {};
    ExpressionParser parser(text, table);
    SqlCondition condition = parser.condition();
    if (!parser.atEnd())
        parser.fail(QStringLiteral("лишний текст «%1»").arg(parser.peek().text));
    return condition;
}

QVariant storeValue(const FieldDef &field, const QVariant &value)
{
    if (value.isNull())
        return {};
    switch (field.type) {
    case FieldType::Text:
        // Every path stores an empty text as null, so that it is one value, not two.
        return value.toString().isEmpty() ? QVariant() : value;
    case FieldType::Date:
        return value.toDate().toString(Qt::ISODate);
    case FieldType::Time:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case FieldType::Logical:
        return value.toBool() ? 1 : 0;
    default:
        return value;
    }
}

} // namespace Filter

ExpressionParser::ExpressionParser(const QString &text, const TableDef &table)
    : m_text(text)
    , m_table(table)
{
    tokenize();
}

void ExpressionParser::fail(const QString &what) const
{
    throw DataError(QStringLiteral("Ошибка в условии «%1»: %2.").arg(quotedInMessage(m_text), what));
}

void ExpressionParser::tokenize()
{
    int i = 0;
    const int n = m_text.size();
    while (i < n) {
        const QChar c = m_text.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        Token token;
        token.position = i;
        if (c.isLetter() || c == QLatin1Char('_')) {
            int j = i;
            while (j < n && (m_text.at(j).isLetterOrNumber() || m_text.at(j) == QLatin1Char('_')))
                ++j;
            token = {Kind::Name, m_text.mid(i, j - i), i};
            i = j;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char(']');
            const int j = m_text.indexOf(close, i + 1);
            if (j < 0)
                fail(QStringLiteral("не закрыто имя поля"));
            token = {Kind::Name, m_text.mid(i + 1, j - i - 1), i};
            i = j + 1;
        } else if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('.')) && i + 1 < n &&
                                   (m_text.at(i + 1).isDigit() || m_text.at(i + 1) == QLatin1Char('.')))) {
            int j = i + 1;
            while (j < n && (m_text.at(j).isDigit() || m_text.at(j) == QLatin1Char('.')))
                ++j;
            token = {Kind::Number, m_text.mid(i, j - i), i};
            i = j;
        } else if (c == QLatin1Char('\'')) {
            QString value;
            int j = i + 1;
            for (;;) {
                if (j >= n)
                    fail(QStringLiteral("не закрыта кавычка"));
                if (m_text.at(j) == QLatin1Char('\'')) {
                    if (j + 1 < n && m_text.at(j + 1) == QLatin1Char('\'')) {
                        value += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                value += m_text.at(j++);
            }
            token = {Kind::String, value, i};
            i = j + 1;
        } else {
            static const QStringList symbols = {
                QStringLiteral("<>"), QStringLiteral("!="), QStringLiteral("<="), QStringLiteral(">="),
                QStringLiteral("="),  QStringLiteral("<"),  QStringLiteral(">"),  QStringLiteral("("),
                QStringLiteral(")"),  QStringLiteral(",")};
            QString symbol;
            for (const QString &s : symbols) {
                if (QStringView(m_text).mid(i).startsWith(s)) {
                    symbol = s;
                    break;
                }
            }
            if (symbol.isEmpty())
                fail(QStringLiteral("непонятный знак «%1»").arg(c));
            token = {Kind::Symbol, symbol, i};
            i += symbol.size();
        }
        m_tokens << token;
    }
    m_tokens << Token{Kind::End, QString(), n};
}

bool ExpressionParser::acceptWord(const char *word)
{
    if (peek().kind == Kind::Name && peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
        ++m_next;
        return true;
    }
    return false;
}

bool ExpressionParser::acceptSymbol(const char *symbol)
{
    if (peek().kind == Kind::Symbol && peek().text == QLatin1String(symbol)) {
        ++m_next;
        return true;
    }
    return false;
}

void ExpressionParser::expectSymbol(const char *symbol)
{
    if (!acceptSymbol(symbol))
        fail(QStringLiteral("ожидается «%1»").arg(QLatin1String(symbol)));
}

SqlCondition ExpressionParser::condition()
{
    return orTerm();
}

// Terms joined in one pass: a long chain costs its length, not its length squared.
SqlCondition ExpressionParser::joined(SqlCondition (ExpressionParser::*term)(), const char *word,
                                      const QString &keyword)
{
    const SqlCondition first = (this->*term)();
    if (peek().kind != Kind::Name || peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) != 0)
        return first;
    QStringList parts{first.sql};
    QVariantList values = first.values;
    while (acceptWord(word)) {
        const SqlCondition next = (this->*term)();
        parts << next.sql;
        values << next.values;
    }
    return {QLatin1Char('(') + parts.join(keyword) + QLatin1Char(')'), values};
}

SqlCondition ExpressionParser::orTerm()
{
    return joined(&ExpressionParser::andTerm, "or", QStringLiteral(" OR "));
}

SqlCondition ExpressionParser::andTerm()
{
    return joined(&ExpressionParser::factor, "and", QStringLiteral(" AND "));
}

SqlCondition ExpressionParser::factor()
{
    // Each "not" and parenthesis is a level of the reader's own recursion and of the store's.
    const Token &next = peek();
    if ((next.kind == Kind::Symbol && next.text == QLatin1String("(")) ||
        (next.kind == Kind::Name && next.text.compare(QLatin1String("not"), Qt::CaseInsensitive) == 0)) {
        if (m_depth >= MaxDepth)
            fail(QStringLiteral("слишком много вложенных скобок и «not»"));
        ++m_depth;
        SqlCondition inner;
        if (acceptWord("not")) {
            inner = factor();
            inner.sql = QStringLiteral("(NOT %1)").arg(inner.sql);
        } else {
            acceptSymbol("(");
            inner = condition();
            expectSymbol(")");
        }
        --m_depth;
        return inner;
    }
    return comparison();
}

const FieldDef &ExpressionParser::field()
{
    const Token token = peek();
    if (token.kind != Kind::Name)
        fail(token.kind == Kind::End ? QStringLiteral("ожидается имя поля")
                                     : QStringLiteral("ожидается имя поля вместо «%1»").arg(token.text));
    const int index = m_table.indexOf(token.text);
    if (index < 0)
        fail(QStringLiteral("нет поля «%1» в таблице %2").arg(token.text, m_table.name));
    ++m_next;
    return m_table.field(index);
}

SqlCondition ExpressionParser::comparison()
{
    if (++m_comparisons > MaxComparisons)
        fail(QStringLiteral("больше %1 сравнений").arg(MaxComparisons));
    const FieldDef &f = field();
    if (f.type == FieldType::Blob)
        fail(QStringLiteral("по полю «%1» отбор невозможен").arg(f.name));
    const QString column = QLatin1Char('"') + f.name + QLatin1Char('"');
    if (acceptWord("is")) {
        const bool negated = acceptWord("not");
        if (!acceptWord("null"))
            fail(QStringLiteral("ожидается null"));
        return {column + (negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL")), {}};
    }
    QString op = peek().text;
    if (peek().kind != Kind::Symbol || op == QLatin1String("(") || op == QLatin1String(")") ||
        op == QLatin1String(","))
        fail(QStringLiteral("ожидается знак сравнения после «%1»").arg(f.name));
    ++m_next;
    if (op == QLatin1String("!="))
        op = QStringLiteral("<>");
    if (acceptWord("null")) {
        if (op == QLatin1String("="))
            return {column + QStringLiteral(" IS NULL"), {}};
        if (op == QLatin1String("<>"))
            return {column + QStringLiteral(" IS NOT NULL"), {}};
        fail(QStringLiteral("с null сравнивают только = и <>"));
    }
    const QVariant bound = Filter::storeValue(f, value(f));
    // '' is how a filter names an empty text, which the store holds as null.
    if (bound.isNull() && op == QLatin1String("="))
        return {column + QStringLiteral(" IS NULL"), {}};
    if (bound.isNull() && op == QLatin1String("<>"))
        return {column + QStringLiteral(" IS NOT NULL"), {}};
    return {QStringLiteral("%1 %2 ?").arg(column, op), {bound}};
}

QVariant ExpressionParser::value(const FieldDef &f)
{
    const Token token = peek();
    QVariant literal;
    if (token.kind == Kind::Number || token.kind == Kind::String) {
        literal = token.text;
    } else if (token.kind == Kind::Name &&
               (token.text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ||
                token.text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)) {
        if (f.type != FieldType::Logical)
            fail(QStringLiteral("значение «%1» не подходит к полю «%2»").arg(token.text, f.name));
        literal = token.text;
    } else {
        fail(token.kind == Kind::End ? QStringLiteral("ожидается значение после «%1»").arg(f.name)
                                     : QStringLiteral("ожидается значение вместо «%1»").arg(token.text));
    }
    ++m_next;
    QString text = literal.toString();
    if (token.kind == Kind::Number && (f.type == FieldType::Number))
        text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    if (f.type == FieldType::Text)
        return text;
    QVariant converted;
    try {
        converted = ValueText::parse(f, text);
    } catch (const DataError &) {
        fail(QStringLiteral("значение «%1» не подходит к полю «%2»").arg(text, f.name));
    }
    if (converted.isNull())
        fail(QStringLiteral("пустое значение для поля «%1»").arg(f.name));
    return converted;
}
