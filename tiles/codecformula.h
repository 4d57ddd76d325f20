#pragma once
// Integer formulas over a pixel's column x, row y and plane p, as .codec
// files give where each pixel bit lies ("2*y + p%2 + 16*(p/2)").
//
// Operators, loosest first: c ? a : b; == != < <= > >= (1 or 0); + -;
// * / %; unary - +. "/" rounds toward zero and "%" takes the sign of the
// left side, as in C. Numbers are decimal or 0x hexadecimal.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Longer formulas are refused, which also bounds how deep they nest.
inline constexpr std::size_t kMaxFormulaLength = 400;
inline constexpr int kMaxFormulaDepth = 40;

struct PixelBitPlace {
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::int64_t p = 0;
};

class CodecFormula {
public:
    // The formula, or nothing with the reason in `error`.
    [[nodiscard]] static std::optional<CodecFormula> parse(std::string_view text, std::string& error);
    // The value at one pixel bit; nothing, with the reason in `error`, on a
    // division by zero or a value past 64 bits.
    [[nodiscard]] std::optional<std::int64_t> evaluate(const PixelBitPlace& at, std::string& error) const;

    enum class Op : std::uint8_t {
        Number, X, Y, P, Negate, Add, Subtract, Multiply, Divide, Remainder,
        Less, LessEqual, Greater, GreaterEqual, Equal, NotEqual, Choose,
    };
    struct Node {
        Op op = Op::Number;
        std::int64_t value = 0;
        int a = -1; // operand nodes
        int b = -1;
        int c = -1;
    };

private:
    std::optional<std::int64_t> evaluateNode(int node, const PixelBitPlace& at, std::string& error) const;

    std::vector<Node> nodes_;
    int root_ = -1;
    friend class FormulaParser;
};
