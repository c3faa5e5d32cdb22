#pragma once

#include "textedit/outsidetools.h"

#include <QSet>
#include <QStringList>

namespace kova::test {

// Outside tools that only record their calls ("poledit", "print", "help", "history", "update",
// "mail", "web"); present lists the tools it claims to have.
class RecordingOutsideTools : public OutsideTools
{
public:
    explicit RecordingOutsideTools(QSet<Tool> present = allTools()) : present(std::move(present)) {}

    static QSet<Tool> allTools()
    {
        return {Tool::Poledit, Tool::Print, Tool::Help, Tool::History, Tool::Update, Tool::Mail, Tool::Web};
    }

    bool has(Tool tool) const override { return present.contains(tool); }
    void LaunchPoledit() override { calls << QStringLiteral("poledit"); }
    void PrintTemplate() override { calls << QStringLiteral("print"); }
    void ShowHelp() override { calls << QStringLiteral("help"); }
    void ShowHistory() override { calls << QStringLiteral("history"); }
    void CheckForUpdate() override { calls << QStringLiteral("update"); }
    void SendMail() override { calls << QStringLiteral("mail"); }
    void OpenWebSite() override { calls << QStringLiteral("web"); }

    QSet<Tool> present;
    QStringList calls;
};

} // namespace kova::test
