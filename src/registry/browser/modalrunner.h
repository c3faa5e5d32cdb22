#pragma once

class QDialog;

namespace kova {

// Runs a modal window to its end and returns its result. The program's runner enters the dialog's
// own loop; a test's runner drives the dialog object and returns without one.
class ModalRunner
{
public:
    virtual ~ModalRunner() = default;
    virtual int run(QDialog &dialog) = 0;
};

} // namespace kova
