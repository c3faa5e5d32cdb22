#pragma once

#include "switchpage.h"

namespace kova {

// The "&Policy" page: a POLICY node's name, key, value name, on and off values and action lists.
class PolicyPage : public SwitchPage
{
    Q_OBJECT

public:
    explicit PolicyPage(EditorContext &context, QWidget *parent = nullptr);

protected:
    void load(const QStringList &editLines) override;
    Composition compose() const override;
};

} // namespace kova
