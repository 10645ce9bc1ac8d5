// Small building blocks the pages share: buttons with images, sunken frames, bold headings.
#pragma once

#include <QString>

class QFrame;
class QIcon;
class QLabel;
class QPushButton;
class QWidget;

namespace quintaro::ui {

// A push button with an icon; Enter presses it when it has the focus, as on Windows.
QPushButton* bildKnopf(const QString& objectName, const QString& text, const QIcon& icon,
                       QWidget* parent);
QFrame* rahmen(QWidget* parent);
QLabel* ueberschrift(const QString& text, QWidget* parent);

}  // namespace quintaro::ui
