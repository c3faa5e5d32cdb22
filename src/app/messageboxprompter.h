#pragma once

#include "document/prompter.h"

class QWidget;

namespace kova {

// Shows every message as a modal QMessageBox titled with the program title.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget *parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget *parent) { m_parent = parent; }
    Answer ask(const Message &message) override;

private:
    QWidget *m_parent;
};

} // namespace kova
