// QMessageBox with the program's caption, German buttons and no icon; QFileDialog for files.
#include "ui/qt_dialoge.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>

namespace quintaro::ui {

QString fehlerText(const QString& text) {
    if (!text.isEmpty() && text.back() > QChar(u'.')) return text + u'.';
    return text;
}

QString anzeigeText(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

int mindestbreite(const QWidget& box) {
    QFont titelschrift = box.font();
    titelschrift.setBold(true);
    return QFontMetrics(titelschrift).horizontalAdvance(kTitel) + kTitelleistenKnoepfe;
}

namespace {

// Texts such as "<!-- ... -->" in the comment question must never be taken for rich text.
void grundeinstellung(QMessageBox& box, const QString& text) {
    box.setWindowTitle(kTitel);
    box.setTextFormat(Qt::PlainText);
    box.setText(anzeigeText(text));
}

// The window manager cuts a caption that does not fit beside its buttons: the box is made wide
// enough for "Brelkon Quintaro" in a bold title font with room for three title bar buttons. Set
// last, since QMessageBox builds its layout anew when its icon changes.
void titelbreite(QMessageBox& box) {
    auto* gitter = qobject_cast<QGridLayout*>(box.layout());
    if (gitter == nullptr) return;
    gitter->addItem(new QSpacerItem(mindestbreite(box), 0), gitter->rowCount(), 0, 1,
                    gitter->columnCount());
}

// A message with the single button OK, which Enter, Escape and the close button all answer.
void okBox(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(parent);
    grundeinstellung(box, text);
    box.setIcon(icon);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    titelbreite(box);
    box.exec();
}

}  // namespace

Antwort QtDialoge::frage(QWidget* parent, const QString& text, Knoepfe knoepfe) {
    QMessageBox box(parent);
    grundeinstellung(box, text);
    box.setIcon(QMessageBox::NoIcon);
    QPushButton* ja = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
    QPushButton* nein = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
    QPushButton* abbrechen = nullptr;
    if (knoepfe == Knoepfe::JaNeinAbbrechen) {
        abbrechen = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
    }
    box.setDefaultButton(ja);
    // Escape and the title bar's close button both press the escape button.
    box.setEscapeButton(abbrechen != nullptr ? abbrechen : nein);
    titelbreite(box);
    box.exec();
    const auto* gedrueckt = box.clickedButton();
    if (gedrueckt == ja) return Antwort::Ja;
    if (gedrueckt == nein || abbrechen == nullptr) return Antwort::Nein;
    return Antwort::Abbrechen;
}

void QtDialoge::meldung(QWidget* parent, const QString& text) {
    okBox(parent, text, QMessageBox::NoIcon);
}

void QtDialoge::fehler(QWidget* parent, const QString& text) {
    okBox(parent, fehlerText(text), QMessageBox::Critical);
}

QString QtDialoge::dateiOeffnen(QWidget* parent, const QStringList& filter, const QString& ordner) {
    QFileDialog dialog(parent, QString(), ordner);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(filter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDialoge::ordnerOeffnen(QWidget* parent, const QString& ordner) {
    QFileDialog dialog(parent, QString(), ordner);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

QStringList QtDialoge::dateienOeffnen(QWidget* parent, const QStringList& filter,
                                      const QString& ordner) {
    QFileDialog dialog(parent, QString(), ordner);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(filter);
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles();
}

QString QtDialoge::dateiSpeichern(QWidget* parent, const QStringList& filter,
                                  const QString& vorschlag, const QString& standardEndung) {
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The window asks about an existing file in its own box, which tests can answer.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(filter);
    QString endung = standardEndung;
    if (endung.startsWith(u'.')) endung.remove(0, 1);
    dialog.setDefaultSuffix(endung);
    if (!vorschlag.isEmpty()) dialog.selectFile(vorschlag);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

}  // namespace quintaro::ui
