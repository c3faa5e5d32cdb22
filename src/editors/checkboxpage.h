#pragma once

#include "switchpage.h"

namespace kova {

// The "C&heckBox" page: a CHECKBOX part's name, "Default checked", and what it switches.
class CheckBoxPage : public SwitchPage
{
    Q_OBJECT

public:
    explicit CheckBoxPage(EditorContext &context, QWidget *parent = nullptr);

protected:
    void load(const QStringList &editLines) override;
    Composition compose() const override;
};

} // namespace kova
