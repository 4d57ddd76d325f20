#include "tiles/codecformula.h"

#include "app/textlines.h"

#include <cctype>
#include <limits>

using Op = CodecFormula::Op;

// Recursive descent, one function per precedence level. Every descent into
// a parenthesis, a choice or a sign counts against kMaxFormulaDepth, so no
// text can exhaust the stack.
class FormulaParser {
public:
    explicit FormulaParser(std::string_view text) : text_(text) {}

    std::optional<CodecFormula> run(std::string& error)
    {
        const int root = choice();
        skipBlanks();
        if (error_.empty() && at_ < text_.size())
            fail("unexpected '" + quotedForMessage(text_.substr(at_, 1)) + "'");
        if (!error_.empty()) {
            error = error_;
            return std::nullopt;
        }
        formula_.root_ = root;
        return std::move(formula_);
    }

private:
    void fail(std::string message)
    {
        if (error_.empty())
            error_ = std::move(message);
    }

    void skipBlanks()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t'))
            ++at_;
    }

    // Takes `token` when the text continues with it.
    bool take(std::string_view token)
    {
        skipBlanks();
        if (text_.substr(at_, token.size()) != token)
            return false;
        at_ += token.size();
        return true;
    }

    int add(Op op, int a = -1, int b = -1, int c = -1, std::int64_t value = 0)
    {
        formula_.nodes_.push_back({op, value, a, b, c});
        return static_cast<int>(formula_.nodes_.size()) - 1;
    }

    bool enter()
    {
        if (++depth_ > kMaxFormulaDepth) {
            fail("the formula nests deeper than " + std::to_string(kMaxFormulaDepth) + " levels");
            return false;
        }
        return true;
    }

    int choice()
    {
        if (!enter())
            return -1;
        int node = comparison();
        if (error_.empty() && take("?")) {
            const int whenTrue = choice();
            if (error_.empty() && !take(":"))
                fail("'?' without its ':'");
            const int whenFalse = error_.empty() ? choice() : -1;
            node = add(Op::Choose, node, whenTrue, whenFalse);
        }
        --depth_;
        return node;
    }

    int comparison()
    {
        const int left = sum();
        // Two-character operators first, so "<=" is not read as "<".
        static constexpr std::pair<std::string_view, Op> kComparisons[] = {
            {"<=", Op::LessEqual}, {">=", Op::GreaterEqual}, {"==", Op::Equal},
            {"!=", Op::NotEqual},  {"<", Op::Less},          {">", Op::Greater},
        };
        for (const auto& [token, op] : kComparisons)
            if (error_.empty() && take(token))
                return add(op, left, sum());
        return left;
    }

    int sum()
    {
        int node = product();
        while (error_.empty()) {
            if (take("+"))
                node = add(Op::Add, node, product());
            else if (take("-"))
                node = add(Op::Subtract, node, product());
            else
                break;
        }
        return node;
    }

    int product()
    {
        int node = unary();
        while (error_.empty()) {
            if (take("*"))
                node = add(Op::Multiply, node, unary());
            else if (take("/"))
                node = add(Op::Divide, node, unary());
            else if (take("%"))
                node = add(Op::Remainder, node, unary());
            else
                break;
        }
        return node;
    }

    int unary()
    {
        if (take("-") || take("+")) {
            const bool negate = text_[at_ - 1] == '-';
            if (!enter())
                return -1;
            const int operand = unary();
            --depth_;
            return negate ? add(Op::Negate, operand) : operand;
        }
        return primary();
    }

    int primary()
    {
        skipBlanks();
        if (at_ >= text_.size()) {
            fail(text_.empty() || at_ == 0 ? "the formula is empty" : "the formula ends too early");
            return -1;
        }
        const char ch = text_[at_];
        if (take("(")) {
            const int node = choice();
            if (error_.empty() && !take(")"))
                fail("'(' without its ')'");
            return node;
        }
        if (std::isdigit(static_cast<unsigned char>(ch)))
            return number();
        const bool word = at_ + 1 >= text_.size() || !std::isalnum(static_cast<unsigned char>(text_[at_ + 1]));
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (word && (lower == 'x' || lower == 'y' || lower == 'p')) {
            ++at_;
            return add(lower == 'x' ? Op::X : lower == 'y' ? Op::Y : Op::P);
        }
        fail("unexpected '" + quotedForMessage(text_.substr(at_, 1)) + "' (a formula uses numbers, x, y, p and + - * / % ( ) ? : < > =)");
        return -1;
    }

    int number()
    {
        const bool hex = text_.substr(at_, 2) == "0x" || text_.substr(at_, 2) == "0X";
        const int base = hex ? 16 : 10;
        if (hex)
            at_ += 2;
        const std::size_t start = at_;
        std::int64_t value = 0;
        while (at_ < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[at_]))) {
            const char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(text_[at_])));
            const int digit = ch <= '9' ? ch - '0' : ch - 'a' + 10;
            if (digit >= base)
                break;
            if (value > (std::numeric_limits<std::int64_t>::max() - digit) / base) {
                fail(std::string("the number ").append(quotedForMessage(text_.substr(start), 20)).append(" is too large"));
                return -1;
            }
            value = value * base + digit;
            ++at_;
        }
        if (at_ == start || (at_ < text_.size() && std::isalnum(static_cast<unsigned char>(text_[at_])))) {
            const std::string_view word = text_.substr(hex ? start - 2 : start, at_ - start + 3);
            fail(std::string("'").append(quotedForMessage(word, 20)).append("' is not a number"));
            return -1;
        }
        return add(Op::Number, -1, -1, -1, value);
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int depth_ = 0;
    std::string error_;
    CodecFormula formula_;
};

