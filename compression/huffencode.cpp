// Huffman 24h/28h: a tree built from the symbol frequencies, laid out as the
// BIOS walks it, then the codes as 32-bit little-endian words, most
// significant bit first.
//
// The table holds node pairs; a node reaches its children's pair at most 64
// pairs further on (a 6-bit offset). Pairs are placed one after another,
// depth first, which keeps few nodes waiting for their children; a waiting
// node whose limit comes close is served first. A tree that still cannot be
// laid out (very wide and uneven) is rebuilt from flattened frequencies.
#include "compression/encoders.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <queue>

namespace {

struct Node {
    std::uint64_t weight = 0;
    int symbol = -1; // a leaf's symbol; -1 for an inner node
    int child[2] = {-1, -1};
};

struct Code {
    std::uint64_t bits = 0;
    int length = 0;
};

// Codes fit with the bits still waiting (fewer than 32) in 64 bits.
constexpr int kLongestCode = 32;

std::vector<Node> buildTree(const std::vector<std::uint64_t>& weights)
{
    std::vector<Node> nodes;
    using Entry = std::pair<std::uint64_t, int>; // weight, node; ties by node number
    std::priority_queue<Entry, std::vector<Entry>, std::greater<>> queue;
    for (std::size_t s = 0; s < weights.size(); ++s)
        if (weights[s] > 0) {
            nodes.push_back({weights[s], static_cast<int>(s), {-1, -1}});
            queue.emplace(weights[s], static_cast<int>(nodes.size() - 1));
        }
    // The BIOS tree has at least one pair: one symbol, or none, gets a partner.
    for (int s = 0; queue.size() < 2; ++s)
        if (weights[static_cast<std::size_t>(s)] == 0) {
            nodes.push_back({0, s, {-1, -1}});
            queue.emplace(0, static_cast<int>(nodes.size() - 1));
        }
    while (queue.size() > 1) {
        const auto [w0, a] = queue.top();
        queue.pop();
        const auto [w1, b] = queue.top();
        queue.pop();
        nodes.push_back({w0 + w1, -1, {a, b}});
        queue.emplace(w0 + w1, static_cast<int>(nodes.size() - 1));
    }
    return nodes; // the root is last
}

// The table (without padding) and each symbol's code, or nothing when the
// tree cannot be laid out or has codes too long to write.
struct Layout {
    std::vector<std::uint8_t> table;
    std::vector<Code> codes;
};

std::optional<Layout> layOut(const std::vector<Node>& nodes, std::size_t symbolCount)
{
    struct Waiting {
        int node;
        std::size_t at; // its descriptor's index in the table
        Code code;
    };
    Layout layout;
    layout.codes.resize(symbolCount);
    const std::size_t pairs = (nodes.size() - 1) / 2;
    layout.table.assign(2 + 2 * pairs, 0);
    std::deque<Waiting> waiting{{static_cast<int>(nodes.size() - 1), 1, {}}};
    for (std::size_t pair = 1; !waiting.empty(); ++pair) {
        // Served in order of limit (the order they wait in) when one is due,
        // otherwise the newest, depth first.
        bool due = false;
        for (std::size_t k = 0; k < waiting.size() && !due; ++k)
            due = waiting[k].at / 2 + 64 <= pair + k;
        const Waiting w = due ? waiting.front() : waiting.back();
        if (due)
            waiting.pop_front();
        else
            waiting.pop_back();
        const std::size_t offset = pair - w.at / 2 - 1;
        if (offset > 63 || w.code.length >= kLongestCode)
            return std::nullopt;
        std::uint8_t descriptor = static_cast<std::uint8_t>(offset);
        for (int bit = 0; bit < 2; ++bit) {
            const Node& child = nodes[static_cast<std::size_t>(nodes[static_cast<std::size_t>(w.node)].child[bit])];
            const std::size_t at = pair * 2 + static_cast<std::size_t>(bit);
            const Code code{w.code.bits << 1 | static_cast<unsigned>(bit), w.code.length + 1};
            if (child.symbol >= 0) {
                descriptor = static_cast<std::uint8_t>(descriptor | (bit == 0 ? 0x80 : 0x40));
                layout.table[at] = static_cast<std::uint8_t>(child.symbol);
                layout.codes[static_cast<std::size_t>(child.symbol)] = code;
            } else {
                waiting.push_back({nodes[static_cast<std::size_t>(w.node)].child[bit], at, code});
            }
        }
        layout.table[w.at] = descriptor;
    }
    return layout;
}

} // namespace

std::vector<std::uint8_t> encodeHuffman(std::span<const std::uint8_t> data, bool fourBit)
{
    const std::size_t symbolCount = fourBit ? 16 : 256;
    const auto symbolAt = [&](std::size_t k) -> unsigned {
        return fourBit ? (data[k / 2] >> (k % 2 * 4)) & 15u : data[k];
    };
    const std::size_t symbols = fourBit ? data.size() * 2 : data.size();
    std::vector<std::uint64_t> weights(symbolCount, 0);
    for (std::size_t k = 0; k < symbols; ++k)
        ++weights[symbolAt(k)];

    std::optional<Layout> layout;
    for (int flatten = 0; !layout; ++flatten) {
        // Each round halves the spread of the weights; at the end all are
        // equal and the tree is balanced, which always lays out.
        std::vector<std::uint64_t> flattened = weights;
        for (std::uint64_t& w : flattened)
            if (w > 0)
                w = flatten >= 64 ? 1 : (w >> flatten) + 1;
        layout = layOut(buildTree(flattened), symbolCount);
    }

    std::vector<std::uint8_t> out;
    out.reserve(8 + 512 + data.size());
    appendBlockHeader(out, fourBit ? 0x24 : 0x28, data.size());
    // The table ends on a 4-byte boundary, where the words begin.
    std::vector<std::uint8_t>& table = layout->table;
    table.resize((table.size() + 3) & ~std::size_t{3}, 0);
    table[0] = static_cast<std::uint8_t>(table.size() / 2 - 1);
    out.insert(out.end(), table.begin(), table.end());

    std::uint64_t pending = 0; // bits not yet written, at the bottom
    int pendingBits = 0;
    const auto putWord = [&](std::uint32_t word) {
        for (int shift = 0; shift < 32; shift += 8)
            out.push_back(static_cast<std::uint8_t>(word >> shift));
    };
    for (std::size_t k = 0; k < symbols; ++k) {
        const Code& code = layout->codes[symbolAt(k)];
        pending = pending << code.length | code.bits;
        pendingBits += code.length;
        while (pendingBits >= 32) {
            pendingBits -= 32;
            putWord(static_cast<std::uint32_t>(pending >> pendingBits));
        }
    }
    if (pendingBits > 0)
        putWord(static_cast<std::uint32_t>(pending << (32 - pendingBits)));
    return out;
}
