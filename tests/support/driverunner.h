#pragma once

#include "registry/browser/modalrunner.h"

#include <QDialog>

#include <functional>

namespace kova::test {

// Runs a picker without a modal loop: shows its window, lets act do what the user would do in it,
// and returns the window's result.
struct DriveRunner : ModalRunner
{
    std::function<void(QDialog &)> act;
    int runs = 0;
    int run(QDialog &dialog) override
    {
        ++runs;
        dialog.show();
        if (act)
            act(dialog);
        dialog.hide();
        return dialog.result();
    }
};

} // namespace kova::test