std::optional<CodecFormula> CodecFormula::parse(std::string_view text, std::string& error)
{
    if (text.size() > kMaxFormulaLength) {
        error = "the formula is longer than " + std::to_string(kMaxFormulaLength) + " characters";
        return std::nullopt;
    }
    return FormulaParser(text).run(error);
}

std::optional<std::int64_t> CodecFormula::evaluate(const PixelBitPlace& at, std::string& error) const
{
    return evaluateNode(root_, at, error);
}

std::optional<std::int64_t> CodecFormula::evaluateNode(int index, const PixelBitPlace& at, std::string& error) const
{
    const Node& n = nodes_[static_cast<std::size_t>(index)];
    switch (n.op) {
    case Op::Number:
        return n.value;
    case Op::X:
        return at.x;
    case Op::Y:
        return at.y;
    case Op::P:
        return at.p;
    case Op::Choose: {
        const std::optional<std::int64_t> condition = evaluateNode(n.a, at, error);
        if (!condition)
            return std::nullopt;
        // Only the branch taken is worked out: "x == 0 ? 0 : 8 / x" is fine.
        return evaluateNode(*condition != 0 ? n.b : n.c, at, error);
    }
    default:
        break;
    }
    const std::optional<std::int64_t> a = evaluateNode(n.a, at, error);
    if (!a)
        return std::nullopt;
    if (n.op == Op::Negate) {
        if (*a == std::numeric_limits<std::int64_t>::min()) {
            error = "a value overflows 64 bits";
            return std::nullopt;
        }
        return -*a;
    }
    const std::optional<std::int64_t> b = evaluateNode(n.b, at, error);
    if (!b)
        return std::nullopt;
    std::int64_t result = 0;
    bool overflow = false;
    switch (n.op) {
    case Op::Add:
        overflow = __builtin_add_overflow(*a, *b, &result);
        break;
    case Op::Subtract:
        overflow = __builtin_sub_overflow(*a, *b, &result);
        break;
    case Op::Multiply:
        overflow = __builtin_mul_overflow(*a, *b, &result);
        break;
    case Op::Divide:
    case Op::Remainder:
        if (*b == 0) {
            error = n.op == Op::Divide ? "division by zero" : "remainder of a division by zero";
            return std::nullopt;
        }
        overflow = *a == std::numeric_limits<std::int64_t>::min() && *b == -1;
        if (!overflow)
            result = n.op == Op::Divide ? *a / *b : *a % *b;
        break;
    case Op::Less:
        return *a < *b ? 1 : 0;
    case Op::LessEqual:
        return *a <= *b ? 1 : 0;
    case Op::Greater:
        return *a > *b ? 1 : 0;
    case Op::GreaterEqual:
        return *a >= *b ? 1 : 0;
    case Op::Equal:
        return *a == *b ? 1 : 0;
    case Op::NotEqual:
        return *a != *b ? 1 : 0;
    default:
        break;
    }
    if (overflow) {
        error = "a value overflows 64 bits";
        return std::nullopt;
    }
    return result;
}
