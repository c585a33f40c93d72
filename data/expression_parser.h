#pragma once

#include "data/filter.h"

#include <QStringList>

// The reader of filter texts and of the few statements the program runs, one token at a time.
class ExpressionParser
{
public:
    enum class Kind
    {
        End,
        Name,
        Number,
        String,
        Symbol
    };
    struct Token
    {
        Kind kind = Kind::End;
        QString text;
        int position = 0;
    };

    ExpressionParser(const QString &text, const TableDef &table);

    // condition := or-term; or-term := and-term {"or" and-term}; and-term := factor {"and" factor};
    // factor := "not" factor | "(" condition ")" | field operator value
    SqlCondition condition();
    // A value literal converted for `field`.
    QVariant value(const FieldDef &field);
    const FieldDef &field(); // a field name of the table

    const Token &peek() const { return m_tokens.at(m_next); }
    bool atEnd() const { return peek().kind == Kind::End; }
    bool acceptWord(const char *word); // a keyword, case ignored
    bool acceptSymbol(const char *symbol);
    void expectSymbol(const char *symbol);
    [[noreturn]] void fail(const QString &what) const;

    // Far beyond any filter or statement of the program, and within what the store accepts.
    static constexpr int MaxDepth = 64;
    static constexpr int MaxComparisons = 256;

private:
    void tokenize();
    SqlCondition joined(SqlCondition (ExpressionParser::*term)(), const char *word, const QString &keyword);
    SqlCondition orTerm();
    SqlCondition andTerm();
    SqlCondition factor();
    SqlCondition comparison();

    QString m_text;
    const TableDef &m_table;
    QVector<Token> m_tokens;
    int m_next = 0;
    int m_depth = 0;
    int m_comparisons = 0;
};
