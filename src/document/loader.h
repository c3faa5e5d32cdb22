#pragma once

#include <QByteArray>
#include <QString>

#include "encoding.h"

#include <optional>
#include <vector>

namespace kova {

class Prompter;
class TemplateDocument;

// How conditional statements (#IF, #IFDEF, #IFNDEF, #ELSE, #ENDIF, SOFT, VERSION) are read.
enum class Conditionals {
    Ask,      // ask the user: remove them, or (with the newer statements) read them as Group Policy does
    Remove,   // remove each with everything up to its #ENDIF, without asking
    Evaluate, // keep the branches a Group Policy editor reads, without asking
};

// The version a Group Policy editor of Windows XP and later reports to "#if version" (Windows 2000's
// reports 3, the System Policy Editor 2): the number Evaluate compares against.
inline constexpr int kGroupPolicyVersion = 4;

struct LoadOptions
{
    // Raw text mode: a syntax error returns its line number instead of showing "File not loaded".
    bool reportLine = false;
    // Accept EXPLAIN and SUPPORTED (each followed by a text) and CLIENTEXT (followed by a token) as
    // statements, as newer templates use them outside conditional blocks; read a [strings] value from
    // its first to its last double quote; offer to read conditional statements as Group Policy does.
    bool newerStatements = false;
    // When set, receives for every slot the file line of the statement that made its node (0 for
    // the root and an added class); index 0 is unused.
    std::vector<int> *nodeLines = nullptr;
    // Read the file in this encoding instead of the one its bytes suggest (Reopen with Encoding).
    std::optional<TextEncoding> encoding = std::nullopt;
    Conditionals conditionals = Conditionals::Ask;
};

struct LoadResult
{
    enum class Status {
        Loaded,
        Failed, // the user was told why (or declined the conditional question); the program goes on
        Fatal,  // a fault that ends the program; its critical message has been shown
    };
    Status status = Status::Failed;
    // With reportLine set: the file line of the syntax error that stopped the load, else 0.
    int errorLine = 0;

    bool loaded() const { return status == Status::Loaded; }
};

// Reads the template at path into document (tree, NodeTextTable, kept ieak_ entries and other
// sections, encoding). Every message goes through prompter. On failure the document is left empty;
// the current path and the modified flag are the caller's business.
LoadResult Vullen(TemplateDocument &document, const QString &path, Prompter &prompter, const LoadOptions &options = {});

// The same for a template already in memory (the file's bytes).
LoadResult loadTemplateBytes(TemplateDocument &document, QByteArray bytes, Prompter &prompter,
                             const LoadOptions &options = {});

} // namespace kova
