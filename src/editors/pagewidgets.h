#pragma once

#include <QString>
#include <QStringList>

class QCheckBox;
class QListWidget;
class QToolButton;
class QWidget;

namespace kova {

// Small makers the pages share, so that every page names and builds its controls the same way.

// The tooltip of every "(Default)" box, which stands for the value name (Default).
inline const QString kDefaultValueNameTip = QStringLiteral("Check this to use the value name (Default)");
QCheckBox *namedCheckBox(const QString &caption, const QString &name);
// An arrow button of a list (move up, move down), with its tooltip and the name a screen reader says.
QToolButton *arrowButton(Qt::ArrowType type, const QString &name, const QString &toolTip,
                         const QString &accessibleName);
// Tells a screen reader what a control belongs to where its visible caption is shared with another
// control of the page ("Select", "(Default)", "Value"); the caption stays as it is.
void nameFor(QWidget *widget, const QString &accessibleName);
// The texts of a list's entries, in order.
QStringList itemTexts(const QListWidget *list);

} // namespace kova
