#include "pagewidgets.h"

#include <QCheckBox>
#include <QListWidget>
#include <QToolButton>

namespace kova {

QCheckBox *namedCheckBox(const QString &caption, const QString &name)
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(name);
    return box;
}

QToolButton *arrowButton(Qt::ArrowType type, const QString &name, const QString &toolTip, const QString &accessibleName)
{
    auto *button = new QToolButton;
    button->setObjectName(name);
    button->setArrowType(type);
    button->setToolTip(toolTip);
    button->setAccessibleName(accessibleName);
    return button;
}

void nameFor(QWidget *widget, const QString &accessibleName)
{
    widget->setAccessibleName(accessibleName);
}

QStringList itemTexts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

} // namespace kova
