#pragma once
// The evaluation of a parsed query over one unit (file, paragraph or sentence), shared by the real
// search and by the quick whole-file test that rules files out before any per-line work.
//
// Groups are kept on an explicit stack, so the depth of brackets in a query costs heap, never
// machine stack. The rules, per group: the result starts empty with AND off, OR on and NOT off.
// ")" ends the group. An operator clears OR; "|" clears AND and ends the group when its result is
// already non-empty, else sets OR; "&" sets AND and fails the group when its result is still
// empty; "~" sets NOT. A term (a find text or a bracketed group) without NOT merges its hits, or,
// having none while AND is set and OR is not, fails the group; with NOT, a term without hits adds
// one NOT mark over the unit, and one with hits while AND is set fails the group. The flags are
// cleared after each term. A failed group is an empty term of its parent; at the top it is an
// empty unit. Groups left open when the symbols end are closed as they stand.
//
// Policy: Result, Result empty(), bool nonEmpty(const Result&), void merge(Result&, Result&&),
// void addNot(Result&), Result term(const XSymbol&, bool underNot), and bool hitsUnderNot(const
// Result&) (whether a term under NOT counts as having hits).
#include <zor/XSymbol.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace zor {
namespace find {
namespace detail {

template <class Policy>
class Evaluator {
public:
    using Result = typename Policy::Result;

    Evaluator(const std::vector<XSymbol>& symbols, Policy& policy) : m_symbols(symbols), m_policy(policy) {}

    // Evaluates from position pos (moved past what was read) and gives the unit's result.
    Result run(std::uint32_t& pos) {
        m_stack.clear();
        m_stack.push_back(Frame{m_policy.empty()});
        const std::uint32_t n = static_cast<std::uint32_t>(m_symbols.size());
        Result out = m_policy.empty();
        while (true) {
            if (pos >= n) {
                if (endGroup(pos, std::move(m_stack.back().result), out)) return out;
                continue;
            }
            const XSymbol& s = m_symbols[pos++];
            Frame& f = m_stack.back();
            if (s.isBracketClose()) {
                if (endGroup(pos, std::move(f.result), out)) return out;
            } else if (s.isOperator()) {
                f.OR = false;
                if (s.is_op_OR()) {
                    f.AND = false;
                    if (m_policy.nonEmpty(f.result)) {
                        skipToClose(pos);
                        if (endGroup(pos, std::move(f.result), out)) return out;
                    } else {
                        f.OR = true;
                    }
                } else if (s.is_op_AND()) {
                    f.AND = true;
                    if (!m_policy.nonEmpty(f.result)) {
                        skipToClose(pos);
                        if (endGroup(pos, m_policy.empty(), out)) return out;
                    }
                } else {
                    f.NOT = true;
                }
            } else if (s.isBracketOpen()) {
                m_stack.push_back(Frame{m_policy.empty()});
            } else if (s.isFind()) {
                Result t = m_policy.term(s, f.NOT);
                if (!apply(f, std::move(t))) {
                    skipToClose(pos);
                    if (endGroup(pos, m_policy.empty(), out)) return out;
                }
            }
            // symbols of an unknown type are passed over
        }
    }

private:
    struct Frame {
        Result result;
        bool AND = false;
        bool OR = true;
        bool NOT = false;
    };

    // Combines a term into f; false when that fails the group.
    bool apply(Frame& f, Result&& term) {
        const bool hits = f.NOT ? m_policy.hitsUnderNot(term) : m_policy.nonEmpty(term);
        bool ok = true;
        if (!f.NOT) {
            if (hits) m_policy.merge(f.result, std::move(term));
            else if (f.AND && !f.OR) ok = false;
        } else {
            if (!hits) m_policy.addNot(f.result);
            else if (f.AND) ok = false;
        }
        f.AND = f.OR = f.NOT = false;
        return ok;
    }

    // Passes the rest of the innermost group, its ")" included (at the top: the rest of the query).
    void skipToClose(std::uint32_t& pos) {
        const std::uint32_t n = static_cast<std::uint32_t>(m_symbols.size());
        if (m_stack.size() == 1) {
            pos = n;
            return;
        }
        std::uint32_t depth = 0;
        while (pos < n) {
            const XSymbol& s = m_symbols[pos++];
            if (s.isBracketOpen()) ++depth;
            else if (s.isBracketClose()) {
                if (depth == 0) return;
                --depth;
            }
        }
    }

    // Ends the innermost group with result r. True when that ends the unit (result in out).
    bool endGroup(std::uint32_t& pos, Result r, Result& out) {
        while (true) {
            if (m_stack.size() == 1) {
                out = std::move(r);
                return true;
            }
            m_stack.pop_back();
            Frame& parent = m_stack.back();
            if (apply(parent, std::move(r))) return false;
            skipToClose(pos);
            r = m_policy.empty();
        }
    }

    const std::vector<XSymbol>& m_symbols;
    Policy& m_policy;
    std::vector<Frame> m_stack;
};

}  // namespace detail
}  // namespace find
}  // namespace zor
