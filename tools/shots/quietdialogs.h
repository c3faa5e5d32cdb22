#pragma once

// The screenshot tools open the real window with nobody to answer it: questions get No (a plain
// message Ok) and file dialogs choose nothing.
#include "document/filechooser.h"
#include "document/prompter.h"

namespace kova::shots {

class QuietPrompter : public Prompter
{
public:
    Answer ask(const Message &m) override { return m.buttons == Message::Buttons::Ok ? Answer::Ok : Answer::No; }
};

class NoFiles : public FileChooser
{
public:
    QString chooseFile(const FileRequest &) override { return {}; }
};

} // namespace kova::shots
