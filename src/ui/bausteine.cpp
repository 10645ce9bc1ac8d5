// Shared control factories of the pages.
#include "ui/bausteine.h"

#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace quintaro::ui {

QPushButton* bildKnopf(const QString& objectName, const QString& text, const QIcon& icon,
                       QWidget* parent) {
    auto* knopf = new QPushButton(icon, text, parent);
    knopf->setObjectName(objectName);
    knopf->setAutoDefault(true);
    return knopf;
}

QFrame* rahmen(QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    return f;
}

QLabel* ueberschrift(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont fett = label->font();
    fett.setBold(true);
    label->setFont(fett);
    return label;
}

}  // namespace quintaro::ui
