#include "textmodepage.h"

#include "admtexteditor.h"
#include "textmodefield.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace kova {

TextModePage::TextModePage(QWidget *parent)
    : QWidget(parent), m_editor(new AdmTextEditor(this)), m_searchField(new TextModeField(this)),
      m_gotoField(new TextModeField(this)),
      m_searchLabel(new FieldLabel(QStringLiteral("Search for:"), m_searchField, this)),
      m_gotoLabel(new FieldLabel(QStringLiteral("Goto line number:"), m_gotoField, this)),
      m_lineDisplay(new QLabel(this))
{
    setObjectName(QStringLiteral("textModePage"));
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_gotoField->setObjectName(QStringLiteral("gotoField"));
    m_lineDisplay->setObjectName(QStringLiteral("lineDisplay"));
    m_gotoField->setMaximumWidth(m_gotoField->fontMetrics().horizontalAdvance(QStringLiteral("0000000000")));

    auto *fields = new QHBoxLayout;
    fields->addWidget(m_searchLabel);
    fields->addWidget(m_searchField, 2);
    fields->addSpacing(12);
    fields->addWidget(m_gotoLabel);
    fields->addWidget(m_gotoField, 1);
    fields->addSpacing(12);
    fields->addWidget(m_lineDisplay);
    fields->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_editor, 1);
    layout->addLayout(fields);
}

} // namespace kova
