#pragma once

#include <QString>

#include <optional>

namespace kova {

// "kova --help" (or -h) and "kova --version": the text to print on standard output, else nothing. Read
// straight from argv, before the application object exists, so both work without a display. Only the
// option on its own counts: any other command line is a file to open (./--help opens a file so named).
std::optional<QString> informationRequest(int argc, const char *const argv[]);

} // namespace kova
