#pragma once

#include "document/prompter.h"

#include <functional>

namespace kova::cli {

// Prints every message on standard error as its text (CR LF as a newline) and answers questions
// through the given rule, so scripts decide the answers with flags instead of typing them.
class StderrPrompter : public Prompter
{
public:
    using Rule = std::function<Answer(const Message &)>;
    explicit StderrPrompter(Rule rule) : m_rule(std::move(rule)) {}

    Answer ask(const Message &message) override;

private:
    Rule m_rule;
};

} // namespace kova::cli
