#include "editorpage.h"

#include "editorfield.h"
#include "pagewidgets.h"

#include "document/nodekeys.h"
#include "document/prompter.h"
#include "forms/editsession.h"
#include "forms/pickerglue.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QVBoxLayout>

namespace kova {

namespace {

const Message kItemEditorActive{QStringLiteral("Press the update or no update button first."), Message::Icon::None,
                                Message::Buttons::Ok};

} // namespace

EditorPage::EditorPage(EditorKind kind, EditorContext &context, QWidget *parent)
    : QWidget(parent), m_kind(kind), m_context(context), m_heading(new QLabel), m_form(new QFormLayout),
      m_body(new QVBoxLayout), m_ok(new QPushButton(QStringLiteral("Ok"))),
      m_cancel(new QPushButton(QStringLiteral("Cancel")))
{
    m_heading->setObjectName(QStringLiteral("Heading"));
    m_heading->setTextFormat(Qt::PlainText);
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    m_ok->setObjectName(QStringLiteral("Ok"));
    m_cancel->setObjectName(QStringLiteral("Cancel"));

    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_body->addLayout(m_form);
    auto *content = new QWidget;
    // Fields a whole wide screen long are hard to read; the page keeps a readable width.
    content->setMaximumWidth(1100);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->addLayout(m_body);
    contentLayout->addStretch(1);
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("PageScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(scroll, 1);
    layout->addLayout(buttons);

    connect(m_ok, &QPushButton::clicked, this, &EditorPage::ok);
    connect(m_cancel, &QPushButton::clicked, this, &EditorPage::cancel);
    const auto accept = [this] {
        if (!itemEditorAccept())
            ok();
    };
    const auto escape = [this] {
        if (!itemEditorEscape())
            cancel();
    };
    for (QKeySequence enter : {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}) {
        auto *shortcut = new QShortcut(enter, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, accept);
    }
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WidgetWithChildrenShortcut);
    connect(esc, &QShortcut::activated, this, escape);
}

void EditorPage::open(const QStringList &editLines, const QString &nodeCaption)
{
    m_heading->setText(QStringLiteral("Editing %1 \u201c%2\u201d").arg(kindNoun(m_kind), nodeCaption));
    for (const auto &[button, picker] : std::as_const(m_selectButtons))
        button->setEnabled(picker == Picker::Key ? m_context.keyPicker != nullptr : m_context.valuePicker != nullptr);
    load(editLines);
}

void EditorPage::focusFirstField()
{
    if (QWidget *first = fieldWidget(1))
        first->setFocus(Qt::OtherFocusReason);
}

EditorField *EditorPage::makeField(const QString &name)
{
    auto *field = new EditorField(m_context.prompter);
    field->setObjectName(name);
    return field;
}

EditorField *EditorPage::addField(const QString &caption, const QString &name, QWidget *beside)
{
    EditorField *field = makeField(name);
    auto *label = new QLabel(caption);
    label->setBuddy(field);
    if (!beside) {
        m_form->addRow(label, field);
        return field;
    }
    auto *row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(beside);
    m_form->addRow(label, row);
    return field;
}

QPushButton *EditorPage::makeSelectButton(const QString &name, Picker picker)
{
    auto *button = new QPushButton(QStringLiteral("Select"));
    button->setObjectName(name);
    button->setEnabled(false);
    m_selectButtons.append({button, picker});
    return button;
}

void EditorPage::setTabChain(const QList<QWidget *> &widgets)
{
    QList<QWidget *> chain = widgets;
    chain << m_ok << m_cancel;
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
}

QList<QWidget *> EditorPage::KeyFields::widgets() const
{
    QList<QWidget *> list{keyname, keySelect};
    if (valueName)
        list << valueName << valueSelect << defaultName;
    return list;
}

const EditorPage::KeyFields &EditorPage::addKeyFields(bool withValueName)
{
    m_keys.keySelect = makeSelectButton(QStringLiteral("KeySelect"), Picker::Key);
    nameFor(m_keys.keySelect, QStringLiteral("Select key name"));
    m_keys.keyname = addField(QStringLiteral("&Keyname"), QStringLiteral("Keyname"), m_keys.keySelect);
    connect(m_keys.keySelect, &QPushButton::clicked, this, &EditorPage::pickKey);
    if (!withValueName)
        return m_keys;
    m_keys.valueSelect = makeSelectButton(QStringLiteral("ValueSelect"), Picker::Value);
    nameFor(m_keys.valueSelect, QStringLiteral("Select value name"));
    m_keys.defaultName = new QCheckBox(QStringLiteral("(Default)"));
    m_keys.defaultName->setObjectName(QStringLiteral("DefaultName"));
    m_keys.defaultName->setToolTip(kDefaultValueNameTip);
    nameFor(m_keys.defaultName, QStringLiteral("(Default) value name"));
    auto *beside = new QWidget;
    auto *besideLayout = new QHBoxLayout(beside);
    besideLayout->setContentsMargins(0, 0, 0, 0);
    besideLayout->addWidget(m_keys.valueSelect);
    besideLayout->addWidget(m_keys.defaultName);
    m_keys.valueName = addField(QStringLiteral("Value &name"), QStringLiteral("ValueName"), beside);
    connect(m_keys.defaultName, &QCheckBox::toggled, m_keys.valueName, &QWidget::setDisabled);
    connect(m_keys.valueSelect, &QPushButton::clicked, this, &EditorPage::pickValue);
    return m_keys;
}

void EditorPage::showKeyFields(const QString &keyname, const QString &valueName, std::optional<bool> defaultName)
{
    m_keys.keyname->setText(keyname);
    m_keys.keyname->setEnabled(true);
    if (!m_keys.valueName)
        return;
    m_keys.valueName->setText(valueName);
    if (defaultName)
        m_keys.defaultName->setChecked(*defaultName);
    m_keys.defaultName->setEnabled(true);
    m_keys.valueName->setEnabled(!m_keys.defaultName->isChecked());
}

QString EditorPage::inheritedKey() const
{
    return m_context.keyDisplay.activeKeyText();
}

void EditorPage::pickKey()
{
    if (!m_context.keyPicker)
        return;
    m_keys.keyname->setText(PickKeyName(*m_context.keyPicker, NodeHiveName(m_context.session.node()),
                                        m_keys.keyname->text(), inheritedKey()));
    SelectAllText(m_keys.keyname);
}

void EditorPage::pickValue()
{
    if (!m_context.valuePicker)
        return;
    const ValuePick pick = PickValueName(*m_context.valuePicker, NodeHiveName(m_context.session.node()),
                                         m_keys.keyname->text(), m_keys.valueName->text(), inheritedKey());
    m_keys.valueName->setText(pick.field);
    if (pick.answered) {
        m_keys.defaultName->setChecked(pick.defaultName);
        m_keys.valueName->setEnabled(!pick.defaultName);
    }
    SelectAllText(m_keys.valueName);
}

bool EditorPage::refuseWhileItemEditor()
{
    if (!itemEditorActive())
        return false;
    m_context.prompter.ask(kItemEditorActive);
    return true;
}

void EditorPage::showFieldError(const FieldError &error)
{
    QWidget *field = fieldWidget(error.field);
    const bool before = error.focus == FieldError::Focus::BeforeMessage;
    if (field && before)
        field->setFocus(Qt::OtherFocusReason);
    m_context.prompter.ask(Message{error.message, error.icon, Message::Buttons::Ok});
    if (field && !before)
        field->setFocus(Qt::OtherFocusReason);
}

void EditorPage::ok()
{
    if (refuseWhileItemEditor() || !m_context.session.isOpen())
        return;
    const Composition c = compose();
    if (c.error)
        showFieldError(*c.error);
    else
        m_context.session.commit(c.text, c.caption);
    if (refreshesActiveKey())
        m_context.keyDisplay.refreshActiveKey();
}

void EditorPage::cancel()
{
    if (refuseWhileItemEditor())
        return;
    m_context.session.cancel();
}

} // namespace kova
