#pragma once

namespace kova {

// The commands that leave the program: POLEDIT on the current template, printing, the help file and
// the program history, the update check, the support mail address and the author's web site. The
// main window's menus and toolbar, the about panel and the text-mode toolbar all call one object of
// this kind. A command whose tool is absent (has() false) is shown disabled and never called.
class OutsideTools
{
public:
    enum class Tool { Poledit, Print, Help, History, Update, Mail, Web };

    virtual ~OutsideTools() = default;

    virtual bool has(Tool tool) const = 0;

    virtual void LaunchPoledit() = 0;
    virtual void PrintTemplate() = 0;
    virtual void ShowHelp() = 0;
    virtual void ShowHistory() = 0;
    virtual void CheckForUpdate() = 0;
    virtual void SendMail() = 0;
    virtual void OpenWebSite() = 0;

    // Runs the tool's command when the tool is present; nothing otherwise.
    void run(Tool tool)
    {
        if (!has(tool))
            return;
        switch (tool) {
        case Tool::Poledit: LaunchPoledit(); break;
        case Tool::Print: PrintTemplate(); break;
        case Tool::Help: ShowHelp(); break;
        case Tool::History: ShowHistory(); break;
        case Tool::Update: CheckForUpdate(); break;
        case Tool::Mail: SendMail(); break;
        case Tool::Web: OpenWebSite(); break;
        }
    }
};

// Whether tools (which may be absent altogether) can run tool.
inline bool hasTool(const OutsideTools *tools, OutsideTools::Tool tool)
{
    return tools && tools->has(tool);
}

} // namespace kova
