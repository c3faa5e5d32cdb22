#pragma once

#include <QString>
#include <QStringList>

class QCheckBox;
class QListWidget;
class QToolButton;

namespace kova {

// Small makers the pages share, so that every page names and builds its controls the same way.
QCheckBox *namedCheckBox(const QString &caption, const QString &name);
// An arrow button of a list (move up, move down), with its tooltip.
QToolButton *arrowButton(Qt::ArrowType type, const QString &name, const QString &toolTip);
// The texts of a list's entries, in order.
QStringList itemTexts(const QListWidget *list);

} // namespace kova
