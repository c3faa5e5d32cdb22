#pragma once

#include "document/prompter.h"

#include <functional>
#include <optional>

namespace kova::cli {

// Prints every message on standard error as its text (CR LF as a newline), so scripts see what the
// editor would show. A question the rule answers (a flag of the command line decided it) is answered
// silently; any other question is printed and answered No.
class StderrPrompter : public Prompter
{
public:
    using Rule = std::function<std::optional<Answer>(const Message &)>;
    explicit StderrPrompter(Rule rule) : m_rule(std::move(rule)) {}

    Answer ask(const Message &message) override;

private:
    Rule m_rule;
};

} // namespace kova::cli
