#include "textpartpage.h"

#include "editorfield.h"
#include "pagewidgets.h"

#include "forms/actionlist.h"
#include "forms/editsession.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace kova {

namespace {

// A check box with the "(NT Only)" note beside it.
QWidget *withNtNote(QCheckBox *box)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(box);
    layout->addWidget(new QLabel(QStringLiteral("(NT Only)")));
    layout->addStretch(1);
    return row;
}

} // namespace

TextPartPage::TextPartPage(TextPartForm::Kind kind, EditorContext &context, QWidget *parent)
    : EditorPage(kind == TextPartForm::Kind::Combobox ? EditorKind::Combobox : EditorKind::Edittext, context, parent),
      m_kind(kind), m_description(addField(QStringLiteral("&Description"), QStringLiteral("Description"))),
      m_default(nullptr), m_maxLength(nullptr),
      m_required(namedCheckBox(QStringLiteral("Required"), QStringLiteral("Required"))),
      m_expandable(namedCheckBox(QStringLiteral("Writes value to the registry with the data REG_EXPANDSZ"),
                                 QStringLiteral("Expandable"))),
      m_oemConvert(namedCheckBox(QStringLiteral("Map text from ANSI to OEM and back"), QStringLiteral("OemConvert")))
{
    const KeyFields &keys = addKeyFields(true);
    m_default = addField(QStringLiteral("Defa&ult"), QStringLiteral("DefaultText"));
    m_maxLength = addField(QStringLiteral("Max. len&gth"), QStringLiteral("MaxLength"));
    m_maxLength->setMaximumWidth(120);
    form()->addRow(QString(), m_required);
    form()->addRow(QString(), withNtNote(m_expandable));
    form()->addRow(QString(), m_oemConvert);
    QList<QWidget *> chain{m_description};
    chain << keys.widgets() << m_default << m_maxLength << m_required << m_expandable << m_oemConvert;
    if (kind == TextPartForm::Kind::Combobox) {
        body()->addWidget(makeSuggestionFrame(), 1);
        chain << m_suggestions << m_up << m_down << m_noSort << m_entry << m_update << m_noUpdate;
    }
    setTabChain(chain);
}

QWidget *TextPartPage::makeSuggestionFrame()
{
    m_frame = new QGroupBox;
    m_frame->setObjectName(QStringLiteral("SuggestionFrame"));
    m_suggestions = new QListWidget;
    m_suggestions->setObjectName(QStringLiteral("Suggestions"));
    m_suggestions->setToolTip(QStringLiteral(
        "Suggestions: double-click one to edit it; Insert adds one, Delete removes one; right-click for the menu"));
    nameFor(m_suggestions, QStringLiteral("Suggestions"));
    m_up = arrowButton(Qt::UpArrow, QStringLiteral("MoveUp"), QStringLiteral("Move the suggestion up (Ctrl+Up)"),
                       QStringLiteral("Move suggestion up"));
    m_down =
        arrowButton(Qt::DownArrow, QStringLiteral("MoveDown"), QStringLiteral("Move the suggestion down (Ctrl+Down)"),
                    QStringLiteral("Move suggestion down"));
    m_noSort = namedCheckBox(QStringLiteral("Don't sort suggestions"), QStringLiteral("NoSort"));
    m_entry = makeField(QStringLiteral("SuggestionEntry"));
    m_entry->setAccessibleName(QStringLiteral("Suggestion"));
    m_update = new QPushButton(QStringLiteral("Update"));
    m_update->setObjectName(QStringLiteral("Update"));
    m_noUpdate = new QPushButton(QStringLiteral("No update"));
    m_noUpdate->setObjectName(QStringLiteral("NoUpdate"));
    m_menu = makeListMenu(*this, this);
    new ListKeys(m_suggestions, *this, ListKeys::MenuOn::Release, ListKeys::Keys::All, m_frame);

    auto *arrows = new QVBoxLayout;
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    arrows->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(withNtNote(m_noSort));
    right->addWidget(m_entry);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_update);
    buttons->addWidget(m_noUpdate);
    right->addLayout(buttons);
    right->addStretch(1);
    auto *layout = new QHBoxLayout(m_frame);
    layout->addWidget(m_suggestions, 1);
    layout->addLayout(arrows);
    layout->addLayout(right, 1);
    m_frame->setMinimumHeight(150);

    connect(m_up, &QToolButton::clicked, this, [this] { moveEntry(0); });
    connect(m_down, &QToolButton::clicked, this, [this] { moveEntry(1); });
    connect(m_update, &QPushButton::clicked, this, &TextPartPage::updateSuggestion);
    connect(m_noUpdate, &QPushButton::clicked, this, &TextPartPage::noUpdateSuggestion);
    return m_frame;
}

void TextPartPage::load(const QStringList &editLines)
{
    const TextPartForm form = TextPartForm::load(m_kind, editLines);
    m_description->setText(form.description);
    showKeyFields(form.keyname, form.valueName, form.defaultName);
    m_default->setText(form.defaultText);
    m_maxLength->setText(form.maxLength);
    m_required->setChecked(form.required);
    m_expandable->setChecked(form.expandable);
    m_oemConvert->setChecked(form.oemConvert);
    if (m_frame) {
        m_noSort->setChecked(form.noSort);
        m_suggestions->clear();
        m_suggestions->addItems(form.suggestions);
        m_frame->setEnabled(true);
        browse();
    }
    m_description->setFocus(Qt::OtherFocusReason);
    m_description->selectAll();
}

EditorPage::Composition TextPartPage::compose() const
{
    TextPartForm form;
    form.kind = m_kind;
    form.description = m_description->text();
    form.keyname = keyFields().keyname->text();
    form.valueName = keyFields().valueName->text();
    form.defaultName = keyFields().defaultName->isChecked();
    form.defaultText = m_default->text();
    form.maxLength = m_maxLength->text();
    form.required = m_required->isChecked();
    form.expandable = m_expandable->isChecked();
    form.oemConvert = m_oemConvert->isChecked();
    if (m_frame) {
        form.noSort = m_noSort->isChecked();
        form.suggestions = itemTexts(m_suggestions);
    }
    if (auto error = form.validate(inheritedKey()))
        return {error, {}, {}};
    return {std::nullopt, form.compose(), form.caption()};
}

QWidget *TextPartPage::fieldWidget(int field) const
{
    switch (field) {
    case TextPartForm::Description: return m_description;
    case TextPartForm::Keyname: return keyFields().keyname;
    case TextPartForm::ValueName: return keyFields().valueName;
    case TextPartForm::DefaultText: return m_default;
    case TextPartForm::MaxLength: return m_maxLength;
    default: return nullptr;
    }
}

void TextPartPage::pageClosed()
{
    if (m_frame)
        m_frame->setEnabled(false);
}

bool TextPartPage::isEditingSuggestion() const
{
    return m_update && m_update->isEnabled();
}

// Browsing: the list can be used; the entry field and its buttons wait.
void TextPartPage::browse()
{
    m_suggestions->setEnabled(true);
    m_up->setEnabled(true);
    m_down->setEnabled(true);
    m_entry->clear();
    m_entry->setEnabled(false);
    m_update->setEnabled(false);
    m_noUpdate->setEnabled(false);
}

void TextPartPage::editEntry()
{
    if (!m_frame || isEditingSuggestion() || !hasSelection(m_suggestions))
        return;
    const QString text = m_suggestions->currentItem()->text();
    m_suggestions->setEnabled(false);
    m_up->setEnabled(false);
    m_down->setEnabled(false);
    m_entry->setEnabled(true);
    m_entry->setText(text == kNewItem ? QString() : text);
    m_update->setEnabled(true);
    m_noUpdate->setEnabled(true);
    m_entry->setFocus(Qt::OtherFocusReason);
    m_entry->selectAll();
}

void TextPartPage::addEntry()
{
    if (!m_frame || isEditingSuggestion())
        return;
    m_suggestions->addItem(kNewItem);
    m_suggestions->setCurrentRow(m_suggestions->count() - 1);
    editEntry();
}

void TextPartPage::deleteEntry()
{
    if (m_frame && !isEditingSuggestion() && hasSelection(m_suggestions))
        delete m_suggestions->takeItem(m_suggestions->currentRow());
}

void TextPartPage::moveEntry(int direction)
{
    if (m_frame && !isEditingSuggestion())
        MoveListItem(m_suggestions, context().session.MoveInProgress, direction);
}

void TextPartPage::openMenu(const QPoint &globalPos)
{
    if (m_menu)
        m_menu->popup(globalPos);
}

void TextPartPage::updateSuggestion()
{
    if (!isEditingSuggestion())
        return;
    if (QListWidgetItem *item = m_suggestions->currentItem())
        item->setText(m_entry->text().trimmed());
    browse();
    m_suggestions->setFocus(Qt::OtherFocusReason);
}

void TextPartPage::noUpdateSuggestion()
{
    if (!isEditingSuggestion())
        return;
    if (hasSelection(m_suggestions) && m_suggestions->currentItem()->text() == kNewItem)
        delete m_suggestions->takeItem(m_suggestions->currentRow());
    browse();
    m_suggestions->setFocus(Qt::OtherFocusReason);
}

bool TextPartPage::itemEditorAccept()
{
    if (!isEditingSuggestion())
        return false;
    updateSuggestion();
    return true;
}

bool TextPartPage::itemEditorEscape()
{
    if (!isEditingSuggestion())
        return false;
    noUpdateSuggestion();
    return true;
}

} // namespace kova
